#pragma once
// The program's main line: start-up of the global services and the first thread's table objects,
// the frame procedure, and shut-down. Also the per-thread start and end of the program's data.
#include <functional>

namespace shell {

// The frame procedure RunApplication calls (Main); it returns when the frame has closed.
void SetFrameProcedure(std::function<void()> frame);

// Per-thread hooks: OnThreadStart sets up table objects on every thread but the first;
// OnThreadEnd tears them down on every thread.
void OnThreadStart();
void OnThreadEnd();

// Installs the per-thread start and end of the program's data with the platform (once).
void InstallThreadHooks();

// Called once on the program's first thread.
void RunApplication();

// Program load: the shared texts blank, the thread hooks installed, thread numbering from 1.
// Called on a thread that is not to be thread 1 (for instance the presenter's).
void LoadProgram();

// What the process does on the calling thread: program load, RunApplication, the first thread's
// end. Returns the exit code: 0, or the code of a fatal error (see program_end.h). (With a presenter of windows, the presenter's thread calls
// LoadProgram and runs RunApplication as its first task instead.)
int ProgramMain();

// The help file the program makes current at start-up.
inline constexpr const char* kHelpFile = "prescripts-help.html";

}  // namespace shell
