#include <gtest/gtest.h>

#include "platform/runtime/clock.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/std_date.h"

namespace {

TEST(StandardDate, KnownDays) {
    struct Case { int y, m, d; rt::StdDate n; } cases[] = {
        {1800, 12, 28, 0}, {1801, 1, 1, 4}, {2000, 2, 29, 72746}, {2026, 12, 10, 82527},
    };
    for (const auto& c : cases) {
        if (c.y == 1800) continue;  // before the supported range, only the epoch's definition
        auto d = rt::dateFromYmd(c.y, c.m, c.d);
        ASSERT_TRUE(d) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(*d, c.n) << c.y << "-" << c.m << "-" << c.d;
        auto back = rt::ymdFromDate(c.n);
        EXPECT_EQ(back.year, c.y);
        EXPECT_EQ(back.month, c.m);
        EXPECT_EQ(back.day, c.d);
    }
    EXPECT_EQ(rt::ymdFromDate(0).year, 1800);
}

TEST(StandardDate, ImpossibleDatesRefused) {
    EXPECT_FALSE(rt::dateFromYmd(2025, 2, 29));
    EXPECT_FALSE(rt::dateFromYmd(2024, 4, 31));
    EXPECT_FALSE(rt::dateFromYmd(2024, 13, 1));
    EXPECT_FALSE(rt::dateFromYmd(2024, 0, 1));
    EXPECT_TRUE(rt::dateFromYmd(2024, 2, 29));
}

TEST(StandardDate, FieldRoundTripAndEmpty) {
    rt::DateField f;
    EXPECT_EQ(f.get(), 0);
    const rt::StdDate d = *rt::dateFromYmd(2026, 12, 10);
    f.set(d);
    EXPECT_EQ(f.day, 10);
    EXPECT_EQ(f.month, 12);
    EXPECT_EQ(f.year, 2026);
    EXPECT_EQ(f.get(), d);
    f.set(0);
    EXPECT_TRUE(f.empty());
}

TEST(StandardTime, Encoding) {
    EXPECT_EQ(*rt::timeFromHms(0, 0, 0), 1);
    EXPECT_EQ(*rt::timeFromHms(13, 45, 30, 7), ((13 * 60 + 45) * 60 + 30) * 100 + 7 + 1);
    rt::TimeField t;
    t.set(*rt::timeFromHms(13, 45, 30, 7));
    EXPECT_EQ(t.hours, 13);
    EXPECT_EQ(t.minutes, 45);
    EXPECT_EQ(t.seconds, 30);
    EXPECT_EQ(t.hundredths, 7);
    EXPECT_EQ(t.get(), *rt::timeFromHms(13, 45, 30, 7));
    EXPECT_FALSE(rt::timeFromHms(24, 0, 0));
}

TEST(Clock, FixedForTests) {
    {
        rt::FixedClockScope pin(82617, 4500);
        EXPECT_EQ(rt::today(), 82617);
        EXPECT_EQ(rt::clockNow(), 4500);
    }
    EXPECT_GT(rt::today(), 82000);
}

TEST(FixedString, CutPadAndClip) {
    char s[5];
    rt::assign(s, "abcdefg");
    EXPECT_EQ(std::string(s, 5), "abcde");
    rt::assign(s, "ab");
    EXPECT_EQ(std::string(s, 5), "ab   ");
    EXPECT_EQ(rt::clip(s), "ab");
    char c[4];
    rt::assignC(c, "abcdef");
    EXPECT_EQ(rt::cstr(c), "abc");
    EXPECT_EQ(c[3], '\0');
}

TEST(PackedDecimal, ExactAndBounded) {
    rt::PackedDecimal<4, 2> cost;
    EXPECT_EQ(cost.scaled(), 0);
    EXPECT_TRUE(cost.setScaled(1234));
    EXPECT_EQ(cost.scaled(), 1234);
    EXPECT_TRUE(cost.setScaled(-5));
    EXPECT_EQ(cost.scaled(), -5);
    EXPECT_TRUE(cost.setScaled(9999999));
    EXPECT_FALSE(cost.setScaled(10000000));
    EXPECT_EQ(cost.scaled(), 9999999) << "a refused value leaves the field as it was";
    struct Case { const char* text; std::optional<std::int64_t> scaled; } cases[] = {
        {"12.34", 1234}, {"0.1", 10}, {"-0.05", -5}, {"7", 700}, {" 3.456 ", 346}, {"abc", std::nullopt}, {"", std::nullopt}, {"1.2.3", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::textToScaled(c.text, 2), c.scaled) << c.text;
    EXPECT_EQ(rt::scaledToText(80, 2), "0.80");
    EXPECT_EQ(rt::scaledToText(-5, 2), "-0.05");
    EXPECT_EQ(rt::scaledToText(123456, 2), "1234.56");
}

}  // namespace
