#pragma once
// A date chooser: a small plain window showing one month as a grid of day buttons, with month and
// year steps, Today and Cancel. It runs on the caller's thread (the caller's window is inert
// meanwhile); the chosen date is in SELECTEDDATE only when Pick answers 1.
//
//     cls::CalendarPicker calendar;
//     calendar.SELECTONCLOSE = true;
//     if (calendar.Pick("Date Filled?", PRE.DATEFILLED) == cls::kResponseCompleted) PRE.DATEFILLED = calendar.SELECTEDDATE;
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/runtime/std_date.h"

namespace cls {

class CalendarPicker {
public:
    // Opens on the month of `start` (today when 0) and waits for the user. 1: a date was chosen
    // (SELECTEDDATE); 2: Cancel or the close box, SELECTEDDATE as it was.
    int Pick(std::string_view caption, rt::StdDate start);

    // Text colours of the weekday headers and day buttons, as 0xRRGGBB; the presenter shows them
    // where it can draw them. The holiday colour is kept but marks nothing: there is no holiday list.
    void SetColours(std::uint32_t saturday, std::uint32_t sunday, std::uint32_t otherDays, std::uint32_t holiday) {
        SATURDAYCOLOR = saturday;
        SUNDAYCOLOR = sunday;
        DAYCOLOR = otherDays;
        HOLIDAYCOLOR = holiday;
    }

    int FIRSTWEEKDAY = 7;                 // 1 Monday .. 7 Sunday: the grid's first column
    std::uint32_t SATURDAYCOLOR = 0xFF0000;
    std::uint32_t SUNDAYCOLOR = 0xFF0000;
    std::uint32_t DAYCOLOR = 0x000000;
    std::uint32_t HOLIDAYCOLOR = 0x008000;
    bool RIGHTALIGN = false;
    bool SELECTONCLOSE = true;            // on: pressing a day chooses it and closes; off: OK does
    int RESPONSE = 0;
    rt::StdDate SELECTEDDATE = 0;
    std::string caption;                  // of the last Pick
};

}  // namespace cls
