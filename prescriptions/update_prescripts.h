#pragma once
// The form for one prescription, called by the prescription list on the list's thread with a
// request in CallRequest (insert, change, delete, view); it edits that thread's PRE buffer and
// answers in CallResponse. Seven of its fields are lookups over the reference tables, three
// calendar buttons pick its dates, and OK composes the prescription's print key.
#include <string>

#include "data/records.h"
#include "platform/runtime/std_date.h"

namespace prescriptions {

void UpdatePrescripts();

// The print key OK stores: the clipped drug name, the fill date's day number ("0" when none),
// the active flag as it stands (a blank stays a blank) and the clipped person's name.
std::string ComposePrintKey(const data::PrescriptsRecord& pre);

// The expiration date proposed for a fill date while none is entered: a year of days later.
inline constexpr int kExpirationDays = 365;

// Procedures the form reaches by name; a control that would start one that is not registered is
// disabled, and a lookup whose insert form is not registered keeps a typed name as it stands.
inline constexpr const char* kInsertForms[] = {"UpdatePersonsName", "UpdateDoctors",      "UpdateForm",
                                               "UpdatePlanName",    "UpdateManufacturer", "UpdatePharmacy",
                                               "UpdateDrugNames"};  // update numbers 1 to 7
inline constexpr const char* kPrescriptionReport = "printprescrpt";

}  // namespace prescriptions
