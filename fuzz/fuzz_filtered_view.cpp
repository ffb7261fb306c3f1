// Stored filters over rows of any writer: the view that hands parts of the filter to the database
// lists exactly the rows of the full walk that tests the filter on every record, both ways. The
// input spells the rows (some stored by another writer, text longer than its field) and a filter
// of equalities and bounds joined by and/or.
#include <sqlite3.h>
#include <stdlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/classes/view_reader.h"
#include "platform/files/collation.h"
#include "platform/files/record_view.h"
#include "platform/files/table_file.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/fixed_string.h"

namespace {

#pragma pack(push, 1)
struct Rec {
    char name[20];
    char active[1];
    std::int16_t qty;
    std::int32_t tag;
};
#pragma pack(pop)

const std::array<rt::FieldDesc, 4> kFields{{
    {1, "R:NAME", rt::FieldType::String, 20, 0},
    {2, "R:ACTIVE", rt::FieldType::String, 1, 20},
    {3, "R:QTY", rt::FieldType::Short, 2, 21},
    {4, "R:TAG", rt::FieldType::Long, 4, 23},
}};
const rt::KeyDesc kKeys[] = {
    {"R:BYNAME", "R:ByName", {{1}, {2, true}}},
    {"R:BYACTIVE", "R:ByActive", {{2}}},
    {"R:EXACT", "R:Exact", {{1}}, /*dup*/ true, /*opt*/ false, /*nocase*/ false},
};
const rt::KeyDesc kLookups[] = {{"R:NAMELOOKUP", "R:NameLookup", {{1}}}};

rt::TableDesc table() {
    rt::TableDesc d{"Rows", "R", "ROWS", sizeof(Rec), kFields, kKeys, nullptr};
    d.lookups = kLookups;
    return d;
}

struct Input {
    const std::uint8_t* p;
    const std::uint8_t* end;
    unsigned byte() { return p < end ? *p++ : 0u; }
    std::string text(std::size_t most) {
        static const char kLetters[] = "aAbB c";
        std::string s;
        for (std::size_t n = byte() % (most + 1); n > 0; --n) s += kLetters[byte() % 6];
        return s;
    }
};

const std::string& folder() {
    static const std::string f = [] {
        char tmpl[] = "/tmp/fuzz_view_XXXXXX";
        if (!::mkdtemp(tmpl)) std::abort();
        return std::string(tmpl);
    }();
    return f;
}

std::vector<int> walk(files::RecordView& v, const Rec& rec, int dir) {
    std::vector<int> tags;
    if ((dir > 0 ? v.reset() : v.resetToEnd()) != 0) std::abort();
    while ((dir > 0 ? v.next() : v.previous()) == 0) tags.push_back(static_cast<int>(rec.tag));  // a copy: the member is packed
    return tags;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, data + size};
    const std::string path = folder() + "/ROWS.sqlite";
    files::ReleaseThreadConnections();
    std::filesystem::remove(path);
    for (const char* side : {"-wal", "-shm"}) std::filesystem::remove(path + side);
    files::SetDataFolder(folder());

    const rt::TableDesc desc = table();
    Rec rec{};
    files::TableFile file(desc, &rec, nullptr);
    if (file.create() != 0 || file.open() != 0) std::abort();
    sqlite3* other = nullptr;  // another writer, which stores text as it likes
    if (sqlite3_open(path.c_str(), &other) != SQLITE_OK || files::registerCollations(other) != SQLITE_OK) std::abort();
    const unsigned rows = in.byte() % 32;
    for (unsigned i = 1; i <= rows; ++i) {
        const bool raw = in.byte() & 1u;
        const std::string name = in.text(raw ? 26 : 20);
        const std::string active(1, "YyN "[in.byte() % 4]);
        const int qty = static_cast<int>(in.byte() % 5);
        if (raw) {
            const std::string sql = "INSERT INTO ROWS (NAME, ACTIVE, QTY, TAG) VALUES ('" + name + "', '" + active + (in.byte() & 1u ? "x" : "") +
                                    "', " + std::to_string(qty) + ", " + std::to_string(i) + ")";
            if (sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
        } else {
            rec = Rec{};
            rt::assign(rec.name, name);
            rt::assign(rec.active, active);
            rec.qty = static_cast<std::int16_t>(qty);
            rec.tag = static_cast<std::int32_t>(i);
            if (file.add() != 0) std::abort();
        }
    }
    sqlite3_close(other);

    std::string filter;
    for (unsigned n = 1 + in.byte() % 3, i = 0; i < n; ++i) {
        if (i) filter += in.byte() & 1u ? " and " : " or ";
        switch (in.byte() % 4) {
            case 0: filter += "R:Name = '" + in.text(22) + "'"; break;
            case 1: filter += std::string("R:Active = '") + "YyN "[in.byte() % 4] + "'"; break;
            case 2: filter += "R:Qty " + std::string(in.byte() & 1u ? ">= " : "< ") + std::to_string(in.byte() % 5); break;
            default: filter += "not R:Qty = " + std::to_string(in.byte() % 5); break;
        }
    }
    const int key = static_cast<int>(in.byte() % 3);

    for (const auto& f : kFields) rt::BindField(f.name, f, &rec);
    auto compiled = rt::Expression::Compile(filter, nullptr);
    if (!compiled) std::abort();
    files::RecordView full(file, key);
    full.setFilter([&] { return compiled->Test(); });
    cls::ViewReader reader(file, nullptr);
    if (!reader.SetStandardFilter(filter)) std::abort();
    files::RecordView& split = reader.UseOrder(key);
    for (int dir : {1, -1})
        if (walk(split, rec, dir) != walk(full, rec, dir)) std::abort();
    rt::UnbindAll();
    return 0;
}
