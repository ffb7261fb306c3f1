#include "platform/window/input_hold.h"

#include <algorithm>
#include <limits>

namespace wnd {

bool MayOpenOrClose(InputEvent::Kind kind) {
    using K = InputEvent::Kind;
    switch (kind) {
        case K::Accepted: case K::Pressed: case K::NewSelection: case K::AlertKey: case K::FocusChanged:
        case K::CloseRequest: case K::Answer: return true;
        default: return false;  // typing, sizes, scrolling: the window stays as it is
    }
}

bool OnlyTypes(KeyCode key) {
    if (key & (kAlt | kCtrl)) return false;
    const KeyCode bare = key & 0xFF;
    if (bare == kKeyBackspace || bare == kKeyDelete || MovesCaret(key)) return true;
    return bare == 0 ||                                      // no code of its own: a character
           (bare >= kKeyShiftKey && bare <= kKeyShiftKey + 2) ||  // Shift, Ctrl or Alt alone
           bare == ' ' || (bare >= '0' && bare <= '9') || (bare >= 'A' && bare <= 'Z') ||
           (bare >= 0x60 && bare <= 0x6F) ||                 // the number pad's digits and signs
           (bare >= 0xBA && bare <= 0xE2);                   // punctuation
}

bool InputHold::After(InputEvent::Kind kind, int thread, std::uint64_t received) {
    // A sink that counts nothing is no task thread's queue: no wait of a thread will answer it.
    if (received == 0) return false;
    if (MayOpenOrClose(kind)) Hold(thread, received);
    else if (kind == InputEvent::Kind::Typed) HoldCommands(thread, received);
    else return false;
    return Holding();
}

void InputHold::Hold(int thread, std::uint64_t received) { Raise(thread, received, &Counts::all); }

void InputHold::HoldCommands(int thread, std::uint64_t received) { Raise(thread, received, &Counts::commands); }

void InputHold::Raise(int thread, std::uint64_t received, std::uint64_t Counts::*count) {
    if (const auto w = waited_.find(thread); w != waited_.end() && w->second >= received) return;  // answered already
    std::uint64_t& c = holds_[thread].*count;
    c = std::max(c, received);
}

bool InputHold::Waiting(int thread, std::uint64_t received) {
    if (received == std::numeric_limits<std::uint64_t>::max()) return Release(thread);  // the thread ended
    const auto [w, first] = waited_.try_emplace(thread, received);
    w->second = std::max(w->second, received);
    bool started = false;
    if (first && starting_ > 0) {
        --starting_;  // a new task waits: its window is there
        started = starting_ == 0;
    }
    const auto it = holds_.find(thread);
    if (it == holds_.end()) return started;
    // A wait begun before the held input arrived is no answer to it.
    bool ended = false;
    if (it->second.all != 0 && received >= it->second.all) it->second.all = 0, ended = true;
    if (it->second.commands != 0 && received >= it->second.commands) it->second.commands = 0, ended = true;
    if (it->second.all == 0 && it->second.commands == 0) holds_.erase(it);
    return ended || started;
}

void InputHold::StartingTask(int thread) {
    if (Holds(thread, false)) ++starting_;
}

bool InputHold::Release(int thread) {
    // A task that ends without ever waiting opened nothing to wait for.
    if (waited_.erase(thread) == 0 && starting_ > 0) --starting_;
    return holds_.erase(thread) != 0;
}

bool InputHold::Holds(int thread, bool typing) const {
    if (starting_ > 0) return true;  // a window is about to open, on a thread of its own
    const auto it = holds_.find(thread);
    if (it == holds_.end()) return false;
    return it->second.all != 0 || (!typing && it->second.commands != 0);
}

}  // namespace wnd
