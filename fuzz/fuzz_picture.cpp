// A picture (first line) and what a user typed (the rest): the picture parsed, values formatted
// under it and the typed text read back through every reading it offers. What a date, time or
// number picture shows reads back as the value shown.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/runtime/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view picture = input.substr(0, newline);
    const std::string_view typed = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
    std::string error;
    const auto p = rt::Picture::Parse(picture, &error);
    if (!p) return 0;

    // Values from the typed bytes as well as the awkward fixed ones.
    std::int64_t raw = 0;
    double real = 0;
    if (!typed.empty()) {
        std::memcpy(&raw, typed.data(), std::min(typed.size(), sizeof raw));
        std::memcpy(&real, typed.data(), std::min(typed.size(), sizeof real));
    }
    for (double v : {0.0, -1.5, 123456.789, -1e18, 1e300, real}) (void)p->FormatNumber(v);
    for (std::int64_t s : {std::int64_t{0}, std::int64_t{-1}, raw, INT64_MAX, INT64_MIN})
        for (int places : {0, 2, 18}) (void)p->FormatScaled(s, places);
    for (std::int32_t d : {0, 1, 4, 80000, 2958465, -5, static_cast<std::int32_t>(raw)}) {
        const std::string shown = p->FormatDate(d);
        (void)p->ParseDate(shown, &error, 2026);
    }
    for (std::int32_t t : {0, 1, 360000, 8640000, 8640001, -1, static_cast<std::int32_t>(raw)}) {
        const std::string shown = p->FormatTime(t);
        (void)p->ParseTime(shown, &error);
    }
    (void)p->FormatText(typed);

    // Shown values read back: dates exactly, times to the minute, numbers at the picture's places.
    if (p->kind() == rt::Picture::Kind::Date) {
        const rt::StdDate d = 4 + static_cast<rt::StdDate>(static_cast<std::uint64_t>(raw) % 2958462);
        const std::string shown = p->FormatDate(d);
        const auto back = p->ParseDate(shown, &error, 2026);
        if (!back || *back != d) std::abort();
    }
    if (p->kind() == rt::Picture::Kind::Time) {
        const rt::StdTime t = 1 + static_cast<rt::StdTime>(static_cast<std::uint64_t>(raw) % 8640000);
        const std::string shown = p->FormatTime(t);
        const auto back = p->ParseTime(shown, &error);
        if (!back || *back != (t - 1) / 6000 * 6000 + 1) std::abort();
    }
    if (p->kind() == rt::Picture::Kind::Number) {
        const std::int64_t s = raw % 1000000000000LL;
        const std::string shown = p->FormatScaled(s, p->places());
        const bool overflow = !shown.empty() && shown.find_first_not_of('#') == std::string::npos;
        if (!overflow && (s >= 0 || p->allowsNegative())) {
            const auto back = p->ParseScaled(shown, p->places(), &error);
            if (!back || *back != s) std::abort();
        }
    }

    (void)p->ParseNumber(typed, &error);
    for (int places : {0, 2, 18}) (void)p->ParseScaled(typed, places, &error);
    (void)p->ParseDate(typed, &error, 2026);
    (void)p->ParseDate(typed, &error, 1);
    (void)p->ParseTime(typed, &error);
    (void)p->ParseText(typed, &error);
    (void)p->ParsePatternDigits(typed, &error);
    return 0;
}
