#include "platform/runtime/codepage.h"

#include <cstdint>

#include "platform/runtime/utf8.h"

namespace rt {
namespace {
// Code points of bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
const std::uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t codePoint(unsigned char c) {
    if (c >= 0x80 && c <= 0x9F) return kHigh[c - 0x80] ? kHigh[c - 0x80] : c;
    return c;
}

void putUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::optional<unsigned char> cp1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    // The five bytes the code page leaves undefined travel as the control characters of their value.
    if (cp == 0x81 || cp == 0x8D || cp == 0x8F || cp == 0x90 || cp == 0x9D) return static_cast<unsigned char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) putUtf8(out, codePoint(c));
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view text, std::string* bad) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        // A broken character is refused like one the code page lacks: an overlong form would
        // smuggle in a character, a zero byte even, that its shortest form spells differently.
        const utf8::Character c = utf8::Decode(text.substr(i));
        const auto b = c.valid ? cp1252Byte(c.code) : std::nullopt;
        if (!b) {
            if (bad) *bad = std::string(text.substr(i, c.length));
            return std::nullopt;
        }
        out += static_cast<char>(*b);
        i += c.length;
    }
    return out;
}

unsigned char foldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                                                        // Ÿ
    return c;
}

unsigned char upperCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);
    if (c == 0xFF) return 0x9F;
    return c;
}

int compareNoCase(std::string_view a, std::string_view b) {
    while (!a.empty() && a.back() == ' ') a.remove_suffix(1);
    while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int x = foldCase(static_cast<unsigned char>(a[i]));
        const int y = foldCase(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string upper(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(upperCase(static_cast<unsigned char>(c)));
    return r;
}

}  // namespace rt
