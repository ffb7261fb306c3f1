// Record views: pages in both directions, a range on the leading component, a filter, seeks.
#include <random>

#include "files_test_support.h"

namespace filetest {
namespace {

using namespace files;

class Views : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        ASSERT_EQ(t.openOrCreate(), 0);
        // 120 records over 24 names (five of each, in several cases), flags and dates repeating.
        ASSERT_EQ(t.file.begin(5), 0);
        for (int i = 1; i <= 120; ++i) {
            std::string name = "n" + std::to_string(100 + (i * 7) % 24);
            if (i % 3 == 0) name[0] = 'N';
            ASSERT_EQ(t.add(med(name, i % 4 ? "Y" : "N", ymd(2024, 1, 1) + i % 6, i)), 0);
        }
        ASSERT_EQ(t.file.commit(), 0);
    }
    // The whole view, read with next() or previous().
    std::vector<int> read(RecordView& v, int dir) {
        std::vector<int> tags;
        EXPECT_EQ(dir > 0 ? v.reset() : v.resetToEnd(), 0);
        while ((dir > 0 ? v.next() : v.previous()) == 0) {
            tags.push_back(t.tag());
            EXPECT_EQ(v.position().id, t.tag());
        }
        EXPECT_EQ(t.file.lastError(), kRecordNotAvailable);
        return tags;
    }
    MedFile t{medTable()};
};

TEST_F(Views, PagesRangesAndFiltersAgreeWithTheFile) {
    const std::vector<int> all = t.order(kByName, 1);
    ASSERT_EQ(all.size(), 120u);
    auto nameOf = [&](int tag) {
        EXPECT_EQ(t.file.getAt(Position{tag}), 0);
        return rt::clip(t.rec.name);
    };
    std::vector<std::string> names;
    for (int tag : all) names.push_back(nameOf(tag));

    struct Case {
        int page;
        bool range;   // names n105 .. n112, either case
        bool filter;  // even tags only
    } cases[] = {{1, false, false}, {7, false, false}, {500, false, false}, {1, true, true}, {7, true, false},
                 {7, false, true},  {3, true, true},   {200, true, true}};
    for (const auto& c : cases) {
        std::vector<int> want;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const bool inRange = rt::compareNoCase(names[i], "n105") >= 0 && rt::compareNoCase(names[i], "N112") <= 0;
            if ((!c.range || inRange) && (!c.filter || all[i] % 2 == 0)) want.push_back(all[i]);
        }
        RecordView v(t.file, kByName);
        v.setPageSize(c.page);
        if (c.range) v.setRange(std::string("N105"), std::string("n112"));
        if (c.filter) v.setFilter([&] { return t.rec.tag % 2 == 0; });
        EXPECT_EQ(read(v, 1), want) << "page " << c.page << " range " << c.range << " filter " << c.filter;
        EXPECT_EQ(read(v, -1), reversed(want)) << "page " << c.page << " range " << c.range << " filter " << c.filter;

        // Turning round mid-way gives the record before the one last read.
        ASSERT_GE(want.size(), 6u);
        ASSERT_EQ(v.reset(), 0);
        for (int k = 0; k < 5; ++k) ASSERT_EQ(v.next(), 0);
        ASSERT_EQ(v.previous(), 0);
        EXPECT_EQ(t.tag(), want[3]);

        // Seeking to a record of the view reads on from it, in both directions.
        const int middle = want[want.size() / 2];
        ASSERT_EQ(v.seekToPosition(Position{middle}), 0);
        ASSERT_EQ(v.next(), 0);
        EXPECT_EQ(t.tag(), middle);
        ASSERT_EQ(v.next(), 0);
        EXPECT_EQ(t.tag(), want[want.size() / 2 + 1]);
        ASSERT_EQ(v.seekToPosition(Position{middle}), 0);
        ASSERT_EQ(v.previous(), 0);
        EXPECT_EQ(t.tag(), want[want.size() / 2 - 1]);
    }
}

TEST_F(Views, SeekToBufferKeyAndExactRange) {
    RecordView v(t.file, kByName);
    v.setPageSize(4);
    t.rec = med("N110", "", 0, 0);  // after every n110: a blank flag sorts last of a descending flag
    ASSERT_EQ(v.seekToBufferKey(), 0);
    ASSERT_EQ(v.next(), 0);
    EXPECT_EQ(rt::clip(t.rec.name), "n111");
    ASSERT_EQ(v.previous(), 0);
    EXPECT_EQ(rt::compareNoCase(rt::clip(t.rec.name), "n110"), 0);

    v.setRange(std::string("n110"), std::string("n110"));
    std::vector<int> got = read(v, 1);
    EXPECT_EQ(got.size(), 5u);
    for (int tag : got) {
        ASSERT_EQ(t.file.getAt(Position{tag}), 0);
        EXPECT_EQ(rt::compareNoCase(rt::clip(t.rec.name), "n110"), 0);
    }
    v.clearRange();
    EXPECT_EQ(read(v, 1).size(), 120u);
}

// A condition that pins the key's leading field: reading on from a seek before, inside or after the
// pinned names, either way, gives what the same seek without it gives, those names kept.
TEST_F(Views, ASeekInsideOrBesideAPinnedRangeReadsWhatTheFilterKeeps) {
    const auto pinned = [](const std::string& name) {
        return std::vector<FieldCondition>{{1, FieldCondition::Op::Equal, [name]() -> std::optional<KeyValue> { return name; }}};
    };
    const struct {
        const char* sought;  // the buffer's name at the seek
        const char* pin;
    } cases[] = {{"n100", "n110"}, {"N110", "n110"}, {"n110", "n123"}, {"n123", "n110"}, {"zzz", "n123"}};
    for (const auto& c : cases)
        for (int dir : {1, -1}) {
            SCOPED_TRACE(std::string(c.sought) + " pinned to " + c.pin + (dir > 0 ? ", on" : ", back"));
            const auto readFrom = [&](bool withPin) {
                RecordView v(t.file, kByName);
                v.setPageSize(3);
                if (withPin) v.setConditions(pinned(c.pin));
                t.rec = med(c.sought, "", 0, 0);
                EXPECT_EQ(v.seekToBufferKey(), 0);
                std::vector<int> tags;
                while ((dir > 0 ? v.next() : v.previous()) == 0) tags.push_back(t.tag());
                return tags;
            };
            std::vector<int> expected = readFrom(false);
            std::erase_if(expected, [&](int tag) {
                EXPECT_EQ(t.file.getAt(Position{tag}), 0);
                return rt::compareNoCase(rt::clip(t.rec.name), c.pin) != 0;
            });
            EXPECT_EQ(readFrom(true), expected);
        }
}

TEST_F(Views, PositionOrderWithRangeAndDates) {
    RecordView byPos(t.file, -1);
    byPos.setPageSize(16);
    byPos.setRange(std::int64_t{30}, std::int64_t{41});
    std::vector<int> want;
    for (int i = 30; i <= 41; ++i) want.push_back(i);
    EXPECT_EQ(read(byPos, 1), want);
    EXPECT_EQ(read(byPos, -1), reversed(want));

    RecordView byDate(t.file, kByDate);
    byDate.setRange(std::int64_t{ymd(2024, 1, 3)}, std::int64_t{ymd(2024, 1, 3)});
    const auto got = read(byDate, 1);
    EXPECT_EQ(got.size(), 20u);
    for (int tag : got) EXPECT_EQ(tag % 6, 2);
}

TEST_F(Views, ReadsMakeTheCurrentRecordAndErrorsAreCodes) {
    RecordView v(t.file, kByName);
    ASSERT_EQ(v.next(), 0);
    const Position pos = v.position();
    rt::assign(t.rec.active, "N");
    ASSERT_EQ(t.file.put(), 0);  // a view read is the current record, version and all
    ASSERT_EQ(t.file.getAt(pos), 0);
    EXPECT_EQ(rt::clip(t.rec.active), "N");

    RecordView bad(t.file, 17);
    EXPECT_EQ(bad.next(), kInvalidKeyFile);
    EXPECT_EQ(bad.seekToPosition(Position{1}), kInvalidKeyFile);
    EXPECT_EQ(v.seekToPosition(Position{999}), kRecordNotFound);
    t.file.close();
    EXPECT_EQ(v.next(), kFileNotOpen);
    EXPECT_EQ(v.reset(), kFileNotOpen);
}

}  // namespace
}  // namespace filetest
