// Which window a waiting window stands for, and which control Escape presses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/control.h"
#include "platform/window/waiting.h"

namespace {

// The frame (thread 1) with the start-up reminders over it; a list (thread 2) with its form and the
// form's preview; About on a thread of its own.
enum : wnd::WindowId { kFrame = 1, kReminders, kList, kForm, kPreview, kAbout };

wnd::WaitingWindows Program() {
    wnd::WaitingWindows w;
    w.Opened(kFrame, 1);
    w.Opened(kList, 2);
    w.Opened(kReminders, 1);
    w.Opened(kForm, 2);
    w.Opened(kAbout, 3);
    w.Opened(kPreview, 2);
    return w;
}

TEST(WaitingWindows, ActivatingAWindowBringsForwardWhatItWaitsFor) {
    const wnd::WaitingWindows w = Program();
    const struct {
        wnd::WindowId activated, forward;
    } cases[] = {
        {kList, kPreview}, {kForm, kPreview}, {kPreview, kPreview},  // its thread's innermost
        {kFrame, kReminders}, {kReminders, kReminders},
        {kAbout, kAbout},  // another thread's windows never count
        {99, 0},           // not open
    };
    for (const auto& c : cases) {
        EXPECT_EQ(w.Front(c.activated), c.forward) << c.activated;
        EXPECT_EQ(w.Waits(c.activated), c.forward != c.activated) << c.activated;
    }
}

TEST(WaitingWindows, AClosedWindowHandsTheKeyboardToItsOpenerOrWhatThatStillWaitsFor) {
    wnd::WaitingWindows w = Program();
    EXPECT_EQ(w.ReturnTo(kPreview), kForm);
    EXPECT_EQ(w.ReturnTo(kReminders), kFrame);
    EXPECT_EQ(w.ReturnTo(kAbout), 0u);  // the first of its thread: nothing of its own to go back to
    EXPECT_EQ(w.ReturnTo(kList), 0u);
    // Closed out of order (the form before its preview): the list still waits for the preview.
    EXPECT_EQ(w.ReturnTo(kForm), kPreview);
    w.Closed(kPreview);
    EXPECT_EQ(w.Front(kList), kForm);
    w.Closed(kForm);
    EXPECT_EQ(w.Front(kList), kList);
    EXPECT_FALSE(w.Waits(kList));
}

wnd::ControlState Control(int number, wnd::ControlKind kind, std::string text, wnd::StdAction std = wnd::StdAction::None) {
    wnd::ControlState c;
    c.number = number;
    c.kind = kind;
    c.text = std::move(text);
    c.std = std;
    return c;
}

TEST(EscapeControl, PressesTheCancelOrCloseButtonElseTheWindowsExitItem) {
    using K = wnd::ControlKind;
    using wnd::StdAction;
    const struct {
        const char* name;
        wnd::WindowKind kind;
        std::vector<wnd::ControlState> controls;
        int pressed;
    } cases[] = {
        {"a form's Cancel", wnd::WindowKind::MdiChild,
         {Control(1, K::Button, "&OK"), Control(2, K::Button, "&Cancel"), Control(3, K::Button, "&Help")}, 2},
        {"a list's Close", wnd::WindowKind::MdiChild, {Control(1, K::Button, "&Insert"), Control(2, K::Button, "&Close")}, 2},
        {"a button with the close action", wnd::WindowKind::Plain, {Control(1, K::Button, "Done", StdAction::Close)}, 1},
        {"a preview's File > Exit", wnd::WindowKind::Plain,
         {Control(1, K::MenuBar, ""), Control(2, K::Menu, "&File"), Control(3, K::Item, "&Print"), Control(4, K::Item, "E&xit")}, 4},
        {"a button before an item", wnd::WindowKind::Plain, {Control(1, K::Item, "E&xit"), Control(2, K::Button, "CANCEL")}, 2},
        {"none", wnd::WindowKind::Plain, {Control(1, K::Button, "&OK"), Control(2, K::Entry, "Cancel")}, 0},
        {"the frame ends nothing", wnd::WindowKind::AppFrame, {Control(1, K::Item, "E&xit", StdAction::Close)}, 0},
    };
    for (const auto& c : cases) {
        wnd::WindowState w;
        w.kind = c.kind;
        w.controls = c.controls;
        EXPECT_EQ(wnd::EscapeControl(w), c.pressed) << c.name;
    }
    // A hidden or disabled Cancel is not pressed.
    wnd::WindowState w;
    w.controls = {Control(1, K::Button, "&Cancel"), Control(2, K::Button, "&Close")};
    w.controls[0].disabled = true;
    EXPECT_EQ(wnd::EscapeControl(w), 2);
    w.controls[1].hidden = true;
    EXPECT_EQ(wnd::EscapeControl(w), 0);
}

}  // namespace
