#pragma once
// Makes the people and health windows known to the frame's menus and to the other windows.
#include <string>

namespace health {

// Registers the layouts and the procedures; false with *error when a layout is not sound.
bool RegisterHealthProcedures(std::string* error = nullptr);

// The two halves, each registering its own procedures (their layouts are registered already).
void RegisterPeopleProcedures();    // the people list and the health-profile form
void RegisterReadingProcedures();   // the reading forms and the health reports

}  // namespace health
