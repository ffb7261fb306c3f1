#pragma once
// The person chooser of "Quick Listing and Profile": a drop list of the household's people. Choosing
// one makes them the current person (`personname`) and loads their record; however the window is
// closed, the chosen person's medication list and then their health profile print, on this
// thread, before the window goes.
namespace prescriptions {

void prequick();

}  // namespace prescriptions
