// What a control keeps of the user's edit, and the protocol a presenter follows for one window.
#include <gtest/gtest.h>

#include <string>

#include "platform/window/input_mirror.h"

namespace {

const std::string kPill = "\xF0\x9F\x92\x8A";  // outside the code page
const std::string kE = "\xC3\xA9";             // é: one byte in the code page

TEST(KeepStorable, TheChangeLosesWhatDoesNotFitAndTheTextAroundItStays) {
    constexpr std::size_t kEnd = std::string::npos;
    struct Case {
        const char* what;
        std::string before, typed;
        std::size_t max, caret;
        std::string kept, refused;
        bool cut;
        std::size_t keptCaret;
    };
    const std::string ten(10, 'x');
    const Case cases[] = {
        {"typed past the width", "", "abcdefghij", 8, kEnd, "abcdefgh", "", true, 8},
        {"typed inside a full control", "abcdefgh", "abXcdefgh", 8, 3, "abcdefgh", "", true, 2},
        {"a selection replaced", "Pen", "Fountain pen", 10, kEnd, "Fountain p", "", true, 10},
        {"a paste inside", "[]", "[1234567890]", 8, 11, "[123456]", "", true, 7},
        {"one character left out", "ab", "a" + kPill + "b", 0, 2, "ab", kPill, false, 1},
        {"a broken byte", "", "a\xFF" "b", 0, kEnd, "ab", "\xFF", false, 2},
        {"an overlong form is one character, left out", "", "a\xC1\x81" "b", 0, kEnd, "ab", "\xC1\x81", false, 2},
        {"accented letters count once", "", kE + kE + kE, 2, kEnd, kE + kE, "", true, 2},
        {"a line break counts once", "", "a\nb\nc", 3, kEnd, "a\nb", "", true, 3},
        {"no limit", "", std::string(5000, 'y'), 0, kEnd, std::string(5000, 'y'), "", false, 5000},
        {"deleting from a text longer than the width", ten, ten.substr(1), 8, 0, ten.substr(1), "", false, 0},
        {"adding to a text already too long", ten, ten + "z", 8, kEnd, ten, "", true, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const wnd::KeptInput k = wnd::KeepStorable(c.before, c.typed, c.max, c.caret);
        EXPECT_EQ(k.text, c.kept);
        EXPECT_EQ(k.refused, c.refused);
        EXPECT_EQ(k.cut, c.cut);
        EXPECT_EQ(k.caret(), c.keptCaret);
    }
}

TEST(InputMirror, ATypedControlKeepsItsTextThroughTheTasksUpdatesUntilItIsLeft) {
    wnd::InputMirror m;
    m.id = 4;
    for (int n = 1; n <= 2; ++n) {
        wnd::ControlState c;
        c.number = n;
        c.kind = wnd::ControlKind::Entry;
        c.maxChars = 5;
        m.state.controls.push_back(c);
    }
    m.state.focus = 1;
    m.Edited(1, m.Limit(1, "Smithson").text);
    // The task greys the control while the user types: its state changes, the typed text stays.
    wnd::ControlState greyed = m.state.controls[0];
    greyed.text = "old";
    greyed.disabled = true;
    m.TakeControl(greyed);
    EXPECT_TRUE(m.cs(1)->disabled);
    EXPECT_FALSE(m.TakeText(1, "answer to nothing typed", 0)) << "older than the typing";
    // The task moves the focus on: the control left accepts what was typed, once.
    const auto accepted = m.FocusCommand(2);
    ASSERT_TRUE(accepted.has_value());
    EXPECT_EQ(accepted->kind, wnd::InputEvent::Kind::Accepted);
    EXPECT_EQ(accepted->window, 4u);
    EXPECT_EQ(accepted->text, "Smith");
    EXPECT_EQ(accepted->revision, 1u);
    EXPECT_FALSE(m.Dirty(1));
    const auto moved = m.MoveFocus(1);
    ASSERT_EQ(moved.size(), 1u) << "nothing typed into the second: only the focus move";
    EXPECT_EQ(moved[0].kind, wnd::InputEvent::Kind::FocusChanged);
    EXPECT_EQ(moved[0].revision, 1u) << "the task's focus commands applied";
}

}  // namespace
