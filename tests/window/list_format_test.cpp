#include <gtest/gtest.h>

#include "platform/window/list_format.h"

#include <random>
#include <string>

namespace {

TEST(ListFormat, HeaderAlignmentIsTheHeadersOwnAndFormatsRoundTrip) {
    const char* f = "84L|FM~Drug Name~C(2)@s60@23D(10)|M~Active~C(0)@s1@80R(2)|M~Date~@d17@20C";
    const auto cols = wnd::ParseListFormat(f);
    ASSERT_EQ(cols.size(), 4u);
    EXPECT_EQ(cols[0].align, 'L');  // not the header's C
    EXPECT_EQ(cols[0].indent, -1);
    EXPECT_EQ(cols[0].headerAlign, 'C');
    EXPECT_EQ(cols[0].headerIndent, 2);
    EXPECT_EQ(cols[0].flags, "|FM");
    EXPECT_TRUE(cols[0].resizable);
    EXPECT_EQ(cols[1].align, 'D');
    EXPECT_EQ(cols[1].indent, 10);
    EXPECT_EQ(cols[2].headerAlign, 0);
    EXPECT_EQ(cols[2].picture, "@d17");
    EXPECT_EQ(cols[3].align, 'C');
    EXPECT_EQ(wnd::FormatListFormat(cols), f);
}

// Formatting what was parsed and parsing it again gives the same columns and the same text, for
// well-formed and damaged stored layouts alike.
void ExpectStableRoundTrip(const std::string& text) {
    const auto first = wnd::ParseListFormat(text);
    const std::string once = wnd::FormatListFormat(first);
    const auto second = wnd::ParseListFormat(once);
    EXPECT_EQ(second, first) << "text \"" << text << "\" formats as \"" << once << "\"";
    EXPECT_EQ(wnd::FormatListFormat(second), once) << "text \"" << text << "\"";
}

TEST(ListFormat, StoredTextRoundTripsStably) {
    const char* texts[] = {
        "80D(10)|M~Drug Name As Prescribed~C(0)@s40@80L(2)|M~Generic Name~@s40@",
        "40R(2)|M~Count~@n6@#2#80L(2)|M~Name~@s30@#1#20C#3#",
        "",
        "2(",          // a group with no alignment before it
        "2(3)",
        "10(L",        // the group before the alignment
        "10|(4)R",
        "10~a~(",      // a group after the header
        "10~a~(5)L",
        "10L(",        // an indent never closed
        "10L(7",
        "10L(x)",
        "10L()M",
        "10L)",
        "10)",
        "10LL(2)R",    // alignment letters among the flags
        "10~h~LR(3)C",
        "10~~C(1)",
        "10~~",
        "10~unterminated",
        "10L@s5",      // a picture never closed
        "10L@s5@#",
        "10L@s5@#x#20R",
        "10L#0#20R",
        "10L#7",
        "12345678L(12345678)#12345678#",
        "0L0R0C",
        "80L   ",      // blank padding as stored
        "   80L",
        "5M~M~M@M@M",
        "1(((",
        "1((2)(3)",
        "1L(2)(3)",
        "1~a~~b~R",
        "1@~@~x~",
    };
    for (const char* t : texts) ExpectStableRoundTrip(t);
}

TEST(ListFormat, AnyTextOfFormatCharactersRoundTripsStably) {
    // Texts drawn from the characters the notation gives a meaning, so that the unusual orders a
    // damaged file can hold are met, not only the well-formed ones.
    const std::string alphabet = "0123456789LRCDM|F()~@#s ";
    std::mt19937 random(13);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(0, 24);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        for (std::size_t k = length(random); k > 0; --k) text += alphabet[pick(random)];
        ExpectStableRoundTrip(text);
        if (HasFailure()) return;
    }
}

TEST(ListFormat, ColumnsMovedByTheUserNameTheFieldTheyShow) {
    const char* moved = "40R(2)|M~Count~@n6@#2#80L(2)|M~Name~@s30@#1#20C#3#";
    const auto cols = wnd::ParseListFormat(moved);
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_EQ(cols[0].header, "Count");
    EXPECT_EQ(cols[2].flags, "");
    EXPECT_EQ(wnd::ShownFields(cols), (std::vector<std::size_t>{1, 0, 2}));
    EXPECT_EQ(wnd::FormatListFormat(cols), moved);
    // Without field numbers each column shows the field of its own place.
    EXPECT_EQ(wnd::ShownFields(wnd::ParseListFormat("40R@n6@80L@s30@")), (std::vector<std::size_t>{0, 1}));
}
}  // namespace
