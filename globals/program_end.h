#pragma once
// How the program ends when it must (a fatal error): through its normal shut-down. The frame is
// asked to close, every other window closes first and none may refuse, the task threads finish
// their writes, RunApplication tears down and writes the settings back, and the process then exits
// with a code that is not 0. After the fatal message no further box is shown (AppErrors is silent).
#include "platform/window/window_system.h"

namespace globals {

// The exit code of a fatal error.
inline constexpr int kFatalExitCode = 3;

// From any thread; the frame closes once every window has. Before the frame is open it closes as
// soon as it opens; after it has closed only the exit code changes.
void EndProgram(int exitCode);
bool ProgramEnding();
// 0, or the first code EndProgram was given.
int ExitCode();

// The frame while its window is open (a handle with id 0: none), so that EndProgram can reach it.
void SetFrameWindow(const wnd::WindowHandle& frame);
// A new run of the program starts (RunApplication): nothing is ending, the exit code is 0.
void ResetProgramEnd();

}  // namespace globals
