#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "platform/classes/list_pager.h"
#include "platform/runtime/fixed_string.h"
#include "support/program_fixture.h"

namespace {

#pragma pack(push, 1)
struct Item {
    char NAME[10];
};
#pragma pack(pop)

const rt::FieldDesc kFields[] = {{1, "ITM:NAME", rt::FieldType::String, 10, 0}};
const std::vector<rt::KeyDesc>& keys() {
    static const std::vector<rt::KeyDesc> k = {{"ITM:BYNAME", "ITM:ByName", {{1, false}}}};
    return k;
}
const rt::TableDesc& table() {
    static const rt::TableDesc d{"Items", "ITM", "items", sizeof(Item), kFields, keys(), nullptr};
    return d;
}

std::string name(int i) {
    char b[8];
    std::snprintf(b, sizeof b, "N%03d", i);
    return b;
}

class Pager : public ::testing::Test {
protected:
    void fill(int n) {
        ASSERT_EQ(file.create(), 0);
        ASSERT_EQ(file.open(), 0);
        for (int i = n - 1; i >= 0; --i) {  // added out of order: the key orders them
            rt::assign(item.NAME, name(i));
            ASSERT_EQ(file.add(), 0);
        }
    }
    // "first..last@current" of the page, as names' numbers.
    std::string page(const cls::ListPager& p) {
        if (p.empty()) return "empty";
        auto num = [](const cls::ListRow& r) {
            Item it;
            std::memcpy(&it, r.record.data(), sizeof it);
            return std::stoi(rt::clip(it.NAME).substr(1));
        };
        const auto& rows = p.rows();
        for (std::size_t i = 1; i < rows.size(); ++i)
            EXPECT_LT(num(rows[i - 1]), num(rows[i])) << "rows follow key order";
        return std::to_string(num(rows.front())) + ".." + std::to_string(num(rows.back())) + "@" +
               std::to_string(num(rows[static_cast<std::size_t>(p.current())]));
    }

    testing_support::TempDataFolder folder;
    Item item{};
    files::TableFile file{table(), &item, nullptr};
};

TEST_F(Pager, MovesThroughTheViewAPageAtATime) {
    fill(100);
    files::RecordView view(file, 0);
    cls::ListPager p(view, 10);
    struct Step {
        const char* move;
        const char* expected;
    } steps[] = {
        {"home", "0..9@0"},      {"down", "0..9@1"},      {"pagedown", "10..19@11"}, {"pagedown", "20..29@21"},
        {"pageup", "10..19@11"}, {"pageup", "0..9@1"},    {"pageup", "0..9@0"},      {"up", "0..9@0"},
        {"end", "90..99@99"},    {"down", "90..99@99"},   {"pagedown", "90..99@99"}, {"pageup", "80..89@89"},
        {"up", "80..89@88"},     {"home", "0..9@0"},      {"down9", "0..9@9"},       {"down", "1..10@10"},
        {"down", "2..11@11"},    {"up9", "2..11@2"},      {"up", "1..10@1"},         {"locate N050", "45..54@50"},
        {"locate N0995", "90..99@99"}, {"locate A", "0..9@0"},
    };
    for (const auto& s : steps) {
        const std::string m = s.move;
        int e = 0;
        if (m == "home") e = p.Home();
        else if (m == "end") e = p.End();
        else if (m == "down") e = p.Down();
        else if (m == "up") e = p.Up();
        else if (m == "down9") for (int i = 0; i < 9; ++i) e |= p.Down();
        else if (m == "up9") for (int i = 0; i < 9; ++i) e |= p.Up();
        else if (m == "pagedown") e = p.PageDown();
        else if (m == "pageup") e = p.PageUp();
        else if (m.rfind("locate ", 0) == 0) {
            rt::assign(item.NAME, m.substr(7));
            e = p.LocateBufferKey();
        }
        ASSERT_EQ(e, 0) << m;
        EXPECT_EQ(page(p), s.expected) << "after " << m;
    }
}

TEST_F(Pager, ShortAndEmptyViews) {
    ASSERT_EQ(file.create(), 0);
    ASSERT_EQ(file.open(), 0);
    files::RecordView view(file, 0);
    cls::ListPager p(view, 10);
    EXPECT_EQ(p.Home(), 0);
    EXPECT_TRUE(p.empty());
    EXPECT_EQ(p.current(), -1);
    EXPECT_EQ(p.End(), 0);
    EXPECT_EQ(p.PageDown(), 0);
    EXPECT_TRUE(p.empty());
    for (int i = 0; i < 3; ++i) {
        rt::assign(item.NAME, name(i));
        ASSERT_EQ(file.add(), 0);
    }
    EXPECT_EQ(p.Home(), 0);
    EXPECT_EQ(page(p), "0..2@0");
    EXPECT_TRUE(p.atStart() && p.atEnd());
    EXPECT_EQ(p.End(), 0);
    EXPECT_EQ(page(p), "0..2@2");
    EXPECT_EQ(p.PageUp(), 0);
    EXPECT_EQ(page(p), "0..2@0");
}

TEST_F(Pager, ReloadAfterTheCurrentRecordWasRemovedStaysWhereItStood) {
    fill(30);
    files::RecordView view(file, 0);
    cls::ListPager p(view, 10);
    rt::assign(item.NAME, "N015");
    ASSERT_EQ(p.LocateBufferKey(), 0);
    EXPECT_EQ(page(p), "10..19@15");
    ASSERT_EQ(file.eraseAt(p.rows()[static_cast<std::size_t>(p.current())].position), 0);
    ASSERT_EQ(p.Reload(), 0);
    EXPECT_EQ(page(p), "10..20@16") << "the next row takes its place";
}

}  // namespace

namespace {

// A box that grows keeps its first row at the top and fills below; one that shrinks keeps the
// current row in sight; near the end a taller page is topped up from above.
TEST_F(Pager, RefitToAnotherNumberOfRowsKeepsTheCurrentRow) {
    fill(100);
    files::RecordView view(file, 0);
    cls::ListPager p(view, 10);
    struct Step {
        const char* start;  // the record made current first
        int rows;
        const char* expected;
    } steps[] = {
        {"N015", 20, "10..29@15"},  // grew: the rows below fill
        {"N015", 4, "13..16@15"},   // shrank past the current row: it stays in sight
        {"N095", 20, "80..99@95"},  // grew at the end: topped up from above
        {"N000", 1, "0..0@0"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.start) + " " + std::to_string(s.rows));
        p.setVisible(10);
        rt::assign(item.NAME, s.start);
        ASSERT_EQ(p.LocateBufferKey(), 0);
        p.setVisible(s.rows);
        ASSERT_EQ(p.Refit(), 0);
        EXPECT_EQ(page(p), s.expected);
    }
}

}  // namespace
