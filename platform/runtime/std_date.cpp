#include "platform/runtime/std_date.h"

namespace rt {
namespace {
// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}
Ymd civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Ymd{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}
// Constant-initialised: dates made during other files' static start-up need it already.
constexpr long long kEpoch = daysFromCivil(1800, 12, 28);
}  // namespace

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

std::optional<StdDate> dateFromYmd(int year, int month, int day) {
    if (year < 1801 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return static_cast<StdDate>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpoch);
}

Ymd ymdFromDate(StdDate d) { return civilFromDays(static_cast<long long>(d) + kEpoch); }

int dayOfWeek(StdDate d) {
    // Day 0 (28 December 1800) was a Sunday.
    int r = d % 7;
    return r < 0 ? r + 7 : r;
}

std::optional<StdTime> timeFromHms(int h, int m, int s, int hs) {
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || hs < 0 || hs > 99) return std::nullopt;
    return ((h * 60 + m) * 60 + s) * 100 + hs + 1;
}

Hms hmsFromTime(StdTime t) {
    if (t <= 0) return {};
    int v = t - 1;
    Hms r;
    r.hundredths = v % 100;
    v /= 100;
    r.seconds = v % 60;
    v /= 60;
    r.minutes = v % 60;
    r.hours = (v / 60) % 24;
    return r;
}

StdDate DateField::get() const {
    if (empty()) return 0;
    return dateFromYmd(year, month, day).value_or(0);
}

void DateField::set(StdDate d) {
    if (d <= 0) {
        day = month = 0;
        year = 0;
        return;
    }
    Ymd v = ymdFromDate(d);
    day = static_cast<std::uint8_t>(v.day);
    month = static_cast<std::uint8_t>(v.month);
    year = static_cast<std::uint16_t>(v.year);
}

StdTime TimeField::get() const {
    if (empty()) return 0;
    return timeFromHms(hours, minutes, seconds, hundredths).value_or(0);
}

void TimeField::set(StdTime t) {
    Hms v = hmsFromTime(t);
    if (t <= 0) v = {};
    hundredths = static_cast<std::uint8_t>(v.hundredths);
    seconds = static_cast<std::uint8_t>(v.seconds);
    minutes = static_cast<std::uint8_t>(v.minutes);
    hours = static_cast<std::uint8_t>(v.hours);
}

}  // namespace rt
