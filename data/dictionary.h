#pragma once
// Per-thread set-up and tear-down of the table objects: each thread gets its own accessor and
// group object per table, bound to its own record buffers and table instances. Set-up opens no
// table; the accessors open their files at first use.

namespace data {

void DictionarySetUp();
void DictionaryTearDown();

// The visiting order of both: the reverse of the order of declaration, Prescripts first.
inline constexpr const char* kSetUpOrder[] = {"Prescripts", "Glucose", "Bloodpre", "DrugNames", "PersonsName",
                                              "Pharmacy", "PlanName", "Doctors", "Form", "Manufacturer"};

}  // namespace data
