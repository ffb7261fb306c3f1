#pragma once
// Makes the shell's own windows known to the frame's menus: the About, Donation and Useful Links
// windows, with the shell's layouts and help pages. The frame calls it each time it starts.
namespace shell {

void RegisterShellProcedures();

}  // namespace shell
