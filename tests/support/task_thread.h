#pragma once
// Runs a test body as the program runs a window task: on a procedure thread of its own, with the
// program's per-thread start (its own table objects) and end.
#include <functional>

#include "platform/runtime/threads.h"
#include "shell/globals.h"
#include "shell/run_application.h"

namespace testing_support {

inline void prepareProgramThreads() {
    shell::InstallThreadHooks();
    shell::AppErrors().Init(nullptr, [] { return shell::ThreadErrorState.get(); });
}

// Starts body on a new procedure thread and waits until it (and anything it started) has ended.
inline void runOnTaskThread(std::function<void()> body) {
    prepareProgramThreads();
    // Thread 1 is set up by the program's start-up only; tests take later numbers.
    if (rt::CurrentThreadNumber() == 0) rt::TouchThreadData();
    rt::StartThreadProcedure(std::move(body), 0);
    rt::WaitForTaskThreads();
}

}  // namespace testing_support
