#pragma once
// Keys and clicks typed ahead, the same for every presenter. The user types faster than a window
// procedure acts: a key that opens a window must be followed by keys into that window, a key that
// closes one by keys into the window the keyboard returns to. So while a task thread acts on input
// that may open or close a window (a press, an alerted key, an accepted entry, a focus move, a
// close request, an answer), the presenter holds back the keys and clicks for that thread's
// windows that follow, as a desktop's input queue does, and hands them on, in the order typed, to
// wherever the keyboard is once the thread waits for input again (its window shown, its question
// asked, its report's next tick). A busy cursor ends nothing: a form saving or a list reloading is
// still about to show what comes next. Input for another thread's windows never waits, so a long
// task holds nothing but its own windows'.
// A keystroke into a completing entry holds less: only the keys that act beyond typing (Tab,
// Enter, Escape, Alt or Ctrl with a key, ...) wait, until the task has answered every keystroke
// before them, so the entry is accepted with the completion the user saw.
// Not thread-safe: the presenter keeps it under its own lock or on its own thread.
#include <cstdint>
#include <map>

#include "platform/window/keys.h"
#include "platform/window/presenter.h"

namespace wnd {

// Whether input of this kind may lead the task to open or close a window (and so holds what follows).
bool MayOpenOrClose(InputEvent::Kind kind);
// Whether a key only edits the entry it is typed into (a character, Backspace, Delete, a caret
// move, a lone modifier): such keys pass a hold on keystrokes.
bool OnlyTypes(KeyCode key);

class InputHold {
public:
    // Input of `kind` went to `thread`, whose queue had then taken in `received` items (counting
    // it): the hold it calls for, if any (Hold, HoldCommands). True when something now waits.
    bool After(InputEvent::Kind kind, int thread, std::uint64_t received);
    // Input that may open or close a window went to `thread`, whose queue had then taken in
    // `received` items: everything for that thread waits.
    void Hold(int thread, std::uint64_t received);
    // A keystroke went to `thread`'s completing entry: keys that act beyond typing wait.
    void HoldCommands(int thread, std::uint64_t received);
    // The thread waits again, having taken in `received` items; true when a hold ended.
    bool Waiting(int thread, std::uint64_t received);
    // `thread` starts another task: if it holds, everything waits until a thread waits for input
    // for the first time (the new task's window is shown).
    void StartingTask(int thread);
    // The thread is gone: its holds end. True when one ended.
    bool Release(int thread);
    void Clear() {
        holds_.clear();
        starting_ = 0;
    }
    bool Holding() const { return !holds_.empty() || starting_ > 0; }
    // Whether a task started by held input is still opening its window.
    bool Starting() const { return starting_ > 0; }
    // Whether input for `thread`'s windows waits now; `typing`: a key that only types (OnlyTypes).
    bool Holds(int thread, bool typing) const;

private:
    struct Counts {
        std::uint64_t all = 0;       // the count the thread's next wait must reach; 0 none
        std::uint64_t commands = 0;  // the same for keys that act beyond typing
    };
    // Raises the count `count` of the thread's hold to `received`, unless a wait answered it already.
    void Raise(int thread, std::uint64_t received, std::uint64_t Counts::*count);
    std::map<int, Counts> holds_;
    // Per thread the count its last wait had reached: a presenter that hears of waits on the
    // task's own thread may hear of one before it holds for the input the wait answers.
    std::map<int, std::uint64_t> waited_;
    int starting_ = 0;  // tasks started by held input that have not waited yet
};

}  // namespace wnd
