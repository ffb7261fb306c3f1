#pragma once
// The event queue of a task thread, and the count of task threads at work.
//
// Each task thread has one queue (a mutex and a condition variable). Input from the presenter,
// events posted by any thread and answers to the thread's questions all go into it; the thread
// takes what it is waiting for and leaves the rest in order (events for a window that is inert
// under a nested window wait until that window runs its loop again).
//
// Idle detection: the process counts task threads that are not blocked on their queue. A thread is
// counted from the moment it is started (StartTask) until it ends; it stops counting while it
// waits with nothing it wants in its queue, and a Deliver or Post that gives a waiting thread what
// it wants counts it again at once, before the waker returns. So a count of 0 means every task
// thread is blocked and nothing is on its way to any of them.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "platform/runtime/threads.h"
#include "platform/window/events.h"
#include "platform/window/presenter.h"

namespace wnd {

class Activity {
public:
    static void Enter();
    static void Leave();
    static int Busy();
    // How many times a task thread has gone to work so far: a wait for idle threads that turned
    // the presenter's loop meanwhile compares it, since work handed on there may be done already.
    static std::uint64_t Starts();
    // Blocks until no task thread is at work; false when the timeout passed first.
    static bool WaitIdle(std::chrono::milliseconds timeout);
};

struct QueueItem {
    WindowId window = 0;
    bool posted = false;      // Post: event and control; otherwise input from the presenter
    Event event = Event::None;
    int control = 0;
    InputEvent input;
    std::uint64_t seq = 0;    // the order the queue received it in, from 1
};

class TaskQueue final : public InputSink {
public:
    explicit TaskQueue(bool counted) : counted_(counted) {}

    void Deliver(InputEvent event) override;
    std::uint64_t Received() override { return LastSeq(); }
    // False when the window is not open on this queue (the event is dropped).
    bool Post(WindowId window, Event event, int control);

    // Waits for the next item of `window`; nullopt when the deadline passed first.
    std::optional<QueueItem> TakeForWindow(WindowId window,
                                           std::optional<std::chrono::steady_clock::time_point> deadline);
    // Waits for the answer to a question.
    InputEvent TakeAnswer(QuestionId question);
    // The seq of the last item received so far.
    std::uint64_t LastSeq();

    // Items for windows not open on this queue are dropped.
    void WindowOpened(WindowId window);
    void WindowClosed(WindowId window);  // drops what is still queued for it
    // The thread is ending: it no longer counts as at work.
    void Retire();

private:
    struct Want {
        WindowId window = 0;
        QuestionId question = 0;
        bool Matches(const QueueItem& item) const;
    };
    bool Push(QueueItem item);
    void StopWaiting();  // with mutex_ held
    // The presenter learns the thread waits again (called with mutex_ released).
    void TellWaiting(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<QueueItem> items_;
    std::set<WindowId> open_;
    bool waiting_ = false;
    bool leftWork_ = false;  // waiting, and no longer counted at work
    Want want_;
    std::uint64_t seq_ = 0;
    bool counted_;
};

// The calling thread's queue, made on first use (a thread that makes it this way counts as at
// work until it ends).
std::shared_ptr<TaskQueue> ThisThreadQueue();

// Starts a window task on a new thread (see rt::StartThreadProcedure). The thread counts as at work
// from this call on, so an idle wait never slips in before it has opened its window.
int StartTask(rt::Procedure proc, std::size_t stackBytes);

}  // namespace wnd
