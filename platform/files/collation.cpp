#include "platform/files/collation.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/runtime/codepage.h"
#include "platform/runtime/utf8.h"

namespace files {
namespace {

struct CodeTables {
    std::array<unsigned char, 256> fold{};  // rt::foldCase of every byte
};

// Built once from the runtime's own folding so the driver and the presenter agree.
const CodeTables& tables() {
    static const CodeTables t = [] {
        CodeTables r;
        for (int b = 0; b < 256; ++b) r.fold[static_cast<std::size_t>(b)] = rt::foldCase(static_cast<unsigned char>(b));
        return r;
    }();
    return t;
}

// Reads one character of UTF-8 and gives its Windows-1252 byte; never reads past end. A broken
// character (see rt::utf8) is '?', whatever character it might spell.
unsigned char nextByte(const unsigned char*& p, const unsigned char* end) {
    const rt::utf8::Character c =
        rt::utf8::Decode(std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
    p += c.length;
    return c.valid ? rt::cp1252Byte(c.code).value_or('?') : '?';
}

std::string_view trimTrailingBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

int compareBytes(const void* a, int na, const void* b, int nb, bool nocase) {
    const auto& t = tables();
    const std::string_view sa = trimTrailingBlanks(std::string_view(static_cast<const char*>(a), na > 0 ? static_cast<std::size_t>(na) : 0));
    const std::string_view sb = trimTrailingBlanks(std::string_view(static_cast<const char*>(b), nb > 0 ? static_cast<std::size_t>(nb) : 0));
    auto pa = reinterpret_cast<const unsigned char*>(sa.data());
    auto pb = reinterpret_cast<const unsigned char*>(sb.data());
    const auto ea = pa + sa.size();
    const auto eb = pb + sb.size();
    while (pa != ea && pb != eb) {
        unsigned char x = nextByte(pa, ea);
        unsigned char y = nextByte(pb, eb);
        if (nocase) {
            x = t.fold[x];
            y = t.fold[y];
        }
        if (x != y) return x < y ? -1 : 1;
    }
    if (pa == ea && pb == eb) return 0;
    return pa == ea ? -1 : 1;
}

int noCaseCompare(void*, int na, const void* a, int nb, const void* b) { return compareBytes(a, na, b, nb, true); }
int exactCompare(void*, int na, const void* a, int nb, const void* b) { return compareBytes(a, na, b, nb, false); }

}  // namespace

int registerCollations(sqlite3* db) {
    int rc = sqlite3_create_collation_v2(db, kNoCaseCollation, SQLITE_UTF8, nullptr, noCaseCompare, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_collation_v2(db, kExactCollation, SQLITE_UTF8, nullptr, exactCompare, nullptr);
    return rc;
}

std::optional<std::string> textAfterPrefix(std::string_view prefix, bool nocase) {
    const auto& t = tables();
    std::string bytes;  // the prefix as the collation reads it
    for (auto p = reinterpret_cast<const unsigned char*>(prefix.data()), e = p + prefix.size(); p != e;) bytes += static_cast<char>(nextByte(p, e));
    auto key = [&](unsigned char c) { return nocase ? t.fold[c] : c; };
    // A byte that reads back as itself once written as UTF-8.
    auto readsBack = [](unsigned char c) {
        const std::string u = rt::cp1252ToUtf8(std::string(1, static_cast<char>(c)));
        auto p = reinterpret_cast<const unsigned char*>(u.data());
        return nextByte(p, p + u.size()) == c;
    };
    for (std::size_t i = bytes.size(); i-- > 0;) {
        const unsigned char last = static_cast<unsigned char>(bytes[i]);
        int best = -1;
        for (int c = 1; c < 256; ++c) {
            const auto uc = static_cast<unsigned char>(c);
            // A blank last would be trimmed off, and the bound with it.
            if (uc != ' ' && key(uc) > key(last) && (best < 0 || key(uc) < key(static_cast<unsigned char>(best))) && readsBack(uc)) best = c;
        }
        if (best >= 0) return rt::cp1252ToUtf8(bytes.substr(0, i) + static_cast<char>(best));
    }
    return std::nullopt;
}

std::optional<std::string> textAfterHeld(std::string_view value, std::size_t room, bool nocase) {
    const std::string_view v = trimTrailingBlanks(value);
    std::size_t chars = 0;
    for (auto p = reinterpret_cast<const unsigned char*>(v.data()), e = p + v.size(); p != e; ++chars) nextByte(p, e);
    // Shorter than the field: what follows it within the field is blanks, which sort before '!'.
    if (chars < room) return std::string(v) + "!";
    return textAfterPrefix(v, nocase);
}

int compareCp1252(std::string_view a, std::string_view b, bool nocase) {
    return compareBytes(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), nocase);
}

std::string utf8ToCp1252Lossy(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; })) return std::string(text);
    std::string out;
    out.reserve(text.size());
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    const auto end = p + text.size();
    while (p != end) out += static_cast<char>(nextByte(p, end));
    return out;
}

}  // namespace files
