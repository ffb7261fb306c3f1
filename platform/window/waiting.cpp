#include "platform/window/waiting.h"

#include <algorithm>

namespace wnd {

void WaitingWindows::Opened(WindowId id, int thread) {
    Closed(id);
    open_.push_back({id, thread});
}

void WaitingWindows::Closed(WindowId id) {
    std::erase_if(open_, [id](const Entry& e) { return e.id == id; });
}

WindowId WaitingWindows::Front(WindowId id) const {
    const auto it = std::find_if(open_.begin(), open_.end(), [id](const Entry& e) { return e.id == id; });
    if (it == open_.end()) return 0;
    WindowId front = id;
    for (auto later = it + 1; later != open_.end(); ++later)
        if (later->thread == it->thread) front = later->id;
    return front;
}

WindowId WaitingWindows::ReturnTo(WindowId id) const {
    const auto it = std::find_if(open_.begin(), open_.end(), [id](const Entry& e) { return e.id == id; });
    if (it == open_.end()) return 0;
    for (auto before = std::make_reverse_iterator(it); before != open_.rend(); ++before)
        if (before->thread == it->thread) {
            // What the opener waits for once `id` is gone: a window opened after `id` on the thread
            // (rare; a window closed out of order) is still in front of it.
            WindowId front = before->id;
            for (auto later = it + 1; later != open_.end(); ++later)
                if (later->thread == it->thread) front = later->id;
            return front;
        }
    return 0;
}

}  // namespace wnd
