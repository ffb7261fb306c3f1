#pragma once
// Makes the prescription windows known to the frame's menus and to each other.

#include <string>

namespace prescriptions {

// Registers the layouts and the procedures; false with *error when a layout is not sound.
bool RegisterPrescriptionProcedures(std::string* error = nullptr);

}  // namespace prescriptions
