#pragma once
// The program as the user starts it: the frame and its windows on the Qt presenter. The presenter
// owns the process's main thread; the program's first thread runs the start-up and the frame.
namespace app {

// Returns the process's exit code once the frame and every window have closed.
int RunProgram(int argc, char** argv);

}  // namespace app
