#pragma once
// Process-wide parts of the window system: the presenter, the register of open windows, posting
// across threads, and the questions a task thread asks the user (message boxes, popup menus).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/events.h"
#include "platform/window/presenter.h"

namespace wnd {

class TaskQueue;

// The presenter every window talks to; none (the default) shows nothing and answers every
// question with its default.
void SetPresenter(std::shared_ptr<Presenter> presenter);
std::shared_ptr<Presenter> CurrentPresenter();

// A way to reach a window from any thread.
struct WindowHandle {
    WindowId id = 0;
    std::weak_ptr<TaskQueue> queue;
    // False when the window (or its thread) is gone.
    bool Post(Event event, int control = 0) const;
};

// The close of the window that holds all others (the frame). Every other open window is asked to
// close with CloseDown, one window at a time across all threads (each may ask the user a question,
// and only one is on screen at once): a thread's innermost, the only one that can answer, and
// after it the one it was nested in; of several threads, the innermost window opened last first; a
// window opened meanwhile is asked as well. A forced round asks nobody anything and closes every
// thread's innermost window at once. When
// none is left, CloseWindow is posted to `owner`. A window that cancels its CloseDown refuses: the
// round ends there, the owner and the windows still open stay, those already closed stay closed.
// A forced round (the program must end) cannot be refused. Any thread may call it; a round under
// way for the same owner goes on, made forced when this one is.
// An owner with id 0 stands for the program's end after the frame has gone: the round asks every
// window, also those opened later, and lasts until StopClosingWindows.
void CloseOtherWindows(const WindowHandle& owner, bool forced);
void StopClosingWindows();
// Whether windows other than `owner` are open.
bool OtherWindowsOpen(WindowId owner);
// The running round is forced and `window` is one it closes (not its owner).
bool ForcedToClose(WindowId window);

// A message box; blocks the calling thread (only) until the user answers and returns the button
// pressed (a MessageButton). Text and caption are single-byte text; '|' in text starts a line.
// While it waits, the thread's windows are inert.
unsigned Message(std::string_view text, std::string_view caption = "", MessageIcon icon = MessageIcon::None,
                 unsigned buttons = kButtonOk, unsigned defaultButton = kButtonOk);
// A popup menu at the mouse: items separated by '|', "-" a separator. Returns the chosen item
// counted from 1 without the separators, 0 when the user chose none. An item starting with '~' is
// greyed. `icons` names each item's icon, separators included ("" none). A menu the keyboard asked
// for on a list names the list in `atList`: it opens at the list's highlighted row instead.
int Popup(std::string_view items, const std::vector<std::string>& icons = {}, int atList = 0);
// The print dialog for pages of a set (`selection`: the pages, from 1; empty all); blocks the
// calling thread until the user printed them (true) or did not. A print to a file is proposed a
// file named after the pages' title in `folder` (empty: the working directory).
bool Print(std::shared_ptr<const PageSet> pages, std::vector<int> selection = {}, std::string folder = {});

namespace detail {
WindowId NewWindowId();
void WindowOpened(WindowId id, const std::shared_ptr<TaskQueue>& queue);
void WindowClosed(WindowId id);
// The window cancelled the CloseDown it was answering.
void CloseDownRefused(WindowId id);
}  // namespace detail

}  // namespace wnd
