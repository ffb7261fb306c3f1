#pragma once
// The lists of the six reference tables whose names the forms' lookups offer: drug names,
// doctors, pharmacies, drug forms, plan names and manufacturers. One list window each, over its
// table in one order, calling the table's form on its own thread. No menu opens them: the lookup
// buttons start them on threads of their own.
#include <string_view>

namespace prescriptions {

inline constexpr const char* kReferenceLists[] = {"brwsdrugs",   "BrowseDoctors",  "BrowsePharmacy",
                                                  "BrowseForms", "BrowsePlanName", "BrowseMfg"};

// Runs the list named `procedure` (one of the above) on this thread until it is closed.
void ReferenceList(std::string_view procedure);

}  // namespace prescriptions
