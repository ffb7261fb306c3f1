// Which input waits while a task thread acts on input before it: a thread's hold covers its own
// windows only, ends with the first wait that has taken in the held input, and after a keystroke
// into a completing entry lets typing through but not the keys that act beyond it.
#include <gtest/gtest.h>

#include <limits>

#include "platform/window/input_hold.h"

namespace {

using Kind = wnd::InputEvent::Kind;

TEST(InputHold, WhatEachKindOfInputHolds) {
    struct Case {
        Kind kind;
        bool holdsTyping, holdsCommands;
    };
    const Case cases[] = {
        {Kind::Pressed, true, true},      {Kind::Accepted, true, true},  {Kind::FocusChanged, true, true},
        {Kind::AlertKey, true, true},     {Kind::NewSelection, true, true}, {Kind::CloseRequest, true, true},
        {Kind::Answer, true, true},       {Kind::Typed, false, true},    {Kind::Resized, false, false},
        {Kind::Scrolled, false, false},   {Kind::MouseUp, false, false}, {Kind::RowsFit, false, false},
        {Kind::WindowFocus, false, false}, {Kind::ColumnResized, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        wnd::InputHold hold;
        EXPECT_EQ(hold.After(c.kind, 2, 5), c.holdsCommands);
        EXPECT_EQ(hold.Holds(2, true), c.holdsTyping);
        EXPECT_EQ(hold.Holds(2, false), c.holdsCommands);
        EXPECT_FALSE(hold.Holds(3, false)) << "another thread's windows never wait";
        // A sink that counts nothing is no thread's queue: nothing could end a hold for it.
        wnd::InputHold uncounted;
        EXPECT_FALSE(uncounted.After(c.kind, 2, 0));
        EXPECT_FALSE(uncounted.Holding());
    }
}

TEST(InputHold, AHoldEndsWithTheFirstWaitThatTookInTheHeldInput) {
    wnd::InputHold hold;
    hold.Hold(2, 5);
    hold.Hold(4, 1);
    EXPECT_FALSE(hold.Waiting(2, 4)) << "a wait begun before the input arrived";
    EXPECT_TRUE(hold.Holds(2, true));
    EXPECT_TRUE(hold.Waiting(2, 6));
    EXPECT_FALSE(hold.Holds(2, true));
    EXPECT_TRUE(hold.Holds(4, true)) << "each thread's own wait ends its hold";
    // A later hold of the same thread counts from its own input; a keystroke's hold ends alike.
    hold.Hold(2, 8);
    hold.HoldCommands(2, 9);
    EXPECT_TRUE(hold.Waiting(2, 8));
    EXPECT_TRUE(hold.Holds(2, false));
    EXPECT_FALSE(hold.Holds(2, true));
    EXPECT_TRUE(hold.Waiting(2, 9));
    EXPECT_FALSE(hold.Holds(2, false));
    // A thread that ends holds nothing more.
    EXPECT_TRUE(hold.Waiting(4, std::numeric_limits<std::uint64_t>::max()));
    EXPECT_FALSE(hold.Holding());
}

TEST(InputHold, AWaitHeardBeforeTheHoldAnswersIt) {
    // A presenter told of waits on the task's thread may hear of one before it holds for the
    // input that the wait has already taken in.
    wnd::InputHold hold;
    EXPECT_FALSE(hold.Waiting(2, 9));
    EXPECT_FALSE(hold.After(Kind::Pressed, 2, 9));
    EXPECT_FALSE(hold.Holds(2, true));
    EXPECT_TRUE(hold.After(Kind::Pressed, 2, 10));
    EXPECT_TRUE(hold.Holds(2, true));
    EXPECT_TRUE(hold.Release(2));
    EXPECT_FALSE(hold.Holding());
}

TEST(InputHold, ATaskStartedByHeldInputHoldsEverythingUntilItFirstWaits) {
    struct Case {
        const char* what;
        bool held;            // the starting thread held input when it started the task
        bool endsUnwaited;    // the new task ends without ever waiting
    };
    for (const Case c : {Case{"started by held input", true, false}, Case{"started by nothing held", false, false},
                         Case{"ending without a window", true, true}}) {
        SCOPED_TRACE(c.what);
        wnd::InputHold hold;
        hold.Waiting(6, 2);  // other threads at work long since
        hold.Waiting(1, 2);
        if (c.held) hold.Hold(1, 3);
        hold.StartingTask(1);
        hold.Waiting(1, 3);  // the starting thread waits again at once
        EXPECT_EQ(hold.Holds(6, true), c.held) << "every window waits for the new one";
        EXPECT_FALSE(hold.Waiting(6, 5)) << "a thread that waited before is not the new task";
        EXPECT_EQ(hold.Holds(6, true), c.held);
        if (c.endsUnwaited) EXPECT_TRUE(!hold.Release(7) && !hold.Holding());
        else EXPECT_EQ(hold.Waiting(7, 0), c.held) << "the new task's first wait";
        EXPECT_FALSE(hold.Holding());
    }
}

TEST(InputHold, KeysThatOnlyType) {
    using namespace wnd;
    for (KeyCode key : {KeyCode{'A'}, KeyCode{'5'}, KeyCode{' '}, kShift | 'A', kKeyBackspace, kKeyDelete, kKeyLeft,
                        kKeyEnd | kShift, KeyCode{0xBE}, KeyCode{0x6B}, kKeyShiftKey, KeyCode{0}})
        EXPECT_TRUE(OnlyTypes(key)) << KeyName(key);
    for (KeyCode key : {kKeyTab, kKeyShiftTab, kKeyEnter, kKeyEscape, kAlt | 'O', kAlt | '1', kCtrl | 'V', kKeyF1,
                        kKeyPageDown, kKeyUp, kKeyDown, kKeyApps, kKeyInsert})
        EXPECT_FALSE(OnlyTypes(key)) << KeyName(key);
}

}  // namespace
