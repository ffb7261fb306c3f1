#pragma once
// Two rules of the health profile that the form applies as the user types: the display name made
// from the first and last name, and the age worked out from the birth date.
#include <string>
#include <string_view>

#include "platform/runtime/std_date.h"

namespace health {

// The first name, one blank, the last name, trailing blanks of each removed ("Ann Lee"; a blank
// first name leaves the leading blank, a blank last name the first name alone).
std::string ComposeDisplayName(std::string_view first, std::string_view last);

// An age as the profile keeps it: the number stored in PER:AGE, and the number with its unit
// ("45 DAYS", "18 MOS", "37 YRS"; a row of asterisks when no age can be given).
struct Age {
    double number = 0;
    std::string text;
};

// Days up to 60; then months up to 24 while the years differ by at most two; then whole years. A
// birth date after today is read as a hundred years earlier (a two-digit year typed for the last
// century). No birth date (0), or one that is still after today, or that has no date a hundred
// years earlier (29 February), gives 0 and asterisks.
Age AgeOn(rt::StdDate birth, rt::StdDate today);

}  // namespace health
