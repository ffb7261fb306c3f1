#pragma once
// Events a window's event loop hands its procedure.
#include <string_view>

namespace wnd {

enum class Event : int {
    None = 0,
    // Control events.
    Accepted = 1,      // a value was entered, a button or menu item pressed
    NewSelection,      // a list, drop list, spin or sheet moved to another row or tab
    Selected,          // a control got the focus
    Rejected,          // a value the user entered was refused (its picture, a spin box's range); the old one stays
    AlertKey,          // an alerted key (Window::keyCode())
    MouseUp,
    Scrolled,          // a list's scroll bar thumb was moved by the user (Window::thumb())
    Typed,             // a keystroke in an immediate combo's entry: the control's text is the entry
                       // after the key, Window::caret() the caret, Window::keyCode() the key
    RowsFit,           // a list box was resized: it shows control(n).rowsFit whole rows now
    // Window events.
    OpenWindow = 0x100,
    CloseWindow,       // the window is asked to close (close box, close action, Post)
    CloseDown,         // the program is ending: every window is asked to close
    Completed,         // the accept-all pass ran through without a stop
    Timer,
    Resized,
    GainFocus,
    LoseFocus,
    // The program's own events start here.
    User = 0x400,
};

std::string_view EventName(Event e);
inline bool IsWindowEvent(Event e) { return static_cast<int>(e) >= static_cast<int>(Event::OpenWindow); }

}  // namespace wnd
