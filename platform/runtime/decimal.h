#pragma once
// Packed DECIMAL fields. A DECIMAL of B bytes holds a sign nibble (0 for plus, 0xD for minus)
// followed by 2*B-1 BCD digits, most significant first; P of the digits are decimal places.
// Values are handled as exact scaled integers (a cost of 12.34 with 2 places is 1234), never
// as binary floating point.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace rt {

// A packed decimal of any size up to 9 bytes (17 digits), by its bytes: the scaled value (a damaged
// digit reads as 0), and storing one (false, bytes unchanged, when it does not fit).
inline constexpr std::size_t kMaxPackedDecimalBytes = 9;
std::int64_t packedDecimalScaled(const unsigned char* bytes, std::size_t size);
bool setPackedDecimalScaled(unsigned char* bytes, std::size_t size, std::int64_t value);

template <int Bytes, int Places>
struct PackedDecimal {
    static_assert(Bytes >= 1 && Bytes <= 9);
    static constexpr int kDigits = 2 * Bytes - 1;
    static constexpr int kPlaces = Places;
    std::uint8_t bytes[Bytes] = {};

    // The scaled value (value * 10^Places). An all-zero field is 0.
    std::int64_t scaled() const { return packedDecimalScaled(bytes, Bytes); }
    // Stores a scaled value; false (field unchanged) when it does not fit.
    bool setScaled(std::int64_t v) { return setPackedDecimalScaled(bytes, Bytes, v); }
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
