#pragma once
// The one clock of the program. Everything that asks for "today" or "now" (refill windows, ages,
// stamps, today() in filters) reads it here, so tests can pin it to a known moment.
#include <optional>

#include "platform/runtime/std_date.h"

namespace rt {

StdDate today();
StdTime clockNow();

// Pins the clock (tests). The pinned time does not advance.
void setFixedClock(StdDate date, StdTime time = 1);
// Back to the system's local time.
void useSystemClock();

// RAII pin for a test's scope.
class FixedClockScope {
public:
    FixedClockScope(StdDate date, StdTime time = 1) { setFixedClock(date, time); }
    ~FixedClockScope() { useSystemClock(); }
    FixedClockScope(const FixedClockScope&) = delete;
    FixedClockScope& operator=(const FixedClockScope&) = delete;
};

}  // namespace rt
