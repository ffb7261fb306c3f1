#pragma once
// Runs a test body as the program runs a window task: on a procedure thread of its own, with the
// program's per-thread start (its own table objects) and end.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "globals/globals.h"
#include "platform/runtime/threads.h"
#include "shell/run_application.h"

namespace testing_support {

inline void prepareProgramThreads() {
    shell::InstallThreadHooks();
    globals::AppErrors().Init(nullptr, [] { return globals::ThreadErrorState.get(); });
}

// Starts body on a new procedure thread and waits until it (and anything it started) has ended.
inline void runOnTaskThread(std::function<void()> body) {
    prepareProgramThreads();
    // Thread 1 is set up by the program's start-up only; tests take later numbers.
    if (rt::CurrentThreadNumber() == 0) rt::TouchThreadData();
    rt::StartThreadProcedure(std::move(body), 0);
    rt::WaitForTaskThreads();
}

// Starts body on a task thread of its own and waits for that thread only (the program's windows may
// be running on others). A body that never ends fails the test after the deadline instead of
// hanging it; its thread is then left running, since nothing can stop it safely.
inline void runOnAnotherThread(std::function<void()> body,
                               std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
    prepareProgramThreads();
    auto done = std::make_shared<std::atomic<bool>>(false);
    rt::StartThreadProcedure(
        [body = std::move(body), done] {
            body();
            *done = true;
        },
        0);
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!*done && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(*done) << "the task thread did not end within " << deadline.count() << " ms";
}

}  // namespace testing_support
