#include "files_test_support.h"

namespace {

using namespace filetest;

TEST_F(FilesTest, SumOfADecimalOverAnExactTextMatchAddsInCents) {
    const auto desc = medTable();
    MedFile m(desc);
    ASSERT_EQ(m.openOrCreate(), 0);
    std::int64_t sum = -1;
    bool overflow = true;
    ASSERT_EQ(m.file.sumWhereEqual(6, 2, "Y", &sum, &overflow), 0);
    EXPECT_EQ(sum, 0) << "nothing to add up";
    EXPECT_FALSE(overflow);
    struct Row {
        const char* active;
        std::int64_t cents;
    } rows[] = {{"Y", 10}, {"Y", 70}, {"y", 1000}, {"N", 2000}, {"", 4000}, {"Y", -5}};
    int tag = 0;
    for (const auto& r : rows) {
        Med x = med("drug", r.active, 0, ++tag);
        ASSERT_TRUE(x.cost.setScaled(r.cents));
        ASSERT_EQ(m.add(x), 0);
    }
    ASSERT_EQ(m.file.sumWhereEqual(6, 2, "Y", &sum, &overflow), 0);
    EXPECT_EQ(sum, 75) << "0.10 + 0.70 - 0.05, only the capital Y";
    EXPECT_NE(m.file.sumWhereEqual(60, 2, "Y", &sum, &overflow), 0) << "no such field";
}

}  // namespace
