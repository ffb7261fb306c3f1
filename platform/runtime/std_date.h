#pragma once
// Standard dates and times, and the byte layouts that record fields hold.
//
// A standard date counts days from 28 December 1800 (day 0); 1 January 1801 is day 4.
// A standard time is ((h*60+m)*60+s)*100 + hundredths + 1, so midnight is 1 and 0 means "no time".
#include <cstdint>
#include <optional>

namespace rt {

using StdDate = std::int32_t;
using StdTime = std::int32_t;

struct Ymd {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

// Day number for a calendar date; nullopt when the date does not exist
// (31 April, 29 February of a common year, month 13, ...).
std::optional<StdDate> dateFromYmd(int year, int month, int day);
// Calendar date of a standard date (any value > 0).
Ymd ymdFromDate(StdDate d);
bool isLeapYear(int year);
int daysInMonth(int year, int month);
// 0 Sunday .. 6 Saturday.
int dayOfWeek(StdDate d);

std::optional<StdTime> timeFromHms(int h, int m, int s, int hundredths = 0);
struct Hms {
    int hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};
Hms hmsFromTime(StdTime t);

#pragma pack(push, 1)
// DATE field in a record: day byte, month byte, 16-bit year. All zero is an empty date.
struct DateField {
    std::uint8_t day = 0;
    std::uint8_t month = 0;
    std::uint16_t year = 0;

    StdDate get() const;   // 0 for an empty or impossible stored date
    void set(StdDate d);   // 0 (or negative) stores an empty date
    bool empty() const { return day == 0 && month == 0 && year == 0; }
};
// TIME field in a record: hundredths, seconds, minutes, hours. All zero is an empty time.
struct TimeField {
    std::uint8_t hundredths = 0;
    std::uint8_t seconds = 0;
    std::uint8_t minutes = 0;
    std::uint8_t hours = 0;

    StdTime get() const;
    void set(StdTime t);
    bool empty() const { return hundredths == 0 && seconds == 0 && minutes == 0 && hours == 0; }
};
#pragma pack(pop)
static_assert(sizeof(DateField) == 4);
static_assert(sizeof(TimeField) == 4);

}  // namespace rt
