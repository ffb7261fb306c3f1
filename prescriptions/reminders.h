#pragma once
// The refill reminders: the prescriptions whose refill-reminder date falls from today to today + 30
// (active or not), listed by that date, and their report.
namespace prescriptions {

// The date window both share, as stored; "today" is read whenever a record is.
inline constexpr const char* kRemindersFilter =
    "(PRE:RefillReminderDate =>today() and PRE:RefillReminderDate <= Today()+30)";
inline constexpr const char* kRemindRptFilter =
    "PRE:RefillReminderDate =>today() and PRE:RefillReminderDate <= Today()+30";

void Reminders();
void RemindRpt();

}  // namespace prescriptions
