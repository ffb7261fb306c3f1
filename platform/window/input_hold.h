#pragma once
// Keys typed ahead, the same for every presenter. The user types faster than a window procedure
// acts: a key that opens a window must be followed by keys into that window, a key that closes
// one by keys into the window the keyboard returns to. So while a task thread acts on input that
// may open or close a window (a press, an alerted key, an accepted entry, a focus move, a close
// request), the presenter holds back the keys and clicks that follow, as a desktop's input queue
// does, and hands them on, in the order typed, to wherever the keyboard is once the thread waits
// for input again (its window shown, its question asked) or starts a long task (the busy cursor).
// Not thread-safe: the presenter keeps it on its own thread.
#include <cstdint>
#include <map>

#include "platform/window/presenter.h"

namespace wnd {

// Whether input of this kind may lead the task to open or close a window (and so holds what follows).
bool MayOpenOrClose(InputEvent::Kind kind);

class InputHold {
public:
    // Input that may open or close a window went to `thread`, whose queue had then taken in
    // `received` items.
    void Hold(int thread, std::uint64_t received);
    // The thread waits again, having taken in `received` items; true when a hold ended.
    bool Waiting(int thread, std::uint64_t received);
    // The thread goes on with a long task, or is gone: its hold ends. True when one ended.
    bool Release(int thread);
    bool Holding() const { return !held_.empty(); }

private:
    std::map<int, std::uint64_t> held_;  // per thread: the count its next wait must reach
};

}  // namespace wnd
