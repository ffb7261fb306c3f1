#include "platform/runtime/threads.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

namespace rt {
namespace {

struct Registry {
    std::mutex mutex;
    std::condition_variable idle;
    int nextNumber = 1;
    std::size_t live = 0;
    std::function<void()> startHook;
    std::function<void()> endHook;
    std::vector<std::function<void()>> endSteps;
    std::function<void()> lastEndHook;
    std::size_t inLastEndHook = 0;  // threads running lastEndHook (WaitForTaskThreads waits for them)
};

// Never destroyed: a detached thread may still be leaving its last notify while the process exits.
Registry& registry() {
    static Registry& r = *new Registry;  // NOLINT(cppcoreguidelines-owning-memory)
    return r;
}

struct ThreadData {
    int number = 0;
    bool started = false;
    bool ended = false;
    bool task = false;  // a started procedure thread, counted in Registry::live
};
thread_local ThreadData tData;

int takeNumber() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return r.nextNumber++;
}

struct StartPacket {
    Procedure proc;
    int number = 0;
};

void* threadMain(void* arg) {
    std::unique_ptr<StartPacket> packet(static_cast<StartPacket*>(arg));
    tData.number = packet->number;
    tData.task = true;
    try {
        TouchThreadData();
        packet->proc();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "thread %d: procedure ended by an exception: %s\n", tData.number, e.what());
    } catch (...) {
        std::fprintf(stderr, "thread %d: procedure ended by an exception\n", tData.number);
    }
    try {
        EndThreadData();
    } catch (...) {
        std::fprintf(stderr, "thread %d: exception while ending thread data\n", tData.number);
    }
    packet.reset();
    auto& r = registry();
    std::function<void()> last;
    {
        std::lock_guard lock(r.mutex);
        if (--r.live == 0 && r.lastEndHook) {
            last = r.lastEndHook;
            ++r.inLastEndHook;
        }
        r.idle.notify_all();
    }
    if (!last) return nullptr;
    try {
        last();
    } catch (...) {
        std::fprintf(stderr, "thread %d: exception in the last thread's end hook\n", tData.number);
    }
    last = nullptr;
    std::lock_guard lock(r.mutex);
    --r.inLastEndHook;
    r.idle.notify_all();
    return nullptr;
}

}  // namespace

int StartThreadProcedure(Procedure proc, std::size_t stackBytes) {
    if (!proc) return 0;
    auto packet = std::make_unique<StartPacket>();
    packet->proc = std::move(proc);
    packet->number = takeNumber();
    const int number = packet->number;

    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return 0;
    pthread_attr_setstacksize(&attr, std::max(stackBytes, kMinimumThreadStack));
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    auto& r = registry();
    {
        std::lock_guard lock(r.mutex);
        ++r.live;
    }
    pthread_t tid;
    StartPacket* raw = packet.release();
    const int rc = pthread_create(&tid, &attr, &threadMain, raw);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete raw;  // never started: ownership comes back here
        {
            std::lock_guard lock(r.mutex);
            --r.live;
        }
        r.idle.notify_all();
        return 0;
    }
    return number;
}

int CurrentThreadNumber() { return tData.number; }

void BeginProgram() {
    WaitForTaskThreads();
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.nextNumber = 1;
}

void SetThreadHooks(std::function<void()> start, std::function<void()> end) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.startHook = std::move(start);
    r.endHook = std::move(end);
}

void RegisterThreadEndStep(std::function<void()> step) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.endSteps.push_back(std::move(step));
}

void TouchThreadData() {
    if (tData.started && !tData.ended) return;
    if (tData.number == 0 || tData.ended) tData.number = takeNumber();
    tData.started = true;
    tData.ended = false;
    std::function<void()> hook;
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        hook = r.startHook;
    }
    if (hook) hook();
}

void EndThreadData() {
    if (!tData.started || tData.ended) return;
    tData.ended = true;
    std::function<void()> hook;
    std::vector<std::function<void()>> steps;
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        hook = r.endHook;
        steps = r.endSteps;
    }
    if (hook) hook();
    for (auto& s : steps) s();
    tData.started = false;
}

std::size_t LiveTaskThreads() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return r.live;
}

void WaitForTaskThreads() {
    // A task thread that waits for the others does not wait for itself.
    const std::size_t self = tData.task ? 1 : 0;
    auto& r = registry();
    std::unique_lock lock(r.mutex);
    r.idle.wait(lock, [&] { return r.live <= self && r.inLastEndHook == 0; });
}

void SetLastThreadEndHook(std::function<void()> hook) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.lastEndHook = std::move(hook);
}

}  // namespace rt
