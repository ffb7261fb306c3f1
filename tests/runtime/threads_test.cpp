#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/runtime/threads.h"

namespace {

// The hook is how the event loop learns that the program has ended: it must run once, on the last
// thread, when no thread is live any more, and WaitForTaskThreads must not return before it has.
TEST(TaskThreads, TheLastThreadToEndRunsTheHookOnceAfterTheOthers) {
    rt::WaitForTaskThreads();
    std::vector<std::size_t> liveAtHook;  // written by the hook only; read after the wait
    rt::SetLastThreadEndHook([&] { liveAtHook.push_back(rt::LiveTaskThreads()); });
    std::mutex m;
    std::condition_variable cv;
    bool go = false;
    const auto child = [&] {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return go; });
    };
    // The first thread starts the others before it ends, so threads are live all along.
    ASSERT_NE(rt::StartThreadProcedure([&] {
        for (int i = 0; i < 3; ++i) rt::StartThreadProcedure(child, 0);
    }, 0), 0);
    {
        std::lock_guard lock(m);
        go = true;
    }
    cv.notify_all();
    rt::WaitForTaskThreads();
    rt::SetLastThreadEndHook(nullptr);
    EXPECT_EQ(liveAtHook, std::vector<std::size_t>{0});
}

}  // namespace
