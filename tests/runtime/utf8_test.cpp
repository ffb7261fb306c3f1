#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/codepage.h"
#include "platform/runtime/utf8.h"

namespace {

constexpr char32_t kBroken = 0xFFFFFFFF;  // in the table: a broken character

struct Read {
    std::size_t length;
    char32_t code;
    bool operator==(const Read&) const = default;
};

// The characters of a text as the decoder reads them, one after another.
std::vector<Read> readAll(std::string_view text) {
    std::vector<Read> out;
    while (!text.empty()) {
        const rt::utf8::Character c = rt::utf8::Decode(text);
        out.push_back({c.length, c.valid ? c.code : kBroken});
        text.remove_prefix(c.length);
    }
    return out;
}

struct Case {
    const char* what;
    std::string bytes;
    std::vector<Read> read;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> table = {
        {"one byte", "A", {{1, 0x41}}},
        {"two bytes", "\xC3\xA9", {{2, 0xE9}}},
        {"three bytes", "\xE2\x82\xAC", {{3, 0x20AC}}},
        {"the last of three bytes", "\xEF\xBF\xBF", {{3, 0xFFFF}}},
        {"four bytes", "\xF0\x9F\x92\x8A", {{4, 0x1F48A}}},
        {"the last code point", "\xF4\x8F\xBF\xBF", {{4, 0x10FFFF}}},
        {"an overlong zero", "\xC0\x80", {{2, kBroken}}},
        {"an overlong A", std::string("\xC1\x81") + "b", {{2, kBroken}, {1, 'b'}}},
        {"an overlong slash", "\xE0\x80\xAF", {{3, kBroken}}},
        {"an overlong euro sign", "\xF0\x82\x82\xAC", {{4, kBroken}}},
        {"the first surrogate", "\xED\xA0\x80", {{3, kBroken}}},
        {"the last surrogate", "\xED\xBF\xBF", {{3, kBroken}}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", {{4, kBroken}}},
        {"a lead of F7", "\xF7\xBF\xBF\xBF", {{4, kBroken}}},
        {"cut short by the end", "\xF0\x9F\x92", {{3, kBroken}}},
        {"cut short by a letter", "\xE2\x82" "A", {{2, kBroken}, {1, 'A'}}},
        {"cut short by another lead", "\xC3\xC3\xA9", {{1, kBroken}, {2, 0xE9}}},
        {"a stray continuation", "a\x80" "b", {{1, 'a'}, {1, kBroken}, {1, 'b'}}},
        {"no lead at all", "\xF8\x88\xFF", {{1, kBroken}, {1, kBroken}, {1, kBroken}}},
    };
    return table;
}

TEST(Utf8, EachBrokenSequenceIsOneCharacterThatHidesNone) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readAll(c.bytes), c.read);
    }
    EXPECT_EQ(rt::utf8::Decode("").length, 0u);
}

// The code-page conversion refuses a text with a broken character, and names that character alone.
TEST(Utf8, TheCodePageRefusesTheFirstBrokenCharacterByItsBytes) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        std::size_t at = 0;
        std::string firstBad;
        bool storable = true;
        for (const Read& r : c.read) {
            const bool fits = r.code != kBroken && rt::cp1252Byte(r.code).has_value();
            if (!fits && storable) {
                firstBad = c.bytes.substr(at, r.length);
                storable = false;
            }
            at += r.length;
        }
        std::string bad;
        EXPECT_EQ(rt::utf8ToCp1252(c.bytes, &bad).has_value(), storable);
        EXPECT_EQ(bad, firstBad);
    }
}

}  // namespace
