#pragma once
// The health-profile form: one person's record tab by tab (general information, emergency
// contacts and plan, medical conditions, equipment, allergies, other conditions, immunisations,
// the last ten doctor visits) with the person's blood-pressure and blood-glucose readings. Called
// on its caller's thread with the request in CallRequest (by the people list, and by the
// prescription form's person lookup to add a typed name); answers in CallResponse.
//
// It keeps the shared personname on the person it shows, so that the reading lists, the reading
// forms and the reports it starts work on that person; and it stamps the date and time of the
// last change only when the profile really changed.
#include <string_view>

namespace health {

void UpdatePersonsName();

// Procedures the form reaches by name; a button whose procedure is not registered is disabled.
inline constexpr const char* kProfileReport = "profile";
inline constexpr const char* kDoctorsForm = "UpdateDoctors";    // update numbers 1 to 10
inline constexpr const char* kPlanForm = "UpdatePlanName";      // update number 11
inline constexpr const char* kPlanList = "BrowsePlanName";
inline constexpr const char* kDoctorsList = "BrowseDoctors";

// The immunisation schedule the schedule button opens, from the working folder.
inline constexpr std::string_view kScheduleDocument = "IZSchedule_2006.pdf";

// The explanation of blood pressure on the blood-pressure page.
inline constexpr std::string_view kWhatIsBloodPressure =
    "Blood pressure is the force of blood against the walls of arteries. Blood pressure is recorded as two "
    "numbers, the systolic pressure (as the heart beats) over the diastolic pressure (as the heart relaxes "
    "between beats). The measurement is written one above or before the other, with the systolic number on top "
    "and the diastolic number on the bottom. For example, a blood pressure measurement of 120/80 mmHg "
    "(millimeters of mercury) is expressed verbally as \"120 over 80.\" Normal blood pressure is less than 120 "
    "mmHg systolic and less than 80 mmHg diastolic.";

}  // namespace health
