#pragma once
// The two reading forms: a blood-pressure reading (UpdateBloodpre) and a blood-glucose reading
// (UpdateGlucose). Called, never started: by the health-profile form's reading lists on their
// thread, with the request in CallRequest and the reading in the thread's buffer; they answer in
// CallResponse. A new reading is stamped with the person in `personname`, today's date and the
// time of day.
#include <string_view>

namespace health {

inline constexpr const char* kReadingForms[] = {"UpdateBloodpre", "UpdateGlucose"};

// Runs the form named `procedure` (one of the above) on this thread.
void ReadingForm(std::string_view procedure);

}  // namespace health
