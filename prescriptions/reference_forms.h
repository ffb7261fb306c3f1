#pragma once
// The forms of the six reference tables: one record each of drug names, doctors, pharmacies,
// drug forms, plan names and manufacturers. Called, never started: by the table's list, and by
// the prescription form's lookups as their insert forms (the typed name already in the buffer).
// A form edits its caller's thread's buffer of the table, with the request in CallRequest, and
// answers in CallResponse.
#include <string_view>

namespace prescriptions {

inline constexpr const char* kReferenceForms[] = {"UpdateDrugNames", "UpdateDoctors",  "UpdatePharmacy",
                                                  "UpdateForm",      "UpdatePlanName", "UpdateManufacturer"};

// Runs the form named `procedure` (one of the above) on this thread.
void ReferenceForm(std::string_view procedure);

}  // namespace prescriptions
