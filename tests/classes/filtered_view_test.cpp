// Stored filters whose tests the database takes over: the parts it can test narrow what the views
// read (key ranges, tests on the rows, a lookup on the name), and the rows listed are exactly those
// of the full walk that tests the filter on every record, in the same order, whole and page by page
// from both ends.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "files/files_test_support.h"
#include "platform/classes/filter_terms.h"
#include "platform/classes/list_pager.h"
#include "platform/classes/view_reader.h"
#include "platform/files/table_file_impl.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/expression.h"

namespace {

using namespace filetest;

class FilteredViews : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        ASSERT_EQ(t.openOrCreate(), 0);
        for (const auto& f : kMedFields) rt::BindField(f.name, f, &t.rec);
        rt::BindMemo("MED:Notes", &t.notes, 200);
        rt::BindText("who", [this] { return who; });
    }
    void TearDown() override {
        rt::UnbindAll();
        FilesTest::TearDown();
    }
    // Names that differ in case and trailing blanks only, dates around today, quantities, costs.
    void fill(int n) {
        const char* names[] = {"abc", "ABC", "Abc", "abc ", "abd", "m", "Mz", "zed", "", "ab"};
        const char* actives[] = {"Y", "y", "N", " "};
        const rt::StdDate today = rt::today();
        ASSERT_EQ(t.file.begin(10), 0);
        for (int i = 1; i <= n; ++i) {
            Med m = med(names[i % 10], actives[i % 4], i % 7 == 0 ? 0 : today - 40 + (i * 13) % 90, i, (i * 7) % 100,
                        "C" + std::to_string(i));
            m.qty = static_cast<std::int16_t>(i % 9);
            ASSERT_TRUE(m.cost.setScaled(1200 + (i * 37) % 100));
            m.refills = (i % 11) / 2.0;
            m.flag = static_cast<std::uint8_t>(i % 5);
            ASSERT_EQ(t.add(m, i % 3 ? "note" : ""), 0);
        }
        ASSERT_EQ(t.file.commit(), 0);
    }
    std::vector<int> walk(files::RecordView& v, int dir) {
        std::vector<int> tags;
        EXPECT_EQ(dir > 0 ? v.reset() : v.resetToEnd(), 0);
        int e;
        while ((e = dir > 0 ? v.next() : v.previous()) == 0) tags.push_back(t.tag());
        EXPECT_EQ(e, files::kRecordNotAvailable) << t.file.lastErrorText();
        return tags;
    }
    std::vector<int> page(const cls::ListPager& p) {
        std::vector<int> tags;
        for (const cls::ListRow& r : p.rows()) {
            Med m;
            std::memcpy(&m, r.record.data(), sizeof m);
            tags.push_back(m.tag);
        }
        return tags;
    }

    MedFile t{lookupTable()};
    std::string who = "abc";
};

TEST_F(FilteredViews, ListTheRowsOfTheFullWalkWhateverTheDatabaseTests) {
    fill(400);
    // Rows another writer stored with text longer than its field (NAME holds 20, ACTIVE 1): the
    // buffer holds the first characters, and so the filter tests those.
    rawSql(file("MEDS.sqlite"),
           "INSERT INTO MEDS (NAME, ACTIVE, TAG) VALUES ('abcdefghijklmnopqrstuvwxyz', 'Yes', 901), "
           "('abc                 tail', 'Y', 902), ('ABCDEFGHIJKLMNOPQRSTz', 'yN', 903), ('abc  ', 'N', 904)");
    struct Case {
        const char* filter;
        MedKey key;
        std::size_t conditions;  // the parts the database takes over
    } cases[] = {
        {"(MED:Date =>today() and MED:Date <= Today()+30)", kByDate, 2},  // bounds the key
        {"MED:Date >= today() - 10 AND MED:Qty > 3", kByDate, 2},         // a bound and a field not in the key
        {"today() - 10 < MED:Date", kByDate, 1},                          // the field on the right
        {"MED:Name = 'abc'", kByName, 1},                                 // folded in the database, exact in the filter
        {"MED:Name = who and (MED:Active = 'Y')", kByName, 2},            // a variable; a field behind the key's first
        {"MED:Name = 'abc'", kExactName, 1},                              // a key that keeps case
        {"MED:Code = 'C17'", kByCode, 1},
        {"MED:Active = 'Y'", kByActive, 1},
        {"MED:Cost > 12.345 and MED:Cost <= 12.9", kByDate, 2},           // a decimal's bound between two stored values
        {"MED:Refills <= 2.5", kByName, 1},
        {"MED:Qty = '3'", kByName, 1},                                    // text against a number: the filter decides
        {"MED:Qty >= 2 or MED:Date = today()", kByDate, 0},               // either side may pass a record
        {"not MED:Active = 'Y'", kByActive, 0},
        {"MED:Name < 'M'", kByName, 0},                                   // text order: the filter's own
        {"MED:Qty = MED:Flag", kByName, 0},                               // two of the record's fields
        {"MED:Qty <> 3", kByName, 0},
        {"MED:Name & 'x' = 'abcx'", kByName, 0},
        {"MED:Notes = 'note' and MED:Qty = 4", kByName, 1},               // the memo is the record's too
        // Through the lookup on the name, sorted into the key's order by the database.
        {"MED:Active = 'Y' and MED:Name = who", kByActive, 2},
        {"MED:Name = 'ABC ' and MED:Date >= today() - 10", kByDate, 2},
        {"MED:Name = ''", kByCode, 1},
        // Compared as the buffer holds the longer rows, by the key's index and through the lookup.
        {"MED:Name = 'abcdefghijklmnopqrst'", kByName, 1},
        {"MED:Name = 'abcdefghijklmnopqrst'", kExactName, 1},
        {"MED:Name = 'abcdefghijklmnopqrst' and MED:Active = 'Y'", kByActive, 2},
        {"MED:Active = 'y'", kByDate, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(cls::DatabaseConditionsOf(c.filter, t.file).size(), c.conditions);
        // The reference: the filter tested on every record of the key, nothing in the database.
        auto compiled = rt::Expression::Compile(c.filter, nullptr);
        ASSERT_TRUE(compiled);
        files::RecordView full(t.file, c.key);
        full.setFilter([&] { return compiled->Test(); });
        const std::vector<int> want = walk(full, 1);
        EXPECT_EQ(walk(full, -1), reversed(want));

        cls::ViewReader reader(t.file, nullptr);
        ASSERT_TRUE(reader.SetStandardFilter(c.filter));
        files::RecordView& v = reader.UseOrder(c.key);
        EXPECT_EQ(walk(v, 1), want);
        EXPECT_EQ(walk(v, -1), reversed(want));

        cls::ListPager pager(v, 7), reference(full, 7);
        ASSERT_EQ(pager.Home(), 0);
        ASSERT_EQ(reference.Home(), 0);
        EXPECT_EQ(page(pager), page(reference));
        EXPECT_TRUE(pager.atStart());
        EXPECT_EQ(pager.atEnd(), want.size() <= 7);
        ASSERT_EQ(pager.End(), 0);
        ASSERT_EQ(reference.End(), 0);
        EXPECT_EQ(page(pager), page(reference));
        EXPECT_EQ(pager.atStart(), want.size() <= 7);
        EXPECT_TRUE(pager.atEnd());
        ASSERT_EQ(pager.PageUp(), 0);
        ASSERT_EQ(reference.PageUp(), 0);
        EXPECT_EQ(page(pager), page(reference));
    }
}

TEST_F(FilteredViews, ReadTheVariablesValueAtEachQuery) {
    fill(100);
    cls::ViewReader reader(t.file, nullptr);
    ASSERT_TRUE(reader.SetStandardFilter("MED:Name = who"));
    files::RecordView& v = reader.UseOrder(kByName);
    const std::size_t abc = walk(v, 1).size();
    EXPECT_GT(abc, 0u);
    who = "zed";
    const std::vector<int> zed = walk(v, 1);
    ASSERT_FALSE(zed.empty());
    for (int tag : zed) EXPECT_EQ(tag % 10, 7) << "the rows named zed";
}

// A page that can show only rows of a narrow range reads about a page of rows to know it is the
// first or the last, not the records before or after it.
TEST_F(FilteredViews, ThePagerLearnsTheEndsOfAPageFromAFewRows) {
    const rt::StdDate today = rt::today();
    ASSERT_EQ(t.file.begin(10), 0);
    for (int i = 1; i <= 100000; ++i) ASSERT_EQ(t.add(med("n", "Y", today - 50000 + i, i)), 0);
    ASSERT_EQ(t.file.commit(), 0);
    int reads = 0;
    rt::BindNumber("reads", [&reads] { return ++reads; });
    cls::ViewReader reader(t.file, nullptr);
    ASSERT_TRUE(reader.SetStandardFilter("reads > 0 and MED:Date >= today() and MED:Date <= today() + 30"));
    cls::ListPager pager(reader.UseOrder(kByDate), 10);
    ASSERT_EQ(pager.Home(), 0);
    EXPECT_EQ(page(pager).front(), 50000);
    EXPECT_TRUE(pager.atStart());
    EXPECT_FALSE(pager.atEnd());
    EXPECT_LE(reads, 30);
    reads = 0;
    ASSERT_EQ(pager.End(), 0);
    EXPECT_EQ(page(pager).back(), 50030);
    EXPECT_FALSE(pager.atStart());
    EXPECT_LE(reads, 30);
    reads = 0;
    ASSERT_EQ(pager.PageUp(), 0);
    ASSERT_EQ(pager.PageUp(), 0);
    EXPECT_EQ(page(pager).front(), 50001);
    EXPECT_FALSE(pager.atStart()) << "one row stands before the page";
    ASSERT_EQ(pager.PageUp(), 0);
    EXPECT_EQ(page(pager).front(), 50000);
    EXPECT_TRUE(pager.atStart());
    EXPECT_LE(reads, 100);
}

// A filter that pins the lookup's field reads that field's few rows, not the whole key: a fraction
// of the database's work of the same view over a file without the lookup (as an older file opened
// for reading is), with the same rows listed.
TEST_F(FilteredViews, AFilterPinningALookupReadsOnlyItsRows) {
    ASSERT_EQ(t.file.begin(10), 0);
    for (int i = 1; i <= 20000; ++i) ASSERT_EQ(t.add(med(i % 2000 ? "Name " + std::to_string(i % 50) : "abc", "Y", 0, i)), 0);
    ASSERT_EQ(t.file.commit(), 0);
    // The virtual machine's steps of every statement the thread's connection runs.
    long steps = 0;
    auto count = [this, &steps] {
        sqlite3_trace_v2(
            t.file.impl().connection()->db(), SQLITE_TRACE_PROFILE,
            [](unsigned, void* total, void* stmt, void*) {
                *static_cast<long*>(total) += sqlite3_stmt_status(static_cast<sqlite3_stmt*>(stmt), SQLITE_STMTSTATUS_VM_STEP, 1);
                return 0;
            },
            &steps);
    };
    auto listed = [&] {
        steps = 0;
        cls::ViewReader reader(t.file, nullptr);
        EXPECT_TRUE(reader.SetStandardFilter("MED:Active = 'Y' and MED:Name = who"));
        files::RecordView& v = reader.UseOrder(kByActive);
        std::vector<int> rows = walk(v, 1);
        EXPECT_EQ(walk(v, -1), reversed(rows));
        return rows;
    };
    count();
    const std::vector<int> through = listed();
    const long lookupSteps = steps;
    EXPECT_EQ(through, (std::vector<int>{2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000, 18000, 20000}));

    t.file.close();
    files::ReleaseThreadConnections();
    rawSql(file("MEDS.sqlite"), "DROP INDEX \"MEDS:MED:NameLookup\"");
    ASSERT_EQ(t.file.open(files::OpenMode::ReadOnly), 0) << t.file.lastErrorText();
    count();
    EXPECT_EQ(listed(), through);
    EXPECT_LT(lookupSteps * 20, steps) << "through the lookup " << lookupSteps << " steps, through the key " << steps;
}

}  // namespace
