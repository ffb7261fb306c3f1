// Sums the database keeps itself: right after every kind of write, by this driver or another
// SQLite connection, and made when a file stored without them is migrated.
#include <functional>
#include <utility>

#include "files_test_support.h"

namespace {

using namespace filetest;

struct Sum {
    std::int64_t cents = 0;
    bool overflow = false;
    friend bool operator==(const Sum&, const Sum&) = default;
};
std::ostream& operator<<(std::ostream& o, const Sum& s) { return o << s.cents << (s.overflow ? " (overflow)" : ""); }

Sum kept(MedFile& m) {
    Sum s;
    EXPECT_EQ(m.file.keptSum("ActiveCost", &s.cents, &s.overflow), 0) << m.file.lastErrorText();
    return s;
}
Sum scanned(MedFile& m) {
    Sum s;
    EXPECT_EQ(m.file.sumWhereEqual(6, 2, "Y", &s.cents, &s.overflow), 0) << m.file.lastErrorText();
    return s;
}

// The stored row of the sum, read past the driver: {total, odd}, or {-1, -1} when there is none.
std::pair<std::int64_t, std::int64_t> storedRow(const std::string& path) {
    sqlite3* db = nullptr;
    std::pair<std::int64_t, std::int64_t> row{-1, -1};
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT total, odd FROM _kept_sums WHERE name = 'MEDS:ActiveCost'", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            row = {sqlite3_column_int64(st, 0), sqlite3_column_int64(st, 1)};
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return row;
}

class KeptSumTest : public FilesTest {
protected:
    // Adds a record with the given flag and cost; its tag is returned.
    int add(MedFile& m, const char* active, std::int64_t cents) {
        Med x = med("drug", active, 0, ++tag_);
        EXPECT_TRUE(x.cost.setScaled(cents));
        EXPECT_EQ(m.add(x), 0) << m.file.lastErrorText();
        return tag_;
    }
    // Reads the record with that tag into the buffer, as the current record.
    void find(MedFile& m, int tag) {
        ASSERT_EQ(m.file.setKeyOrder(-1), 0);
        while (m.file.next() == 0)
            if (m.tag() == tag) return;
        FAIL() << "no record " << tag;
    }
    int tag_ = 0;
};

TEST_F(KeptSumTest, StaysExactThroughEveryKindOfWrite) {
    const auto desc = keptTable();
    MedFile m(desc);
    ASSERT_EQ(m.openOrCreate(), 0);
    EXPECT_EQ(kept(m), Sum{}) << "an empty table";
    const std::string path = file("MEDS.sqlite");

    const int a = add(m, "Y", 10);
    const int b = add(m, "Y", 70);
    const int c = add(m, "y", 1000);  // only the capital letter counts
    const int d = add(m, "N", 2000);
    add(m, "", 4000);
    const int f = add(m, "Y", -5);
    ASSERT_EQ(kept(m), (Sum{75}));

    struct Step {
        const char* what;
        std::function<void()> write;
        std::int64_t expected;
    } steps[] = {
        {"a cost changed", [&] { find(m, a); ASSERT_TRUE(m.rec.cost.setScaled(110)); ASSERT_EQ(m.file.put(), 0); }, 175},
        {"active to inactive", [&] { find(m, b); rt::assign(m.rec.active, "N"); ASSERT_EQ(m.file.put(), 0); }, 105},
        {"inactive to active with a new cost", [&] { find(m, d); rt::assign(m.rec.active, "Y"); ASSERT_TRUE(m.rec.cost.setScaled(2001)); ASSERT_EQ(m.file.put(), 0); }, 2106},
        {"lower case to capital", [&] { find(m, c); rt::assign(m.rec.active, "Y"); ASSERT_EQ(m.file.put(), 0); }, 3106},
        {"a counted record deleted", [&] { find(m, f); ASSERT_EQ(m.file.erase(), 0); }, 3111},
        {"a write rolled back", [&] { ASSERT_EQ(m.file.begin(5), 0); add(m, "Y", 500000); ASSERT_EQ(m.file.rollback(), 0); }, 3111},
        {"another connection updates, leaving _version alone",
         [&] { rawSql(path, "UPDATE MEDS SET COST = COST + 1 WHERE ACTIVE = 'Y'"); }, 3114},
        {"another connection inserts and deletes",
         [&] { rawSql(path, "INSERT INTO MEDS (NAME, ACTIVE, COST) VALUES ('x', 'Y', 1000000); DELETE FROM MEDS WHERE ACTIVE = 'N'"); }, 1003114},
        {"another connection changes the flag's case",
         [&] { rawSql(path, "UPDATE MEDS SET ACTIVE = 'y' WHERE COST = 1000000"); }, 3114},
    };
    for (const auto& s : steps) {
        s.write();
        EXPECT_EQ(kept(m), (Sum{s.expected})) << s.what;
        EXPECT_EQ(kept(m), scanned(m)) << s.what;
    }
    EXPECT_EQ(storedRow(path), std::make_pair(std::int64_t{3114}, std::int64_t{0})) << "read from the kept row";
}

TEST_F(KeptSumTest, ValuesItCannotKeepAreAddedUpWithTheOverflowMark) {
    const auto desc = keptTable();
    MedFile m(desc);
    ASSERT_EQ(m.openOrCreate(), 0);
    add(m, "Y", 250);
    const std::string path = file("MEDS.sqlite");
    struct Case {
        const char* what;
        const char* sql;
        Sum expected;
    } cases[] = {
        {"two integers past 64 bits together", "INSERT INTO MEDS (ACTIVE, COST) VALUES ('Y', 9000000000000000000), ('Y', 9000000000000000000)", {0, true}},
        {"one of them gone", "DELETE FROM MEDS WHERE _id = (SELECT max(_id) FROM MEDS)", {9000000000000000250, false}},
        {"the other made small again", "UPDATE MEDS SET COST = 50 WHERE COST > 1000000", {300, false}},
        {"not counted, however large", "UPDATE MEDS SET COST = 9000000000000000000, ACTIVE = 'N' WHERE COST = 50", {250, false}},
    };
    for (const auto& c : cases) {
        rawSql(path, c.sql);
        EXPECT_EQ(kept(m), c.expected) << c.what;
        EXPECT_EQ(kept(m), scanned(m)) << c.what;
    }
    EXPECT_EQ(storedRow(path).second, 0) << "nothing odd left";
}

// A file of the first releases (version 0) stored without the sum gets it at its first writable
// open, which migrates it; until then, and wherever the stored row was made otherwise, the table is
// added up.
TEST_F(KeptSumTest, AnOlderFileGetsTheSumFilledWhenMigrated) {
    {
        const auto plain = medTable();
        MedFile old(plain);
        ASSERT_EQ(old.openOrCreate(), 0);
        add(old, "Y", 1234);
        add(old, "N", 99);
        add(old, "Y", 6);
    }
    files::ReleaseThreadConnections();
    const std::string path = file("MEDS.sqlite");
    rawSql(path, "DROP TABLE _kept_sums; PRAGMA user_version = 0");

    const auto desc = keptTable();
    {
        MedFile reader(desc);  // read-only: nothing is made, the table is added up
        ASSERT_EQ(reader.file.open(files::OpenMode::ReadOnly), 0);
        EXPECT_EQ(kept(reader), (Sum{1240}));
        EXPECT_EQ(storedRow(path).first, -1);
    }
    MedFile m(desc);
    ASSERT_EQ(m.file.open(), 0);
    EXPECT_EQ(storedRow(path), std::make_pair(std::int64_t{1240}, std::int64_t{0}));
    add(m, "Y", 60);
    EXPECT_EQ(kept(m), (Sum{1300}));
    m.file.close();

    // A row left by another way of keeping it (or tampered with) is not trusted.
    rawSql(path, "UPDATE _kept_sums SET definition = 'other', total = 7");
    for (auto mode : {files::OpenMode::ReadOnly, files::OpenMode::SharedReadWrite}) {
        MedFile reader(desc);
        ASSERT_EQ(reader.file.open(mode), 0);
        EXPECT_EQ(kept(reader), (Sum{1300}));
    }
    EXPECT_NE(m.file.keptSum("Other", nullptr, nullptr), 0) << "no such sum";
}

// ACTIVE is compared as a record buffer holds it, so what another program stores there counts in
// the sum exactly when a list showing the field shows the flag.
TEST_F(KeptSumTest, TextIsComparedAsTheRecordHoldsIt) {
    const auto desc = keptTable();
    MedFile m(desc);
    ASSERT_EQ(m.openOrCreate(), 0);
    const std::string path = file("MEDS.sqlite");
    struct Case {
        const char* stored;
        bool counts;
    } cases[] = {{"Y ", true}, {"Y  ", true}, {"Yes", true}, {" Y", false}, {"y ", false}, {"N", false}};
    std::int64_t expected = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        rawSql(path, std::string("INSERT INTO MEDS (NAME, ACTIVE, COST) VALUES ('x', '") + c.stored + "', 100)");
        ASSERT_EQ(m.file.setKeyOrder(-1), 0);
        ASSERT_EQ(m.file.previous(), 0);
        EXPECT_EQ(m.rec.active[0] == 'Y', c.counts) << "as the record holds it";
        if (c.counts) expected += 100;
        EXPECT_EQ(kept(m), (Sum{expected}));
        EXPECT_EQ(scanned(m), (Sum{expected}));
        // Written back through the driver, the stored text becomes the record's: the sum holds.
        ASSERT_EQ(m.file.put(), 0);
        EXPECT_EQ(kept(m), (Sum{expected}));
    }
}

}  // namespace
