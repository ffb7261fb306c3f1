#pragma once
// A person's whole health profile on paper: every field of the PersonsName record over several
// pages, under a header with the person's name, the report date, the page number and when the
// profile was last changed. Called on its caller's thread (the health-profile form, the person
// chooser) for the person whose name stands in the thread's PersonsName buffer; every stored
// person of that name prints. CallResponse holds 1 or 2 afterwards.
namespace health {

void profile();

}  // namespace health
