#include "platform/runtime/decimal.h"

#include <cctype>
#include <limits>

namespace rt {

std::int64_t packedDecimalScaled(const unsigned char* bytes, std::size_t size) {
    if (size == 0) return 0;
    std::int64_t v = 0;
    for (std::size_t i = 1; i < 2 * size; ++i) {
        const int nib = (i % 2 == 0) ? (bytes[i / 2] >> 4) : (bytes[i / 2] & 0x0F);
        v = v * 10 + (nib > 9 ? 0 : nib);
    }
    return (bytes[0] >> 4) == 0xD ? -v : v;
}

bool setPackedDecimalScaled(unsigned char* bytes, std::size_t size, std::int64_t value) {
    if (size == 0 || size > kMaxPackedDecimalBytes) return false;
    const bool neg = value < 0;
    std::uint64_t a = neg ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
    std::uint64_t max = 1;
    for (std::size_t i = 0; i < 2 * size - 1; ++i) max *= 10;
    if (a > max - 1) return false;
    unsigned char out[kMaxPackedDecimalBytes] = {};
    for (std::size_t i = 2 * size - 1; i >= 1; --i) {
        const auto d = static_cast<unsigned char>(a % 10);
        a /= 10;
        out[i / 2] = static_cast<unsigned char>(out[i / 2] | (i % 2 == 0 ? d << 4 : d));
    }
    if (neg) out[0] = static_cast<unsigned char>(out[0] | 0xD0);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = out[i];
    return true;
}

std::string scaledToText(std::int64_t scaled, int places) {
    const bool neg = scaled < 0;
    std::uint64_t a = neg ? static_cast<std::uint64_t>(-(scaled + 1)) + 1 : static_cast<std::uint64_t>(scaled);
    // Digits least significant first, then reversed: at least places+1 of them.
    char buf[48];
    int n = 0;
    do {
        buf[n++] = static_cast<char>('0' + a % 10);
        a /= 10;
        if (n == places) buf[n++] = '.';
    } while (a != 0 || n <= places + (places > 0 ? 1 : 0) - 1 || (places > 0 && n <= places + 1));
    std::string out;
    if (neg && scaled != 0) out += '-';
    for (int i = n - 1; i >= 0; --i) out += buf[i];
    return out;
}

std::optional<std::int64_t> textToScaled(const std::string& text, int places) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) neg = text[i++] == '-';
    std::uint64_t v = 0;
    int frac = 0;
    bool any = false, point = false, roundUp = false;
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) / 10;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        any = true;
        if (point && frac >= places) {
            if (frac == places) roundUp = c >= '5';
            ++frac;
            continue;
        }
        if (v > kLimit) return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (point) ++frac;
    }
    while (i < text.size() && text[i] == ' ') ++i;
    if (!any || i != text.size()) return std::nullopt;
    for (; frac < places; ++frac) {
        if (v > kLimit) return std::nullopt;
        v *= 10;
    }
    if (roundUp) ++v;
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
    const auto s = static_cast<std::int64_t>(v);
    return neg ? -s : s;
}

}  // namespace rt
