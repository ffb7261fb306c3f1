#pragma once
// Which window a window waits for, as a presenter sees its open windows. On one task thread the
// windows nest: each waits for the one opened after it (a list for its form, a form for its
// calendar or preview, the frame for the start-up reminders), and only the innermost takes input.
// A waiting window never comes in front of what it waits for: whatever would bring it forward (a
// click, Ctrl+Tab, the Window menu, a close round) brings that window forward instead. Both
// presenters keep one of these; it is not locked (each presenter guards its own).
#include <cstdint>
#include <vector>

#include "platform/window/presenter.h"

namespace wnd {

class WaitingWindows {
public:
    void Opened(WindowId id, int thread);
    void Closed(WindowId id);

    // The window that activating `id` really brings forward: the innermost window of its thread
    // opened after it; `id` itself when it waits for none; 0 when it is not open.
    WindowId Front(WindowId id) const;
    bool Waits(WindowId id) const { return Front(id) != id; }
    // Where the keyboard goes when `id` closes (asked before Closed): the window of its thread it
    // was nested in, or what that one still waits for; 0 when it was its thread's first.
    WindowId ReturnTo(WindowId id) const;

private:
    struct Entry {
        WindowId id = 0;
        int thread = 0;
    };
    std::vector<Entry> open_;  // in opening order
};

}  // namespace wnd
