// Sort fields appended to a key's order: a pass of the view reader reads the records the key holds
// equal in the appended order, with the view's filter still applied.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/view_reader.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/fixed_string.h"
#include "support/program_fixture.h"

namespace {

#pragma pack(push, 1)
struct Item {
    char SHELF[10];
    char NAME[20];
    std::int32_t NUM;
};
#pragma pack(pop)

using FT = rt::FieldType;
const rt::FieldDesc kFields[] = {{1, "ITM:SHELF", FT::String, 10, 0}, {2, "ITM:NAME", FT::String, 20, 10}, {3, "ITM:NUM", FT::Long, 4, 30}};
const rt::TableDesc& itemTable() {
    static const std::vector<rt::KeyDesc> keys = {{"ITM:BYSHELF", "ITM:ByShelf", {{1, true}}}};  // -SHELF, case ignored
    static const rt::TableDesc d{"Items", "ITM", "items", sizeof(Item), kFields, keys, nullptr};
    return d;
}

class AppendedOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(file_.create(), 0);
        ASSERT_EQ(file_.open(), 0);
        // In the order they are stored: shelves b, B and a mixed, names out of order.
        const struct {
            const char* shelf;
            const char* name;
            int num;
        } rows[] = {{"b", "pear", 1}, {"a", "fig", 2}, {"B", "Apple", 3}, {"b", "apple", 4},
                    {"a", "date", 5}, {"c", "kiwi", 6}, {"B", "melon", 7}};
        for (const auto& r : rows) {
            rt::assign(item_.SHELF, r.shelf);
            rt::assign(item_.NAME, r.name);
            item_.NUM = r.num;
            ASSERT_EQ(file_.add(), 0);
        }
    }
    void TearDown() override {
        rt::UnbindRecord(&item_);
        file_.close();
        files::ReleaseThreadConnections();
    }
    // The numbers of the records one pass reads.
    std::vector<int> pass(cls::ViewReader& reader) {
        std::vector<int> nums;
        EXPECT_EQ(reader.Rewind(), 0);
        while (reader.FetchNext() == 0) nums.push_back(int{item_.NUM});
        return nums;
    }

    testing_support::TempDataFolder folder_;
    Item item_{};
    files::TableFile file_{itemTable(), &item_, nullptr};
};

TEST_F(AppendedOrderTest, RecordsTheKeyHoldsEqualComeInTheAppendedOrder) {
    const struct {
        const char* order;
        std::vector<int> nums;
    } cases[] = {
        {"", {6, 1, 3, 4, 7, 2, 5}},                // the key alone: equal shelves in stored order
        {"+ITM:Name", {6, 3, 4, 7, 1, 5, 2}},       // "Apple" and "apple" equal: stored order between them
        {"itm:name", {6, 3, 4, 7, 1, 5, 2}},        // rising without a sign, names in any case
        {"-ITM:NAME", {6, 1, 7, 3, 4, 2, 5}},
        {"-ITM:NUM", {6, 7, 4, 3, 1, 5, 2}},
        {"+ITM:NAME, -ITM:NUM", {6, 4, 3, 7, 1, 5, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.order);
        cls::ViewReader reader(file_, nullptr);
        reader.UseOrder(0);
        std::string error;
        ASSERT_TRUE(reader.AppendOrder(c.order, &error)) << error;
        EXPECT_EQ(pass(reader), c.nums);
        EXPECT_EQ(pass(reader), c.nums) << "a second pass reads the same";
    }
}

TEST_F(AppendedOrderTest, TheFilterAndARangeStillChooseTheRecords) {
    cls::ViewReader reader(file_, nullptr);
    reader.UseOrder(0);
    ASSERT_TRUE(reader.AppendOrder("+ITM:NAME"));
    rt::BindField("ITM:NUM", *itemTable().field(3), &item_);
    ASSERT_TRUE(reader.SetStandardFilter("ITM:Num <> 4"));
    EXPECT_EQ(pass(reader), (std::vector<int>{6, 3, 7, 1, 5, 2}));
    rt::assign(item_.SHELF, "B");
    reader.LimitOrder(*itemTable().field(1));
    EXPECT_EQ(pass(reader), (std::vector<int>{3, 7, 1}));
}

TEST_F(AppendedOrderTest, ANameTheTableLacksIsRefusedAndTheOrderStays) {
    cls::ViewReader reader(file_, nullptr);
    reader.UseOrder(0);
    ASSERT_TRUE(reader.AppendOrder("-ITM:NUM"));
    std::string error;
    EXPECT_FALSE(reader.AppendOrder("+ITM:COLOUR", &error));
    EXPECT_NE(error.find("ITM:COLOUR"), std::string::npos) << error;
    EXPECT_EQ(pass(reader), (std::vector<int>{6, 7, 4, 3, 1, 5, 2}));
}

TEST_F(AppendedOrderTest, ARecordRemovedDuringThePassIsPassedOver) {
    cls::ViewReader reader(file_, nullptr);
    reader.UseOrder(0);
    ASSERT_TRUE(reader.AppendOrder("+ITM:NAME"));
    ASSERT_EQ(reader.Rewind(), 0);
    ASSERT_EQ(reader.FetchNext(), 0);
    ASSERT_EQ(reader.FetchNext(), 0);  // the order is read: 6, 3, 4, 7, 1, 5, 2
    ASSERT_EQ(int{item_.NUM}, 3);
    Item other{};
    files::TableFile second(itemTable(), &other, nullptr);
    ASSERT_EQ(second.open(), 0);
    ASSERT_EQ(second.setKeyOrder(-1), 0);
    while (second.next() == 0) {
        if (other.NUM == 4) {
            ASSERT_EQ(second.erase(), 0);
        }
    }
    second.close();
    std::vector<int> rest;
    while (reader.FetchNext() == 0) rest.push_back(int{item_.NUM});
    EXPECT_EQ(rest, (std::vector<int>{7, 1, 5, 2}));
}

}  // namespace
