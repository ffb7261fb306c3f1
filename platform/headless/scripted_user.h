#pragma once
// A user for tests, acting on the windows a HeadlessPresenter holds. Every call first waits until
// all task threads are idle (blocked on their queues with nothing on its way), acts, and waits
// again, so what a test reads afterwards is the task side's answer to what it did. A wait that
// does not settle in time, a window or control that does not exist, or acting on an inert window
// or a hidden or disabled control throws std::runtime_error.
//
// Texts are UTF-8, as the presenter holds them. Controls are named by use name ("?OK").
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless_presenter.h"

namespace hl {

class ScriptedUser;

// Keys typed one after another with no pause, as a fast typist types them (ScriptedUser::TypeAhead).
class KeySequence {
public:
    struct Stroke {
        char ch = 0;            // a character typed (in the records' code page), or
        wnd::KeyCode key = 0;   // a key pressed (Tab, Enter, Escape, Alt with a letter, ...)
    };
    KeySequence& Type(std::string_view utf8);  // each character of the text
    KeySequence& Key(wnd::KeyCode key);
    const std::vector<Stroke>& strokes() const { return strokes_; }

private:
    std::vector<Stroke> strokes_;
};

// One window as the user sees it.
class UserWindow {
public:
    UserWindow(ScriptedUser& user, wnd::WindowId id) : user_(&user), id_(id) {}
    wnd::WindowId id() const { return id_; }

    // Clicks into the control (leaving the one before, which accepts it if it was typed into) and
    // replaces its text, as typed or pasted over all of it: the control keeps what it can store
    // (see Notes). The control is not left yet.
    void Type(std::string_view use, std::string_view text);
    // Type, then Tab: the control is left and accepts the text.
    void Fill(std::string_view use, std::string_view text);
    // Types into an immediate combo key by key, as a user does: each character replaces the
    // selection or goes in at the caret ('\b' is Backspace) and reaches the task as a keystroke,
    // answered before the next key is typed. The combo is not left.
    void TypeIntoCombo(std::string_view use, std::string_view text);
    void Press(std::string_view use);          // a button or a menu item
    void PressKey(wnd::KeyCode key);           // on the control that has the focus
    void Click(std::string_view use);          // focus only
    void SetChecked(std::string_view use, bool checked);  // a check box
    void ChooseRadio(std::string_view use);
    void ChooseRow(std::string_view use, int row);        // lists, drop lists, combos; 1-based
    void ChooseTab(std::string_view tab);                 // brings a tab of a sheet forward
    // Mouse keys on a list, each reaching the task only where the list alerts them: a left double
    // click (0x05) or the right button (0x82) on a row (1-based, as shown), or a double click on
    // a column header (1-based).
    void DoubleClickRow(std::string_view list, int row);
    void RightClickRow(std::string_view list, int row);
    void DoubleClickHeader(std::string_view list, int column);
    void ClickHeader(std::string_view list, int column);  // a single left click on a column header
    void DragThumb(std::string_view list, int thumb);     // a paged list's scroll bar, 0..100
    void ResizeColumn(std::string_view list, int column, int width);  // dialog units
    // The list box was given room for `rows` whole rows (the window resized, tiled or maximised).
    void FitRows(std::string_view list, int rows);
    void CloseBox();                                      // the window's close box
    void Resize(int width, int height);                   // the window's body, in dialog units

    std::string Text(std::string_view use) const;
    std::string Caption() const;
    std::vector<std::vector<std::string>> Rows(std::string_view use) const;  // as shown, one text per column
    std::vector<std::string> Headers(std::string_view list) const;            // from the list's format
    std::shared_ptr<const wnd::PageSet> Pages(std::string_view preview) const; // null when none were sent
    bool Enabled(std::string_view use) const;  // it and every control around it
    bool Hidden(std::string_view use) const;
    bool Checked(std::string_view use) const;
    int Choice(std::string_view use) const;    // a list's row, a sheet's tab (control number)
    // An entry's selected characters [from, to), the caret at `to`; {size, size} when none is set.
    std::pair<int, int> Selection(std::string_view use) const;
    std::string Focus() const;                 // use name of the focused control
    // What the window told the user by itself, oldest first (a character it could not store).
    std::vector<std::string> Notes() const;
    bool Inert() const;
    bool Open() const;
    wnd::ControlState Control(std::string_view use) const;

private:
    ScriptedUser* user_;
    wnd::WindowId id_;
};

class ScriptedUser {
public:
    explicit ScriptedUser(std::shared_ptr<HeadlessPresenter> presenter,
                          std::chrono::milliseconds settle = std::chrono::seconds(20));

    // Waits until every task thread is idle.
    void WaitIdle() const;

    // Types the keys with no wait between them, each where the keyboard is when it is taken:
    // the focused control of the window opened last that takes input. As a desktop's input queue
    // does, a key waits while the window procedure acts on input before it that may open or close
    // a window (the presenter's hold), so a key after one that opens a window goes into that
    // window. A character goes into an entry, or into a completing entry as a keystroke; keys act
    // as PressKey. Waits until the task threads are idle before the first key and after the last.
    void TypeAhead(const KeySequence& keys);

    // The most recently opened window whose procedure (any case) or caption matches.
    UserWindow Find(std::string_view procedureOrCaption) const;
    bool Has(std::string_view procedureOrCaption) const;
    std::size_t WindowCount() const;

    // Message boxes waiting for an answer, oldest first.
    std::vector<wnd::MessageQuestion> Messages() const;
    bool HasMessage() const { return !Messages().empty(); }
    // Answers the oldest box whose text contains `containing` (any box for ""); throws when none.
    void Answer(unsigned button, std::string_view containing = "");
    // Popup menus waiting for a choice.
    std::vector<wnd::PopupQuestion> Popups() const;
    void ChoosePopup(std::string_view item);  // by its text, '&' ignored; "" chooses none
    // Print dialogs waiting, oldest first; AnswerPrint prints (true) or cancels the oldest.
    std::vector<wnd::PrintQuestion> PrintRequests() const;
    void AnswerPrint(bool print);
    std::vector<std::string> Actions() const;
    // What the program asked of the desktop: help shown, documents and web pages opened, the text
    // it put on the clipboard ("" before any).
    std::vector<wnd::HelpRequest> HelpRequests() const;
    std::vector<std::string> Documents() const;
    std::string Clipboard() const;
    bool Busy(int thread) const;

    HeadlessPresenter& presenter() const { return *presenter_; }

private:
    friend class UserWindow;
    struct Delivery {
        std::shared_ptr<wnd::InputSink> sink;
        wnd::InputEvent event;
        int thread = 0;
    };
    // Delivers in order; the input that calls for a hold holds what follows (InputHold::After).
    void DeliverAll(std::vector<Delivery>& out) const;
    // Runs `act` on the window under the presenter's lock, then delivers what it produced.
    template <typename F>
    void Act(wnd::WindowId id, F&& act);
    template <typename F>
    auto Read(wnd::WindowId id, F&& read) const;

    std::shared_ptr<HeadlessPresenter> presenter_;
    std::chrono::milliseconds settle_;
};

}  // namespace hl
