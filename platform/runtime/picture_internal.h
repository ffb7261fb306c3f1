#pragma once
// Helpers shared by the picture sources; not part of the runtime's interface.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt::picture_detail {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

inline void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

// 10^n for n in 0..18.
std::int64_t pow10(int n);

// A double as a scaled integer with `places`, rounded half away from zero on the value's
// shortest decimal form (so 2.675 rounds to 2.68, as it reads); nullopt for NaN, infinities and
// values beyond the 64-bit range.
std::optional<std::int64_t> doubleToScaled(double v, int places);
// scaled / 10^from re-expressed with `to` places, rounding half away from zero; nullopt on overflow.
std::optional<std::int64_t> rescale(std::int64_t scaled, int from, int to);
double scaledToDouble(std::int64_t scaled, int places);

}  // namespace rt::picture_detail
