#pragma once
// Packed DECIMAL fields. A DECIMAL of B bytes holds a sign nibble (0 for plus, 0xD for minus)
// followed by 2*B-1 BCD digits, most significant first; P of the digits are decimal places.
// Values are handled as exact scaled integers (a cost of 12.34 with 2 places is 1234), never
// as binary floating point.
#include <cstdint>
#include <optional>
#include <string>

namespace rt {

template <int Bytes, int Places>
struct PackedDecimal {
    static_assert(Bytes >= 1 && Bytes <= 9);
    static constexpr int kDigits = 2 * Bytes - 1;
    static constexpr int kPlaces = Places;
    std::uint8_t bytes[Bytes] = {};

    static constexpr std::int64_t maxScaled() {
        std::int64_t m = 1;
        for (int i = 0; i < kDigits; ++i) m *= 10;
        return m - 1;
    }
    // The scaled value (value * 10^Places). An all-zero field is 0.
    std::int64_t scaled() const {
        std::int64_t v = 0;
        for (int i = 1; i < 2 * Bytes; ++i) {
            const int nib = (i % 2 == 0) ? (bytes[i / 2] >> 4) : (bytes[i / 2] & 0x0F);
            v = v * 10 + (nib > 9 ? 0 : nib);
        }
        return (bytes[0] >> 4) == 0xD ? -v : v;
    }
    // Stores a scaled value; false (field unchanged) when it does not fit.
    bool setScaled(std::int64_t v) {
        const bool neg = v < 0;
        std::uint64_t a = neg ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
        if (a > static_cast<std::uint64_t>(maxScaled())) return false;
        std::uint8_t out[Bytes] = {};
        for (int i = 2 * Bytes - 1; i >= 1; --i) {
            const int d = static_cast<int>(a % 10);
            a /= 10;
            if (i % 2 == 0)
                out[i / 2] = static_cast<std::uint8_t>(out[i / 2] | (d << 4));
            else
                out[i / 2] = static_cast<std::uint8_t>(out[i / 2] | d);
        }
        if (neg && v != 0) out[0] = static_cast<std::uint8_t>(out[0] | 0xD0);
        for (int i = 0; i < Bytes; ++i) bytes[i] = out[i];
        return true;
    }
    double toDouble() const {
        double d = static_cast<double>(scaled());
        for (int i = 0; i < Places; ++i) d /= 10.0;
        return d;
    }
};

// Scaled-integer helpers shared by pictures, expressions and the file driver.
// Text of a scaled value with the given places: 1234,2 -> "12.34"; -5,2 -> "-0.05".
std::string scaledToText(std::int64_t scaled, int places);
// Parses "12.3", "-0.05", "7" into a scaled value; nullopt for anything else or on overflow.
// Extra decimals beyond places are rounded half away from zero.
std::optional<std::int64_t> textToScaled(const std::string& text, int places);

}  // namespace rt
