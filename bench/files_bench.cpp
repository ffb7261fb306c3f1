// The file driver's record views on a prescription-shaped table of 1000, 100000 and 1000000
// records: opening a view and reading its first page, its last page, and a page from the middle
// after a seek. The tables are generated once into a temporary folder (FILES_BENCH_DIR, default
// /tmp/files_bench) and reused by later runs.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/files/record_view.h"
#include "platform/files/table_file.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/std_date.h"

namespace {

#pragma pack(push, 1)
struct Rx {
    char drug[60];
    char generic[60];
    char person[40];
    char doctor[30];
    rt::DateField filled;
    rt::PackedDecimal<4, 2> cost;
    char active[1];
    rt::DateField reminder;
};
#pragma pack(pop)

#define RX_F(m) static_cast<std::uint16_t>(sizeof(Rx::m)), static_cast<std::uint16_t>(offsetof(Rx, m))
const rt::FieldDesc kFields[] = {
    {1, "RX:DRUG", rt::FieldType::String, RX_F(drug)},       {2, "RX:GENERIC", rt::FieldType::String, RX_F(generic)},
    {3, "RX:PERSON", rt::FieldType::String, RX_F(person)},   {4, "RX:DOCTOR", rt::FieldType::String, RX_F(doctor)},
    {5, "RX:FILLED", rt::FieldType::Date, RX_F(filled)},     {6, "RX:COST", rt::FieldType::Decimal, RX_F(cost), 2},
    {7, "RX:ACTIVE", rt::FieldType::String, RX_F(active)},   {8, "RX:REMINDER", rt::FieldType::Date, RX_F(reminder)},
};
#undef RX_F
const rt::KeyDesc kKeys[] = {
    {"RX:BYNAME", "RX:ByName", {{1}, {7, true}, {5, true}}},  // +drug, -active, -filled
    {"RX:BYDATE", "RX:ByDate", {{8}}},
};
const rt::MemoDesc kMemo{"RX:NOTES", "RX:Notes", 1000};
const rt::TableDesc kTable{"Rx", "RX", "RXBENCH", sizeof(Rx), kFields, kKeys, &kMemo};
constexpr int kPage = 30;

std::string drugName(std::int64_t n, std::int64_t k) {
    char b[32];
    std::snprintf(b, sizeof b, "Drug %08lld", static_cast<long long>(k % (n / 3 + 1)));  // about three of each
    return b;
}

struct Table {
    Rx rec{};
    std::string memo;
    std::unique_ptr<files::TableFile> file;
    std::int64_t n = 0;
};

// One open table per size, generated when the folder does not hold it yet.
Table& table(std::int64_t n) {
    static std::map<std::int64_t, std::unique_ptr<Table>> tables;
    auto& t = tables[n];
    if (t) return *t;
    t = std::make_unique<Table>();
    t->n = n;
    const char* env = std::getenv("FILES_BENCH_DIR");
    const std::string folder = std::string(env ? env : "/tmp/files_bench") + "/" + std::to_string(n);
    std::filesystem::create_directories(folder);
    files::SetDataFolder(folder);
    t->file = std::make_unique<files::TableFile>(kTable, &t->rec, &t->memo);
    std::int64_t have = -1;
    if (t->file->open() == 0 && t->file->records(&have) == 0 && have == n) return *t;
    t->file->close();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    if (t->file->create() != 0 || t->file->open() != 0) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), t->file->lastErrorText().c_str());
        std::exit(1);
    }
    std::fprintf(stderr, "generating %lld records in %s ...\n", static_cast<long long>(n), folder.c_str());
    t->file->begin(60);
    std::uint64_t x = 88172645463325252ull;  // xorshift: the same table every time
    for (std::int64_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        Rx& r = t->rec;
        rt::assign(r.drug, drugName(n, static_cast<std::int64_t>(x % static_cast<std::uint64_t>(n))));
        rt::assign(r.generic, "generic of the drug");
        rt::assign(r.person, x % 2 ? "Mary Smith" : "John Smith");
        rt::assign(r.doctor, "Dr. Jones");
        r.filled.set(*rt::dateFromYmd(2020, 1, 1) + static_cast<int>(x % 1500));
        r.cost.setScaled(static_cast<std::int64_t>(x % 100000));
        rt::assign(r.active, x % 3 ? "Y" : "N");
        r.reminder.set(x % 4 ? *rt::dateFromYmd(2024, 1, 1) + static_cast<int>(x % 700) : 0);
        t->memo = x % 5 ? "" : "Take with food.";
        if (t->file->add() != 0) {
            std::fprintf(stderr, "add: %s\n", t->file->lastErrorText().c_str());
            std::exit(1);
        }
    }
    t->file->commit();
    return *t;
}

void readPage(benchmark::State& state, files::RecordView& v, bool forward) {
    for (int i = 0; i < kPage; ++i)
        if ((forward ? v.next() : v.previous()) != 0) {
            state.SkipWithError("short page");
            return;
        }
}

void BM_FirstPage(benchmark::State& state) {
    Table& t = table(state.range(0));
    for (auto _ : state) {
        files::RecordView v(*t.file, 0);
        v.setPageSize(kPage);
        v.reset();
        readPage(state, v, true);
    }
}

void BM_LastPage(benchmark::State& state) {
    Table& t = table(state.range(0));
    for (auto _ : state) {
        files::RecordView v(*t.file, 0);
        v.setPageSize(kPage);
        v.resetToEnd();
        readPage(state, v, false);
    }
}

void BM_SeekMiddlePage(benchmark::State& state) {
    Table& t = table(state.range(0));
    const std::string middle = drugName(t.n, t.n / 6);
    for (auto _ : state) {
        files::RecordView v(*t.file, 0);
        v.setPageSize(kPage);
        t.rec = Rx{};
        rt::assign(t.rec.drug, middle);
        v.seekToBufferKey();
        readPage(state, v, true);
    }
}

// The same, one record at a time through the file's own cursor, and an exact look-up.
void BM_CursorLastThirty(benchmark::State& state) {
    Table& t = table(state.range(0));
    for (auto _ : state) {
        t.file->setKeyOrder(0);
        for (int i = 0; i < kPage; ++i) t.file->previous();
    }
}

void BM_GetByKey(benchmark::State& state) {
    Table& t = table(state.range(0));
    t.rec = Rx{};
    rt::assign(t.rec.drug, drugName(t.n, t.n / 6));
    files::RecordView v(*t.file, 0);
    v.seekToBufferKey();
    v.next();  // a record that exists, whole key
    const Rx found = t.rec;
    for (auto _ : state) {
        t.rec = found;
        if (t.file->get(0) != 0) state.SkipWithError("get");
    }
}

#define SIZES Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_FirstPage)->SIZES;
BENCHMARK(BM_LastPage)->SIZES;
BENCHMARK(BM_SeekMiddlePage)->SIZES;
BENCHMARK(BM_CursorLastThirty)->SIZES;
BENCHMARK(BM_GetByKey)->SIZES;

}  // namespace

BENCHMARK_MAIN();
