#include <gtest/gtest.h>

#include "platform/window/list_format.h"

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
