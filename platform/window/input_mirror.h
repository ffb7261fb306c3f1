#pragma once
// The presenter's side of the input protocol, the same for every presenter: its mirror of one
// window (the control states the task sent), the input revision of each control, which controls
// are typed into and not yet accepted, the focus moves the task asked for, and what leaving a
// control or pressing Enter on it turns into. It also keeps what the user types within what the
// control can store: no more characters than the control's `maxChars`, and only characters the
// records' code page holds. A presenter does the widget work and asks this class the rest.
// Not thread-safe: each presenter guards it as it guards its windows.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/presenter.h"

namespace wnd {

// What a control keeps of a text the user made by typing or pasting into `before`, the caret
// after the edit `caret` characters into `typed` (at the end when larger): the part that changed
// (it ends at the caret) loses the characters the code page cannot store and is cut so that the
// whole text has at most maxChars characters (0: no limit); the text around it stays. Texts in
// UTF-8. `prefix` and `suffix` count the characters kept unchanged before and after that part.
struct KeptInput {
    std::string text;
    std::string refused;  // the first character left out for the code page, as typed; "" none
    bool cut = false;     // characters were left out for the width
    std::size_t prefix = 0, suffix = 0;
    std::size_t caret() const;  // where the caret goes: after what was kept of the change
};
KeptInput KeepStorable(std::string_view before, std::string_view typed, std::size_t maxChars,
                       std::size_t caret = std::string_view::npos);
// The text without the characters the code page cannot store (and without broken UTF-8).
std::string StorablePart(std::string_view utf8, std::string* firstRefused = nullptr);
// The note shown when a character is left out.
std::string RefusedNote(std::string_view character);
// Characters of a UTF-8 text.
std::size_t CharacterCount(std::string_view utf8);

class InputMirror {
public:
    WindowId id = 0;
    WindowState state;  // texts in UTF-8

    ControlState* cs(int n) {
        return n >= 1 && static_cast<std::size_t>(n) <= state.controls.size() ? &state.controls[static_cast<std::size_t>(n - 1)] : nullptr;
    }
    const ControlState* cs(int n) const { return state.control(n); }

    // --- What the task sends ---
    // Caption, timer, keys, focus: the controls stay as they are.
    void TakeWindow(const WindowState& s);
    // A control's new state. A control being typed into keeps the user's text (the task's value
    // comes with SetText).
    void TakeControl(const ControlState& c);
    // The task's value of a control; false when dropped because the user has typed on since, or
    // because it is an immediate combo being typed into (whose text comes with TakeEntry).
    bool TakeText(int n, const std::string& text, std::uint64_t answersRevision);
    // An immediate combo's completed entry; false when dropped.
    bool TakeEntry(int n, const std::string& text, std::uint64_t answersRevision);
    // The task moves the focus: the control left accepts what was typed into it.
    std::optional<InputEvent> FocusCommand(int n);

    // --- What the user does ---
    // What control n keeps of `typed` (its whole text after the user's edit, the caret `caret`
    // characters into it), against the text it holds now.
    KeptInput Limit(int n, std::string_view typed, std::size_t caret = std::string_view::npos) const;
    // The user's edit, already limited: the control holds text and counts as typed into.
    void Edited(int n, std::string text);
    // A new input revision of the control without an edit (a caret move, a row chosen).
    std::uint64_t NextRevision(int n) { return ++revision_[n]; }
    // The focused control is left: its Accepted when it was typed into.
    std::optional<InputEvent> Leave();
    // Whether closing through control n (0: the window's close box) closes the frame, before
    // which what was typed and not yet left in every window is accepted (each window's Leave), so
    // a form's "changes will be lost" question knows of it.
    bool ClosesFrame(int n) const;
    // Enter on an input control: accepted whether or not it was changed.
    InputEvent Accept(int n);
    // Enter on an input control: its Accepted, then the press of the window's default button
    // (if it has one that can be pressed).
    std::vector<InputEvent> Enter(int n);
    // The user moved the focus to n: the Accepted of the control left (if any) and the
    // FocusChanged; nothing when n is 0 or already focused.
    std::vector<InputEvent> MoveFocus(int n);

    std::uint64_t Revision(int n) const;
    bool Dirty(int n) const { return dirty_.count(n) != 0; }

private:
    InputEvent Event(InputEvent::Kind kind, int n) const;

    std::map<int, std::uint64_t> revision_;  // latest input revision per control
    std::set<int> dirty_;                    // typed into and not yet accepted
    std::uint64_t focusCommands_ = 0;        // the task's SetFocus calls applied
};

}  // namespace wnd
