#pragma once
// Small process-wide services of the platform: the current help file and the program's icon
// (shown by every window without an icon of its own). Guarded; safe from any thread.
#include <string>
#include <string_view>

namespace rt {

void SetHelpFile(std::string_view name);
std::string HelpFile();

void SetProgramIcon(std::string_view name);
std::string ProgramIcon();

}  // namespace rt
