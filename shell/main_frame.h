#pragma once
// The frame procedure Main: the application frame with the program's menus. When its window opens
// it sets DISCLAIMER and, when a refill falls due within 30 days, shows the refill reminders on its
// own thread before it takes any command. Its menu commands start procedures on threads of their
// own; closing it asks every other window to close and ends the program.
#include <cstddef>

#include "platform/runtime/std_date.h"

namespace shell {

void Main();

// The frame's layout, the shell's other layouts and the program's help pages are registered; safe
// to call often.
bool RegisterShellLayouts();

// Whether a refill-reminder date is due: from today to today + 30 inclusive. A blank date (0)
// never is.
bool RefillDue(rt::StdDate reminder, rt::StdDate today);
// Reads every prescription, active or not, through a read-only instance of its own (released
// before it returns). False when the file is missing or cannot be read.
bool RefillsDueWithin30Days();

// What a menu item starts, and with how much stack.
struct MenuStart {
    const char* use;
    const char* procedure;
    std::size_t stack;
};
inline constexpr MenuStart kMenuStarts[] = {
    {"?BROWSEPRESCRIPTS", "BrowsePrescripts", 50000},
    {"?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE", "BrowsePerson", 25000},
    {"?REPORTPRESCRIPTS", "ReportPrescripts", 50000},
    {"?REPORTSITEM21", "prequick", 25000},
    {"?REPORTSREMINDERS", "Reminders", 25000},
    {"?HELPMAKEADONATION", "donation", 25000},
    {"?HELPABOUT", "about", 25000},
    {"?USEFULLINKSLINKS", "links", 25000},
};

}  // namespace shell
