#pragma once
// The prescription reports: every prescription in print-key order (started from the frame's menu on
// a thread of its own), and the prescriptions sharing the print key now in the calling thread's
// buffer, one to a page (called by the prescription form).
namespace prescriptions {

void ReportPrescripts();
void printprescrpt();

}  // namespace prescriptions
