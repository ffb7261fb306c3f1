#pragma once
// The one UTF-8 decoder: the input protocol, the key collations and the code-page conversion all
// read characters through it, so they agree on where a character ends and on what is no character.
// Header-only and free of any other dependency, so a small SQLite extension can carry it too.
//
// The rule: a lead byte says how long its sequence is (C0-DF two bytes, E0-EF three, F0-F7 four).
// A sequence cut short, by the end of the text or by a byte that is no continuation, is one broken
// character of the bytes it has; a stray continuation byte or F8-FF is one broken character alone.
// A complete sequence that spells an overlong form, a surrogate or a code point above U+10FFFF is
// one broken character as well: it never decodes as the character it would hide.
#include <cstddef>
#include <string_view>

namespace rt::utf8 {

struct Character {
    char32_t code = 0;       // the code point; 0 for a broken character
    std::size_t length = 0;  // the bytes it takes, at least 1 for a text that is not empty
    bool valid = false;
};

// The character at the start of `text`; {0, 0, false} for an empty text.
constexpr Character Decode(std::string_view text) noexcept {
    if (text.empty()) return {};
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1, true};
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC0 && lead <= 0xDF) { length = 2; code = lead & 0x1Fu; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; code = lead & 0x0Fu; }
    else if (lead >= 0xF0 && lead <= 0xF7) { length = 4; code = lead & 0x07u; }
    else return {0, 1, false};
    for (std::size_t k = 1; k < length; ++k) {
        if (k == text.size()) return {0, k, false};
        const auto c = static_cast<unsigned char>(text[k]);
        if ((c & 0xC0) != 0x80) return {0, k, false};
        code = (code << 6) | (c & 0x3Fu);
    }
    constexpr char32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kShortest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return {0, length, false};
    return {code, length, true};
}

}  // namespace rt::utf8
