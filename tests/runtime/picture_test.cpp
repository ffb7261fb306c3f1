#include "platform/runtime/picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/runtime/clock.h"

namespace {

using rt::Picture;

Picture pic(const char* text) {
    std::string error;
    auto p = Picture::Parse(text, &error);
    EXPECT_TRUE(p) << text << ": " << error;
    return p ? *p : *Picture::Parse("@s1", nullptr);
}

rt::StdDate ymd(int y, int m, int d) { return rt::dateFromYmd(y, m, d).value_or(-1); }
rt::StdTime hms(int h, int m, int s = 0) { return rt::timeFromHms(h, m, s).value_or(-1); }

TEST(PictureParse, KindsWidthsAndPlaces) {
    struct Case { const char* text; Picture::Kind kind; int width, places; } cases[] = {
        {"@n-10.2", Picture::Kind::Number, 10, 2},  {"@N3", Picture::Kind::Number, 3, 0},
        {"@n$-13,.2B", Picture::Kind::Number, 13, 2}, {"@s40", Picture::Kind::Text, 40, 0},
        {"s60", Picture::Kind::Text, 60, 0},        {"@s60@", Picture::Kind::Text, 60, 0},
        {"@d17", Picture::Kind::Date, 10, 0},       {"D17", Picture::Kind::Date, 10, 0},
        {"@D4", Picture::Kind::Date, 18, 0},        {"@D18", Picture::Kind::Date, 18, 0},
        {"@t7", Picture::Kind::Time, 8, 0},         {"@P(###) ###-####P", Picture::Kind::Pattern, 14, 0},
        {"pPage <<#p", Picture::Kind::Pattern, 8, 0}, {"@K#'##\"K", Picture::Kind::KeyIn, 5, 0},
        {"@K#\\'##\\\"K", Picture::Kind::KeyIn, 5, 0},
    };
    for (const auto& c : cases) {
        std::string error;
        auto p = Picture::Parse(c.text, &error);
        ASSERT_TRUE(p) << c.text << ": " << error;
        EXPECT_EQ(p->kind(), c.kind) << c.text;
        EXPECT_EQ(p->width(), c.width) << c.text;
        EXPECT_EQ(p->places(), c.places) << c.text;
    }
}

TEST(PictureParse, MalformedPicturesRefused) {
    for (const char* text : {"", "@", "@x5", "@s", "@s0", "@n", "@n-", "@n(10.2", "@n10.2)", "@n--5", "@n-5-",
                             "@n10.", "@n1.2", "@n10,`2", "@n10.2q", "@d7", "@d", "@t8", "@P###", "@PabcP",
                             "@K---K", "@s40@80L"}) {
        std::string error;
        EXPECT_FALSE(Picture::Parse(text, &error)) << text;
        EXPECT_NE(error.find("is not valid"), std::string::npos) << text << ": " << error;
    }
    std::string error;
    Picture::Parse("@d7", &error);
    EXPECT_EQ(error, "The picture \"@d7\" is not valid: the date pictures are @d4, @d17 and @d18.");
}

// (picture, value, text): the text shown, and for each fitting text the value read back.
struct NumberCase {
    const char* picture;
    double value;
    const char* text;
};
const NumberCase kNumbers[] = {
    {"@n-10.2", 1234.5, "1234.50"},      {"@n-10.2", -1234.5, "-1234.50"},
    {"@n-10.2", 99999.99, "99999.99"},   {"@n-10.2", -999999.99, "-999999.99"},
    {"@n-10.2", 0, "0.00"},              {"@n-10.2B", 0, ""},
    {"@n-10.2B", -0.001, ""},            {"@n-7", -0.4, "0"},
    {"@n10.2-", -5.25, "5.25-"},         {"@n10.2-", 5.25, "5.25"},
    {"@n(10.2)", -5.25, "(5.25)"},       {"@n(10.2)", 5.25, "5.25"},
    {"@n$10.2", 12.5, "$12.50"},         {"@n-$10.2", -12.5, "-$12.50"},
    {"@n$-10.2", -12.5, "$-12.50"},      {"@n10.2$", 12.5, "12.50$"},
    {"@n_5", 42, "00042"},               {"@n-_6", -42, "-00042"},
    {"@n06,", 1234, "01,234"},           {"@n*8.2", 12.5, "***12.50"},
    {"@n-13,.2", -1234567.891, "-1,234,567.89"}, {"@n10.`2", 1234.5, "1.234,50"},
    {"@n10`2", 1234.5, "1234,50"},       {"@n5v2", 12.34, "1234"},
    // A '.' grouping with implied decimals (none): the dots group, they are no decimal point.
    {"@n7.v0", 4567, "4.567"},           {"@n-10.v0", -1234567, "-1.234.567"},
    {"@n011.v0", 4567, "000.004.567"},
    // Parentheses with the currency sign outside them.
    {"@n$(9.2)", -1.5, "$(1.50)"},        {"@n(9.2)$", -1.5, "(1.50)$"},
    {"@n6.2", 2.675, "2.68"},            {"@n6.2", 2.665, "2.67"},
    {"@n6.2", 0.005, "0.01"},            {"@n6.2", 37, "37.00"},
    {"@n3", 120.5, "121"},               {"@n3", 0.4, "0"},
    {"@n3", 0, "0"},                     {"@n4", 9999, "9999"},
    {"@n5", 24, "24"},                   {"@N3", 7, "7"},
    // A negative under a picture without a sign form keeps its minus.
    {"@n3", -5, "-5"},                   {"@n6.2", -2.675, "-2.68"},
    // Too wide: never a cut or wrong number.
    {"@n3", 1000, "###"},                {"@n-10.2", -9999999, "##########"},
    {"@n-10.2", 1e20, "##########"},     {"@n4,", 1000, "####"},
};

TEST(PictureNumber, FormatTable) {
    for (const auto& c : kNumbers) EXPECT_EQ(pic(c.picture).FormatNumber(c.value), c.text) << c.picture << " " << c.value;
    EXPECT_EQ(pic("@n-10.2").FormatNumber(std::nan("")), "##########");
    EXPECT_EQ(pic("@n-10.2").FormatNumber(std::numeric_limits<double>::infinity()), "##########");
}

TEST(PictureNumber, WhatIsShownReadsBack) {
    for (const auto& c : kNumbers) {
        const Picture p = pic(c.picture);
        // Overflow reads as nothing; a stored negative under an unsigned picture is shown but not typed.
        if (std::string(c.text).find('#') != std::string::npos || (c.value < 0 && !p.allowsNegative())) continue;
        std::string error;
        const auto shown = p.ParseScaled(c.text, p.places(), &error);
        ASSERT_TRUE(shown) << c.picture << " \"" << c.text << "\": " << error;
        // The value read back is the value shown: the input rounded to the picture's places.
        EXPECT_EQ(p.FormatScaled(*shown, p.places()), c.text) << c.picture;
        if (*c.text) {
            const double rounded = std::round(std::fabs(c.value) * std::pow(10, p.places()) + 1e-9);
            EXPECT_EQ(std::llabs(*shown), static_cast<long long>(rounded)) << c.picture << " " << c.value;
        }
    }
}

TEST(PictureNumber, FormatScaledRescales) {
    const Picture p = pic("@n-10.2");
    EXPECT_EQ(p.FormatScaled(1234, 2), "12.34");
    EXPECT_EQ(p.FormatScaled(12345, 3), "12.35");
    EXPECT_EQ(p.FormatScaled(-12345, 3), "-12.35");
    EXPECT_EQ(p.FormatScaled(5, 0), "5.00");
    EXPECT_EQ(p.FormatScaled(-5, 2), "-0.05");
    EXPECT_EQ(p.FormatScaled(-4, 3), "0.00");  // rounds to zero: no sign
    EXPECT_EQ(p.FormatScaled(std::numeric_limits<std::int64_t>::max(), 0), "##########");
}

TEST(PictureNumber, TypedInput) {
    struct Case { const char* picture; const char* typed; std::int64_t scaled; const char* error; } cases[] = {
        {"@n-10.2", " $1,234.50 ", 123450, nullptr},
        {"@n-10.2", "-12.5", -1250, nullptr},
        {"@n-10.2", "12.5-", -1250, nullptr},
        {"@n-10.2", "(12.50)", -1250, nullptr},
        {"@n-10.2", "+7", 700, nullptr},
        {"@n-10.2", ".5", 50, nullptr},
        {"@n-10.2", "", 0, nullptr},
        {"@n-10.2", "12.345", 1235, nullptr},  // more decimals than shown: rounded as shown
        {"@n-10.2", "9999999.99", 999999999, nullptr},
        {"@n-7", "1,000", 1000, nullptr},
        {"@n3", "120", 120, nullptr},
        {"@n5v2", "1234", 1234, nullptr},
        {"@n5v2", "12.34", 1234, nullptr},
        {"@n10.`2", "1.234,5", 123450, nullptr},
        {"@n-10.2", "12a", 0, "\"12a\" is not a number."},
        {"@n-10.2", "1-2", 0, "\"1-2\" is not a number."},
        {"@n-10.2", "--5", 0, "\"--5\" is not a number."},
        {"@n-10.2", "1.2.3", 0, "\"1.2.3\" is not a number."},
        {"@n-10.2", "$", 0, "\"$\" is not a number."},
        {"@n-10.2", "12,345.6", 1234560, nullptr},
        {"@n-10.2", "1,5", 0, "\"1,5\" is not a number."},  // not fifteen
        {"@n-10.2", "1234,567", 0, "\"1234,567\" is not a number."},
        {"@n-10.2", "1,2345", 0, "\"1,2345\" is not a number."},
        {"@n10.`2", "1.5", 0, "\"1.5\" is not a number."},
        {"@n-10.2", "12345678", 0, "\"12345678\" is out of range: this field takes -999999.99 to 9999999.99."},
        {"@n-10.2", "-1000000", 0, "\"-1000000\" is out of range: this field takes -999999.99 to 9999999.99."},
        {"@n-10.2", "123456789012345678901234", 0,
         "\"123456789012345678901234\" is out of range: this field takes -999999.99 to 9999999.99."},
        {"@n3", "-5", 0, "\"-5\" is out of range: this field takes 0 to 999."},
        {"@n3", "1000", 0, "\"1000\" is out of range: this field takes 0 to 999."},
        {"@n10`2", "99999999", 0, "\"99999999\" is out of range: this field takes 0,00 to 9999999,99."},
    };
    for (const auto& c : cases) {
        const Picture p = pic(c.picture);
        std::string error;
        const auto v = p.ParseScaled(c.typed, p.places(), &error);
        if (c.error) {
            EXPECT_FALSE(v) << c.picture << " \"" << c.typed << "\"";
            EXPECT_EQ(error, c.error) << c.picture << " \"" << c.typed << "\"";
            EXPECT_FALSE(p.ParseNumber(c.typed, &error)) << c.picture << " \"" << c.typed << "\"";
        } else {
            ASSERT_TRUE(v) << c.picture << " \"" << c.typed << "\": " << error;
            EXPECT_EQ(*v, c.scaled) << c.picture << " \"" << c.typed << "\"";
        }
    }
}

TEST(PictureNumber, ParseToOtherPlacesAndDouble) {
    const Picture p = pic("@n-10.2");
    std::string error;
    EXPECT_EQ(p.ParseScaled("12.5", 3, &error), 12500);
    EXPECT_EQ(p.ParseScaled("12.5", 0, &error), 13);
    EXPECT_EQ(p.ParseScaled("-12.5", 0, &error), -13);
    EXPECT_EQ(p.ParseNumber("12.34", &error), 12.34);
    EXPECT_EQ(pic("@n3").ParseNumber("120.5", &error), 121.0);
    EXPECT_EQ(p.ParseText("1234.5", &error), "1234.50");
}

TEST(FieldRange, StorableValues) {
    using rt::FieldType;
    struct Case { FieldType type; int size, places; double value; bool fits; const char* error; } cases[] = {
        {FieldType::Short, 2, 0, 32767, true, nullptr},
        {FieldType::Short, 2, 0, -32768, true, nullptr},
        {FieldType::Short, 2, 0, 32768, false, "The value must be between -32768 and 32767."},
        {FieldType::Short, 2, 0, 32767.4, true, nullptr},
        {FieldType::Short, 2, 0, 32767.5, false, "The value must be between -32768 and 32767."},
        {FieldType::Short, 2, 0, 1e30, false, "The value must be between -32768 and 32767."},
        {FieldType::Byte, 1, 0, 255, true, nullptr},
        {FieldType::Byte, 1, 0, -1, false, "The value must be between 0 and 255."},
        {FieldType::Long, 4, 0, 2147483647, true, nullptr},
        {FieldType::Long, 4, 0, 2147483648.0, false, "The value must be between -2147483648 and 2147483647."},
        {FieldType::Decimal, 4, 2, 99999.99, true, nullptr},
        {FieldType::Decimal, 4, 2, -99999.99, true, nullptr},
        {FieldType::Decimal, 4, 2, 99999.994, true, nullptr},
        {FieldType::Decimal, 4, 2, 99999.995, false, "The value must be between -99999.99 and 99999.99."},
        {FieldType::Decimal, 4, 2, 100000, false, "The value must be between -99999.99 and 99999.99."},
        {FieldType::Real, 8, 0, 1e300, true, nullptr},
        {FieldType::Real, 8, 0, std::nan(""), false, "The value is not a number."},
        {FieldType::String, 20, 0, 5, false, "This field holds text, not a number."},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(rt::FitsField(c.type, c.size, c.places, c.value, &error), c.fits) << c.value;
        if (c.error) {
            EXPECT_EQ(error, c.error) << c.value;
        }
    }
    std::string error;
    EXPECT_TRUE(rt::FitsFieldScaled(FieldType::Decimal, 4, 2, 9999999, 2, &error));
    EXPECT_FALSE(rt::FitsFieldScaled(FieldType::Decimal, 4, 2, 10000000, 2, &error));
    EXPECT_FALSE(rt::FitsFieldScaled(FieldType::Short, 2, 0, 3276750, 2, &error));  // 32767.50 rounds up
    EXPECT_TRUE(rt::FitsFieldScaled(FieldType::Short, 2, 0, -3276849, 2, &error));
}

TEST(PictureDate, FormatTable) {
    struct Case { const char* picture; rt::StdDate date; const char* text; } cases[] = {
        {"@d17", ymd(2026, 12, 10), "12/10/2026"}, {"@d17", ymd(2026, 1, 5), "01/05/2026"},
        {"@D17", ymd(1801, 1, 1), "01/01/1801"},   {"@d17-", ymd(2026, 1, 5), "01-05-2026"},
        {"@d4", ymd(2026, 1, 5), "January 5, 2026"}, {"@D4", ymd(2026, 9, 30), "September 30, 2026"},
        {"@d18", ymd(2026, 12, 10), "December 10, 2026"}, {"@d17", 0, ""},
        {"@d4", 0, ""},                            {"@d18", -3, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(pic(c.picture).FormatDate(c.date), c.text) << c.picture;
    // A date field's value handed over as a number shows as a date.
    EXPECT_EQ(pic("@d17").FormatNumber(ymd(2024, 2, 29)), "02/29/2024");
    EXPECT_EQ(pic("@d17").FormatText("2/29/2024"), "02/29/2024");
}

TEST(PictureDate, TypedInput) {
    struct Case { const char* typed; rt::StdDate date; const char* error; } cases[] = {
        {"12/10/2026", ymd(2026, 12, 10), nullptr},
        {"1/5/26", ymd(2026, 1, 5), nullptr},
        {"01-05-2026", ymd(2026, 1, 5), nullptr},
        {"1.5.2026", ymd(2026, 1, 5), nullptr},
        {"01052026", ymd(2026, 1, 5), nullptr},
        {"010526", ymd(2026, 1, 5), nullptr},
        {"2026-01-05", ymd(2026, 1, 5), nullptr},
        {"12/10", ymd(2026, 12, 10), nullptr},
        {"December 10, 2026", ymd(2026, 12, 10), nullptr},
        {"dec 10 2026", ymd(2026, 12, 10), nullptr},
        {"10 December 2026", ymd(2026, 12, 10), nullptr},
        {"Thursday, December 10, 2026", ymd(2026, 12, 10), nullptr},
        {"Sept 3, 2025", ymd(2025, 9, 3), nullptr},
        {"Dec 10", ymd(2026, 12, 10), nullptr},
        {"2/29/2024", ymd(2024, 2, 29), nullptr},
        // Two-digit years: 1936..2035 in 2026.
        {"1/5/45", ymd(1945, 1, 5), nullptr},
        {"1/5/35", ymd(2035, 1, 5), nullptr},
        {"1/5/36", ymd(1936, 1, 5), nullptr},
        {"1/5/00", ymd(2000, 1, 5), nullptr},
        {"  ", 0, nullptr},
        {"2/30/2025", 0, "\"2/30/2025\" is not a date: February 2025 has 28 days."},
        {"2/29/2025", 0, "\"2/29/2025\" is not a date: February 2025 has 28 days."},
        {"4/31/2026", 0, "\"4/31/2026\" is not a date: April 2026 has 30 days."},
        {"13/1/2026", 0, "\"13/1/2026\" is not a date: there is no month 13."},
        {"1/0/2026", 0, "\"1/0/2026\" is not a date: there is no day 0."},
        {"1/5/202", 0, "\"1/5/202\" is not a date: type the year with 2 or 4 digits."},
        {"1/1/1799", 0, "\"1/1/1799\" is outside the years a date can have (1801 to 9999)."},
        {"abc", 0, "\"abc\" is not a date. Type it as MM/DD/YYYY, for example 12/10/2026."},
        {"Smarch 3, 2026", 0, "\"Smarch 3, 2026\" is not a date. Type it as MM/DD/YYYY, for example 12/10/2026."},
        {"12/10/2026/5", 0, "\"12/10/2026/5\" is not a date. Type it as MM/DD/YYYY, for example 12/10/2026."},
        {"12/10/2026 3pm", 0, "\"12/10/2026 3pm\" is not a date. Type it as MM/DD/YYYY, for example 12/10/2026."},
        {"1/5/123456789012345", 0, "\"1/5/123456789012345\" is not a date. Type it as MM/DD/YYYY, for example 12/10/2026."},
    };
    const Picture p = pic("@d17");
    for (const auto& c : cases) {
        std::string error;
        const auto d = p.ParseDate(c.typed, &error, 2026);
        if (c.error) {
            EXPECT_FALSE(d) << c.typed;
            EXPECT_EQ(error, c.error);
        } else {
            ASSERT_TRUE(d) << c.typed << ": " << error;
            EXPECT_EQ(*d, c.date) << c.typed;
        }
    }
}

TEST(PictureDate, CenturyWindowFollowsTheClock) {
    std::string error;
    {
        rt::FixedClockScope clock(ymd(2026, 12, 10));
        EXPECT_EQ(pic("@d17").ParseDate("1/5/35", &error), ymd(2035, 1, 5));
        EXPECT_EQ(pic("@d17").ParseDate("1/5/36", &error), ymd(1936, 1, 5));
        EXPECT_EQ(pic("@d17").ParseDate("3/4", &error), ymd(2026, 3, 4));
    }
    {
        rt::FixedClockScope clock(ymd(2050, 6, 1));
        EXPECT_EQ(pic("@d17").ParseDate("1/5/59", &error), ymd(2059, 1, 5));
        EXPECT_EQ(pic("@d17").ParseDate("1/5/60", &error), ymd(1960, 1, 5));
    }
}

TEST(PictureDate, EveryShownDateReadsBack) {
    for (const char* text : {"@d17", "@d17-", "@d4", "@d18"}) {
        const Picture p = pic(text);
        for (rt::StdDate d = ymd(1801, 1, 1); d <= ymd(2200, 12, 31); d += 13) {
            std::string error;
            const std::string shown = p.FormatDate(d);
            ASSERT_EQ(p.ParseDate(shown, &error, 2026), d) << text << " " << shown << ": " << error;
            ASSERT_LE(static_cast<int>(shown.size()), p.width()) << shown;
        }
    }
}

TEST(PictureTime, FormatAndTypedInput) {
    const Picture p = pic("@t7");
    EXPECT_EQ(p.FormatTime(0), "");
    EXPECT_EQ(p.FormatTime(hms(0, 0)), "12:00 AM");
    EXPECT_EQ(p.FormatTime(hms(12, 0)), "12:00 PM");
    EXPECT_EQ(p.FormatTime(hms(14, 5, 59)), "2:05 PM");  // seconds are cut, not rounded
    EXPECT_EQ(p.FormatTime(hms(9, 30)), "9:30 AM");
    EXPECT_EQ(p.FormatTime(hms(23, 59, 59)), "11:59 PM");

    struct Case { const char* typed; rt::StdTime time; const char* error; } cases[] = {
        {"2:05 PM", hms(14, 5), nullptr},  {"2:05pm", hms(14, 5), nullptr},
        {"2 p.m.", hms(14, 0), nullptr},   {"12 am", hms(0, 0), nullptr},
        {"12:30 AM", hms(0, 30), nullptr}, {"12 PM", hms(12, 0), nullptr},
        {"14:05", hms(14, 5), nullptr},    {"14.05", hms(14, 5), nullptr},
        {"14:05:30", hms(14, 5, 30), nullptr}, {"1405", hms(14, 5), nullptr},
        {"205p", hms(14, 5), nullptr},     {"0:00", hms(0, 0), nullptr},
        {"", 0, nullptr},
        {"25:00", 0, "\"25:00\" is not a time: the hour is 0 to 23."},
        {"13:00 PM", 0, "\"13:00 PM\" is not a time: with AM or PM the hour is 1 to 12."},
        {"0:30 AM", 0, "\"0:30 AM\" is not a time: with AM or PM the hour is 1 to 12."},
        {"2:60", 0, "\"2:60\" is not a time: the minutes are 0 to 59."},
        {"2:05:60", 0, "\"2:05:60\" is not a time: the seconds are 0 to 59."},
        {"2:5", 0, "\"2:5\" is not a time. Type it as h:mm AM or PM, for example 2:05 PM, or as 14:05."},
        {"noon", 0, "\"noon\" is not a time. Type it as h:mm AM or PM, for example 2:05 PM, or as 14:05."},
        {"2:05 xm", 0, "\"2:05 xm\" is not a time. Type it as h:mm AM or PM, for example 2:05 PM, or as 14:05."},
        {"123456", 0, "\"123456\" is not a time. Type it as h:mm AM or PM, for example 2:05 PM, or as 14:05."},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto t = p.ParseTime(c.typed, &error);
        if (c.error) {
            EXPECT_FALSE(t) << c.typed;
            EXPECT_EQ(error, c.error);
        } else {
            ASSERT_TRUE(t) << c.typed << ": " << error;
            EXPECT_EQ(*t, c.time) << c.typed;
        }
    }
    // Midnight is a time (1), not the empty time (0).
    EXPECT_EQ(p.ParseTime("12:00 AM", nullptr), 1);
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const rt::StdTime t = hms(minute / 60, minute % 60);
        ASSERT_EQ(p.ParseTime(p.FormatTime(t), nullptr), t) << p.FormatTime(t);
    }
}

TEST(PicturePattern, PhoneNumber) {
    const Picture p = pic("@P(###) ###-####P");
    EXPECT_EQ(p.FormatText("5551234567"), "(555) 123-4567");
    EXPECT_EQ(p.FormatText("(555) 123-4567"), "(555) 123-4567");
    EXPECT_EQ(p.FormatText(""), "");
    EXPECT_EQ(p.FormatText("123-4567"), "123-4567");  // stored text that does not match stays as it is
    struct Case { const char* typed; const char* text; const char* error; } cases[] = {
        {"5551234567", "(555) 123-4567", nullptr},
        {"555-123-4567", "(555) 123-4567", nullptr},
        {"555.123.4567", "(555) 123-4567", nullptr},
        {" (555)123-4567 ", "(555) 123-4567", nullptr},
        {"", "", nullptr},
        {"123-4567", nullptr, "\"123-4567\" has 7 digits; this field takes 10, as in (###) ###-####."},
        {"555-123-45678", nullptr, "\"555-123-45678\" has 11 digits; this field takes 10, as in (###) ###-####."},
        {"555-CALL-NOW", nullptr, "\"555-CALL-NOW\" does not fit (###) ###-####: only digits can be typed here."},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto v = p.ParseText(c.typed, &error);
        if (c.error) {
            EXPECT_FALSE(v) << c.typed;
            EXPECT_EQ(error, c.error);
        } else {
            ASSERT_TRUE(v) << c.typed << ": " << error;
            EXPECT_EQ(*v, c.text);
        }
    }
    std::string error;
    EXPECT_EQ(p.ParsePatternDigits("(555) 123-4567", &error), "5551234567");
}

TEST(PicturePattern, PageNumberAndLeadingZeros) {
    for (const char* text : {"pPage <<#p", "@pPage <<#p"}) {
        const Picture p = pic(text);
        EXPECT_EQ(p.FormatNumber(1), "Page 1") << text;
        EXPECT_EQ(p.FormatNumber(12), "Page 12") << text;
        EXPECT_EQ(p.FormatNumber(123), "Page 123") << text;
        EXPECT_EQ(p.FormatNumber(1000), "Page ###") << text;
        EXPECT_EQ(p.FormatNumber(0), "") << text;
        EXPECT_EQ(p.FormatNumber(-2), "Page ###") << text;
    }
    std::string error;
    EXPECT_EQ(pic("pPage <<#p").ParseNumber("Page 12", &error), 12.0);

    const Picture height = pic("@P<#' <#\"P");
    EXPECT_EQ(height.FormatText("5'11\""), "5' 11\"");
    EXPECT_EQ(height.FormatText("6'00\""), "6' 00\"");
    EXPECT_EQ(height.FormatText(""), "");

    const Picture grouped = pic("@P<,<<#P");
    EXPECT_EQ(grouped.FormatNumber(5), "5");
    EXPECT_EQ(grouped.FormatNumber(1234), "1,234");
    EXPECT_EQ(grouped.FormatNumber(0.4), "");
}

TEST(PictureKeyIn, HeightTemplate) {
    for (const char* text : {"@K#'##\"K", "K#\\'##\\\"K"}) {
        const Picture p = pic(text);
        struct Case { const char* typed; const char* stored; } ok[] = {
            {"511", "5'11\""}, {"5'11\"", "5'11\""}, {"5'11", "5'11\""}, {"5 11", "5'11\""},
            {" 5 ' 11 \" ", "5'11\""}, {"", ""},
        };
        for (const auto& c : ok) {
            std::string error;
            EXPECT_EQ(p.ParseText(c.typed, &error), c.stored) << text << " \"" << c.typed << "\": " << error;
        }
        for (const char* typed : {"5'1", "5'11\"x", "a11", "5111"}) {
            std::string error;
            EXPECT_FALSE(p.ParseText(typed, &error)) << text << " " << typed;
            EXPECT_EQ(error, "\"" + std::string(typed) + "\" does not fit the form #'##\" (# a digit).");
        }
        EXPECT_EQ(p.FormatText("5'11\""), "5'11\"");
    }
}

TEST(PictureText, CutOnShowRefusedWhenTooLong) {
    const Picture p = pic("@s5");
    EXPECT_EQ(p.FormatText("Hello world"), "Hello");
    EXPECT_EQ(p.FormatNumber(123456), "12345");
    std::string error;
    EXPECT_EQ(p.ParseText("Hello", &error), "Hello");
    EXPECT_EQ(p.ParseText("Hello   ", &error), "Hello");
    EXPECT_FALSE(p.ParseText("Hello!", &error));
    EXPECT_EQ(error, "The text is too long: at most 5 characters fit here (this has 6).");
}

}  // namespace
