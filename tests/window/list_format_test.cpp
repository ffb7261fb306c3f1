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

}  // namespace
