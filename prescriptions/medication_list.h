#pragma once
// The current-medication list of one person: a line for each active prescription of the person
// named in `personname`, by drug name. Called on its caller's thread (the person chooser);
// CallResponse holds 1 or 2 afterwards.
namespace prescriptions {

void quicklist();

}  // namespace prescriptions
