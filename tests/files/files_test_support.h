#pragma once
// Shared by the file driver's tests: a scratch data folder per test and a small medication-like
// layout that has every field type, descending components, OPT, NOCASE, a unique key and a memo.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files/collation.h"
#include "platform/runtime/codepage.h"
#include "platform/files/record_view.h"
#include "platform/files/table_file.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/std_date.h"

namespace filetest {

#pragma pack(push, 1)
struct Med {
    char name[20];                  // 1
    char active[1];                 // 2
    rt::DateField date;             // 3
    rt::TimeField time;             // 4
    std::int16_t qty;               // 5
    rt::PackedDecimal<4, 2> cost;   // 6
    double refills;                 // 7
    char code[12];                  // 8 CSTRING
    std::uint8_t flag;              // 9
    std::int32_t tag;               // 10: tells records apart in the tests
};
#pragma pack(pop)
static_assert(sizeof(Med) == 20 + 1 + 4 + 4 + 2 + 4 + 8 + 12 + 1 + 4);

#define MED_F(member) static_cast<std::uint16_t>(sizeof(Med::member)), static_cast<std::uint16_t>(offsetof(Med, member))
inline const rt::FieldDesc kMedFields[] = {
    {1, "MED:NAME", rt::FieldType::String, MED_F(name)},
    {2, "MED:ACTIVE", rt::FieldType::String, MED_F(active)},
    {3, "MED:DATE", rt::FieldType::Date, MED_F(date)},
    {4, "MED:TIME", rt::FieldType::Time, MED_F(time)},
    {5, "MED:QTY", rt::FieldType::Short, MED_F(qty)},
    {6, "MED:COST", rt::FieldType::Decimal, MED_F(cost), 2},
    {7, "MED:REFILLS", rt::FieldType::Real, MED_F(refills)},
    {8, "MED:CODE", rt::FieldType::CString, MED_F(code)},
    {9, "MED:FLAG", rt::FieldType::Byte, MED_F(flag)},
    {10, "MED:TAG", rt::FieldType::Long, MED_F(tag)},
};
#undef MED_F

enum MedKey { kByName, kByDate, kByCode, kByActive, kExactName, kMedKeys };
inline const rt::KeyDesc kMedKeyDescs[] = {
    {"MED:BYNAME", "MED:ByName", {{1}, {2, true}, {3, true}}},                       // +name, -active, -date
    {"MED:BYDATE", "MED:ByDate", {{3}, {4}}},                                         // +date, +time
    {"MED:BYCODE", "MED:ByCode", {{8}}, /*dup*/ false},                               // unique
    {"MED:BYACTIVE", "MED:ByActive", {{2, true}}},                                    // -active
    {"MED:EXACT", "MED:Exact", {{1}}, /*dup*/ true, /*opt*/ false, /*nocase*/ false}, // case counts, blanks kept
};
inline const rt::MemoDesc kMedMemo{"MED:NOTES", "MED:Notes", 200};

inline rt::TableDesc medTable(std::string_view fileName = "MEDS") {
    return rt::TableDesc{"Meds", "MED", fileName, sizeof(Med), kMedFields, kMedKeyDescs, &kMedMemo};
}

// The Meds table with a kept sum: MED:COST where MED:ACTIVE is 'Y'.
inline const rt::KeptSumDesc kMedKeptSums[] = {{"ActiveCost", 6, 2, "Y"}};
inline rt::TableDesc keptTable() {
    rt::TableDesc d = medTable();
    d.keptSums = kMedKeptSums;
    return d;
}

// The Meds table with a lookup on the name, as a person's rows are looked up.
inline const rt::KeyDesc kMedLookups[] = {{"MED:BYNAMELOOKUP", "MED:NameLookup", {{1}}}};
inline rt::TableDesc lookupTable() {
    rt::TableDesc d = medTable();
    d.lookups = kMedLookups;
    return d;
}

inline rt::StdDate ymd(int y, int m, int d) { return rt::dateFromYmd(y, m, d).value(); }

inline Med med(std::string_view name, std::string_view active, rt::StdDate date, int tag, rt::StdTime time = 0,
               std::string_view code = "") {
    Med r{};
    rt::assign(r.name, name);
    rt::assign(r.active, active);
    r.date.set(date);
    r.time.set(time);
    rt::assignC(r.code, code);
    r.tag = tag;
    return r;
}

// A scratch data folder for each test; the thread's connections are released at the end.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/files_test_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        files::SetDataFolder(dir_);
    }
    void TearDown() override {
        files::ReleaseThreadConnections();
        files::SetDataFolder("");
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }

    // A second way into the database, for what the driver itself must never do.
    void rawSql(const std::string& path, const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        files::registerCollations(db);
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " in " << sql;
        sqlite3_free(err);
        sqlite3_close(db);
    }

    std::string dir_;
};

// An open table over a Med buffer and a memo.
struct MedFile {
    explicit MedFile(const rt::TableDesc& d) : desc(d), file(desc, &rec, &notes) {}
    int openOrCreate() {
        int e = file.open();
        if (e == files::kFileNotFound) {
            if ((e = file.create()) != 0) return e;
            e = file.open();
        }
        return e;
    }
    int add(const Med& m, std::string memo = "") {
        rec = m;
        notes = std::move(memo);
        return file.add();
    }
    // The tags of a whole key order read with next() (dir > 0) or previous().
    std::vector<int> order(int key, int dir) {
        std::vector<int> tags;
        EXPECT_EQ(file.setKeyOrder(key), 0);
        while ((dir > 0 ? file.next() : file.previous()) == 0) tags.push_back(tag());
        EXPECT_EQ(file.lastError(), files::kRecordNotAvailable) << file.lastErrorText();
        return tags;
    }

    // Copies of packed members (a reference to one would be misaligned).
    int tag() const { return rec.tag; }
    int qty() const { return rec.qty; }

    rt::TableDesc desc;
    Med rec{};
    std::string notes;
    files::TableFile file;
};

inline std::vector<int> reversed(std::vector<int> v) { return {v.rbegin(), v.rend()}; }

}  // namespace filetest
