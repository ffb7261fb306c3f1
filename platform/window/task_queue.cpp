#include "platform/window/task_queue.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/window/window_system.h"

namespace wnd {
namespace {

struct ActivityState {
    std::mutex mutex;
    std::condition_variable cv;
    int busy = 0;
    std::uint64_t starts = 0;
};

ActivityState& activity() {
    static ActivityState state;
    return state;
}

// The thread's queue; retired when the thread ends.
struct QueueSlot {
    std::shared_ptr<TaskQueue> queue;
    ~QueueSlot() {
        if (queue) queue->Retire();
    }
};
thread_local QueueSlot tQueue;

}  // namespace

void Activity::Enter() {
    ActivityState& a = activity();
    std::lock_guard lock(a.mutex);
    ++a.busy;
    ++a.starts;
}

void Activity::Leave() {
    ActivityState& a = activity();
    std::lock_guard lock(a.mutex);
    if (--a.busy == 0) a.cv.notify_all();
}

int Activity::Busy() {
    ActivityState& a = activity();
    std::lock_guard lock(a.mutex);
    return a.busy;
}

std::uint64_t Activity::Starts() {
    ActivityState& a = activity();
    std::lock_guard lock(a.mutex);
    return a.starts;
}

bool Activity::WaitIdle(std::chrono::milliseconds timeout) {
    ActivityState& a = activity();
    std::unique_lock lock(a.mutex);
    return a.cv.wait_for(lock, timeout, [&] { return a.busy == 0; });
}

bool TaskQueue::Want::Matches(const QueueItem& item) const {
    if (question != 0) return !item.posted && item.input.kind == InputEvent::Kind::Answer && item.input.question == question;
    return item.window == window && window != 0;
}

void TaskQueue::StopWaiting() {
    waiting_ = false;
    if (leftWork_) Activity::Enter();
    leftWork_ = false;
}

std::uint64_t TaskQueue::LastSeq() {
    std::lock_guard lock(mutex_);
    return seq_;
}

bool TaskQueue::Push(QueueItem item) {
    std::lock_guard lock(mutex_);
    const bool answer = !item.posted && item.input.kind == InputEvent::Kind::Answer;
    if (!answer && !open_.count(item.window)) return false;  // the window has closed
    item.seq = ++seq_;
    items_.push_back(std::move(item));
    if (waiting_ && want_.Matches(items_.back())) {
        StopWaiting();  // counted at work before the waker returns
        cv_.notify_all();
    }
    return true;
}

void TaskQueue::Deliver(InputEvent event) {
    QueueItem item;
    item.window = event.kind == InputEvent::Kind::Answer ? 0 : event.window;
    item.input = std::move(event);
    Push(std::move(item));
}

bool TaskQueue::Post(WindowId window, Event event, int control) {
    QueueItem item;
    item.window = window;
    item.posted = true;
    item.event = event;
    item.control = control;
    return Push(std::move(item));
}

std::optional<QueueItem> TaskQueue::TakeForWindow(WindowId window,
                                                  std::optional<std::chrono::steady_clock::time_point> deadline) {
    std::unique_lock lock(mutex_);
    const Want want{window, 0};
    for (;;) {
        const auto it = std::find_if(items_.begin(), items_.end(), [&](const QueueItem& i) { return want.Matches(i); });
        if (it != items_.end()) {
            QueueItem item = std::move(*it);
            items_.erase(it);
            if (waiting_) StopWaiting();
            return item;
        }
        if (!waiting_) {
            waiting_ = true;
            want_ = want;
            // A window whose timer runs has work coming (a report between its ticks): its thread
            // stays at work, so an idle wait means the work is done.
            // The presenter hears of the wait before the thread counts as idle, so whoever waits
            // for idle threads finds the news already queued for the presenter.
            TellWaiting(lock);
            if (waiting_) {
                leftWork_ = counted_ && !deadline;
                if (leftWork_) Activity::Leave();
            }
            continue;  // something may have come meanwhile
        }
        if (!deadline) {
            cv_.wait(lock);
        } else if (cv_.wait_until(lock, *deadline) == std::cv_status::timeout) {
            const bool arrived = std::any_of(items_.begin(), items_.end(), [&](const QueueItem& i) { return want.Matches(i); });
            if (!arrived) {
                if (waiting_) StopWaiting();
                return std::nullopt;
            }
        }
    }
}

InputEvent TaskQueue::TakeAnswer(QuestionId question) {
    std::unique_lock lock(mutex_);
    const Want want{0, question};
    for (;;) {
        const auto it = std::find_if(items_.begin(), items_.end(), [&](const QueueItem& i) { return want.Matches(i); });
        if (it != items_.end()) {
            InputEvent answer = std::move(it->input);
            items_.erase(it);
            if (waiting_) StopWaiting();
            return answer;
        }
        if (!waiting_) {
            waiting_ = true;
            want_ = want;
            TellWaiting(lock);
            if (waiting_) {
                leftWork_ = counted_;
                if (leftWork_) Activity::Leave();
            }
            continue;
        }
        cv_.wait(lock);
    }
}

void TaskQueue::TellWaiting(std::unique_lock<std::mutex>& lock) {
    const std::uint64_t received = seq_;
    lock.unlock();
    if (auto p = CurrentPresenter()) p->Waiting(rt::CurrentThreadNumber(), received);
    lock.lock();
}

void TaskQueue::WindowOpened(WindowId window) {
    std::lock_guard lock(mutex_);
    open_.insert(window);
}

void TaskQueue::WindowClosed(WindowId window) {
    std::lock_guard lock(mutex_);
    open_.erase(window);
    std::erase_if(items_, [&](const QueueItem& i) { return i.window == window && window != 0; });
}

void TaskQueue::Retire() {
    {
        std::lock_guard lock(mutex_);
        if (counted_ && !leftWork_) Activity::Leave();
        counted_ = false;
    }
    if (auto p = CurrentPresenter()) p->Waiting(rt::CurrentThreadNumber(), std::numeric_limits<std::uint64_t>::max());
}

std::shared_ptr<TaskQueue> ThisThreadQueue() {
    if (!tQueue.queue) {
        Activity::Enter();
        tQueue.queue = std::make_shared<TaskQueue>(true);
    }
    return tQueue.queue;
}

int StartTask(rt::Procedure proc, std::size_t stackBytes) {
    // Told before this thread's next wait, so input held for it stays held for the new task.
    if (auto p = CurrentPresenter()) p->StartingTask(rt::CurrentThreadNumber());
    Activity::Enter();  // handed to the thread's queue
    const int number = rt::StartThreadProcedure(
        [proc = std::move(proc)] {
            tQueue.queue = std::make_shared<TaskQueue>(true);
            struct Retire {
                ~Retire() {
                    tQueue.queue->Retire();
                    tQueue.queue.reset();
                }
            } retire;
            proc();
        },
        stackBytes);
    if (number == 0) Activity::Leave();
    return number;
}

}  // namespace wnd
