#include "platform/window/input_hold.h"

#include <algorithm>

namespace wnd {

bool MayOpenOrClose(InputEvent::Kind kind) {
    using K = InputEvent::Kind;
    switch (kind) {
        case K::Accepted: case K::Pressed: case K::NewSelection: case K::AlertKey: case K::FocusChanged:
        case K::CloseRequest: case K::Answer: return true;
        default: return false;  // typing, sizes, scrolling: the window stays as it is
    }
}

void InputHold::Hold(int thread, std::uint64_t received) {
    auto [it, added] = held_.try_emplace(thread, received);
    if (!added) it->second = std::max(it->second, received);
}

bool InputHold::Waiting(int thread, std::uint64_t received) {
    const auto it = held_.find(thread);
    // A wait begun before the held input arrived is no answer to it.
    if (it == held_.end() || received < it->second) return false;
    held_.erase(it);
    return true;
}

bool InputHold::Release(int thread) { return held_.erase(thread) != 0; }

}  // namespace wnd
