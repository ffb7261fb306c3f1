// A record view ordered on fields no key holds (a list's header sort): the key order's records,
// range and filter kept, sorted stably on the fields, in both directions, with seeks, and read
// afresh once the table changed.
#include <algorithm>

#include "files_test_support.h"

namespace filetest {
namespace {

using namespace files;

class SortedViews : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        ASSERT_EQ(t.openOrCreate(), 0);
        for (int i = 1; i <= 60; ++i) {
            Med m = med((i % 2 ? "n" : "N") + std::to_string(100 + (i * 7) % 12), "Y", ymd(2024, 1, 1) + i % 5, i);
            m.qty = static_cast<std::int16_t>((i * 13) % 9);
            ASSERT_EQ(t.add(m), 0);
        }
    }
    std::vector<int> read(RecordView& v, int dir) {
        std::vector<int> tags;
        EXPECT_EQ(dir > 0 ? v.reset() : v.resetToEnd(), 0);
        while ((dir > 0 ? v.next() : v.previous()) == 0) tags.push_back(t.tag());
        return tags;
    }
    // What the sort must give: the key order's tags that pass, stably sorted by `less`.
    template <typename Less>
    std::vector<int> expected(bool (*keep)(int tag), Less less) {
        std::vector<Med> records;
        for (int tag : t.order(kByName, 1)) {
            EXPECT_EQ(t.file.getAt(Position{tag}), 0);
            if (keep(tag)) records.push_back(t.rec);
        }
        std::stable_sort(records.begin(), records.end(), less);
        std::vector<int> tags;
        for (const Med& m : records) tags.push_back(m.tag);
        return tags;
    }
    MedFile t{medTable()};
};

TEST_F(SortedViews, SortsTheKeyOrdersRecordsStablyInBothDirections) {
    struct Case {
        const char* what;
        std::vector<rt::KeyComponent> by;
        bool (*keep)(int tag);
        bool (*less)(const Med&, const Med&);
    } cases[] = {
        {"+qty", {{5}}, [](int) { return true; }, [](const Med& a, const Med& b) { return a.qty < b.qty; }},
        {"-qty, +date, every third left out", {{5, true}, {3}}, [](int tag) { return tag % 3 != 0; },
         [](const Med& a, const Med& b) {
             const int qa = a.qty, qb = b.qty;
             return qa != qb ? qa > qb : a.date.get() < b.date.get();
         }},
        {"-name, ignoring case", {{1, true}}, [](int) { return true; },
         [](const Med& a, const Med& b) { return rt::compareNoCase(rt::clip(a.name), rt::clip(b.name)) > 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<int> want = expected(c.keep, c.less);
        RecordView v(t.file, kByName);
        v.setFilter([&] { return c.keep(t.tag()); });
        v.setSortOrder(c.by);
        EXPECT_EQ(read(v, 1), want);
        EXPECT_EQ(read(v, -1), reversed(want));

        // Turning round gives the record before the one last read; a seek reads on from its record.
        const std::size_t m = want.size() / 2;
        ASSERT_EQ(v.seekToPosition(Position{want[m]}), 0);
        ASSERT_EQ(v.next(), 0);
        EXPECT_EQ(t.tag(), want[m]);
        ASSERT_EQ(v.next(), 0);
        ASSERT_EQ(v.previous(), 0);
        EXPECT_EQ(t.tag(), want[m]);
        ASSERT_EQ(v.seekToPosition(Position{want[m]}), 0);
        ASSERT_EQ(v.previous(), 0);
        EXPECT_EQ(t.tag(), want[m - 1]);
    }
}

TEST_F(SortedViews, SeeksByTheSortFieldsAndReadsAfreshAfterAChange) {
    RecordView v(t.file, kByName);
    v.setSortOrder({{5}});
    t.rec = Med{};
    t.rec.qty = 4;
    ASSERT_EQ(v.seekToBufferKey(), 0);
    ASSERT_EQ(v.next(), 0);
    EXPECT_EQ(t.qty(), 4);
    ASSERT_EQ(v.previous(), 0);
    EXPECT_EQ(t.qty(), 3);

    // Sought on the sort fields alone, whatever the key's own fields hold in the buffer (blank
    // comes last in a falling key).
    RecordView byActive(t.file, kByActive);
    byActive.setSortOrder({{5}});
    t.rec = Med{};
    t.rec.qty = 4;
    ASSERT_EQ(byActive.seekToBufferKey(), 0);
    ASSERT_EQ(byActive.next(), 0);
    EXPECT_EQ(t.qty(), 4);

    std::vector<int> before = read(v, 1);
    Med extra = med("a", "Y", ymd(2024, 1, 1), 99);
    extra.qty = -1;
    ASSERT_EQ(t.add(extra), 0);
    std::vector<int> after = read(v, 1);
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.front(), 99) << "the new record takes its place";

    // A record removed after the order was read is passed over.
    ASSERT_EQ(v.reset(), 0);
    ASSERT_EQ(t.file.getAt(Position{after[1]}), 0);
    ASSERT_EQ(t.file.erase(), 0);
    ASSERT_EQ(v.next(), 0);
    EXPECT_EQ(t.tag(), 99);
    ASSERT_EQ(v.next(), 0);
    EXPECT_EQ(t.tag(), after[2]);

    // A filter that reads more than the table is applied at each read.
    int limit = 100;
    v.setFilter([&] { return t.tag() <= limit; });
    EXPECT_EQ(read(v, 1).size(), after.size() - 1);
    limit = 10;
    EXPECT_EQ(read(v, 1).size(), 10u);
}

}  // namespace
}  // namespace filetest
