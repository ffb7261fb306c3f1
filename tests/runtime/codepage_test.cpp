#include <gtest/gtest.h>

#include "platform/runtime/codepage.h"

TEST(CodePage, EveryByteRoundTripsThroughUtf8) {
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const auto back = rt::utf8ToCp1252(rt::cp1252ToUtf8(one));
        ASSERT_TRUE(back) << b;
        EXPECT_EQ(*back, one) << b;
    }
}

TEST(CodePage, CharactersOutsideTheCodePageAreRefusedAndNamed) {
    std::string bad;
    EXPECT_FALSE(rt::utf8ToCp1252("dose \xE2\x86\x92 2", &bad));  // an arrow
    EXPECT_EQ(bad, "\xE2\x86\x92");
    EXPECT_EQ(*rt::utf8ToCp1252("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
}

TEST(CodePage, OverlongFormsAreRefused) {
    // Each spells a character longer than it needs: a zero byte, 'A', a slash, e-acute, the euro sign.
    const char* overlong[] = {"\xC0\x80", "\xC1\x81", "a\xE0\x80\xAF", "\xE0\x83\xA9", "\xF0\x82\x82\xAC"};
    for (const char* text : overlong) {
        std::string bad;
        EXPECT_FALSE(rt::utf8ToCp1252(text, &bad)) << text;
        EXPECT_FALSE(bad.empty()) << text;
    }
    EXPECT_EQ(*rt::utf8ToCp1252("\xE2\x82\xAC"), "\x80");  // the shortest form still converts
}

TEST(CodePage, CaseFoldingCoversAccentedLetters) {
    EXPECT_EQ(rt::compareNoCase("\xC9TOILE", "\xE9toile  "), 0);
    EXPECT_LT(rt::compareNoCase("abc", "ABD"), 0);
    EXPECT_EQ(rt::upper("\xFF\x9Cx"), "\x9F\x8CX");
}
