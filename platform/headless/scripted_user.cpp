#include "platform/headless/scripted_user.h"

#include <algorithm>
#include <stdexcept>

#include "platform/runtime/codepage.h"
#include "platform/window/list_format.h"
#include "platform/window/task_queue.h"

namespace hl {
namespace {

using wnd::ControlKind;
using wnd::InputEvent;
using Kind = wnd::InputEvent::Kind;

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

int controlOf(const HeadlessWindow& w, std::string_view use) {
    const int n = w.state.controlByUse(use);
    if (n == 0) fail("window " + w.state.procedure + " has no control " + std::string(use));
    return n;
}

const wnd::ControlState& stateOf(const HeadlessWindow& w, int n) { return w.state.controls[static_cast<std::size_t>(n - 1)]; }

InputEvent input(const HeadlessWindow& w, Kind kind, int control) {
    InputEvent e;
    e.kind = kind;
    e.window = w.id;
    e.control = control;
    return e;
}

std::string withoutAmpersands(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != '&') out += c;
    return out;
}

// What a user's actions produce, delivered in order once the presenter's lock is released.
struct Outbox {
    HeadlessWindow& w;
    std::vector<InputEvent> events;

    void Usable(int n) {
        if (w.inert) fail("window " + w.state.procedure + " is inert");
        if (!wnd::Reachable(w.state, n)) fail("control " + stateOf(w, n).use + " is hidden or disabled");
    }
    bool leaveEvery = false;  // every window's typed text is accepted before these events

    // The focused control is left: typed text is accepted.
    void Leave() {
        if (auto e = w.Leave()) events.push_back(std::move(*e));
    }
    // Before a close (the close box, n == 0, or a close item): what was typed and not yet left counts
    // as a change the close may ask about; before the frame's close, in every window.
    void LeaveBeforeClose(int n) {
        Leave();
        leaveEvery = w.ClosesFrame(n);
    }
    void MoveFocus(int n) {
        for (InputEvent& e : w.MoveFocus(n)) events.push_back(std::move(e));
    }
    // The user's edit of control n, kept within what the control can store.
    void Edit(int n, std::string_view typed) {
        const wnd::KeptInput kept = w.Limit(n, typed);
        if (!kept.refused.empty()) w.notes.push_back(wnd::RefusedNote(kept.refused));
        w.Edited(n, kept.text);
    }
};

}  // namespace

ScriptedUser::ScriptedUser(std::shared_ptr<HeadlessPresenter> presenter, std::chrono::milliseconds settle)
    : presenter_(std::move(presenter)), settle_(settle) {}

void ScriptedUser::WaitIdle() const {
    if (!wnd::Activity::WaitIdle(settle_))
        fail("the task threads did not become idle (" + std::to_string(wnd::Activity::Busy()) + " still at work)");
}

template <typename F>
void ScriptedUser::Act(wnd::WindowId id, F&& act) {
    WaitIdle();
    std::vector<Delivery> out;
    {
        std::lock_guard lock(presenter_->mutex());
        auto it = presenter_->windows().find(id);
        if (it == presenter_->windows().end()) fail("the window is no longer open");
        // A popup menu open on the window's thread takes every key and click, as on a screen.
        for (const PendingPopup& p : presenter_->popups())
            if (p.question.thread == it->second.thread) fail("window " + it->second.state.procedure + " waits for its popup menu");
        Outbox box{it->second, {}};
        act(box);
        if (box.leaveEvery)
            for (auto& [other, w] : presenter_->windows())
                if (other != id)
                    if (auto e = w.Leave()) out.push_back(Delivery{w.sink, std::move(*e), w.thread});
        for (InputEvent& e : box.events) out.push_back(Delivery{it->second.sink, std::move(e), it->second.thread});
    }
    DeliverAll(out);
    WaitIdle();
}

void ScriptedUser::DeliverAll(std::vector<Delivery>& out) const {
    for (Delivery& d : out) {
        // Under the presenter's lock, so the task hears the hold is made before it can tell the
        // presenter it starts a task because of the input (a queue delivers without the presenter).
        std::lock_guard lock(presenter_->mutex());
        const Kind kind = d.event.kind;
        d.sink->Deliver(std::move(d.event));
        presenter_->hold().After(kind, d.thread, d.sink->Received());
    }
}

template <typename F>
auto ScriptedUser::Read(wnd::WindowId id, F&& read) const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    auto it = presenter_->windows().find(id);
    if (it == presenter_->windows().end()) fail("the window is no longer open");
    return read(static_cast<const HeadlessWindow&>(it->second));
}

UserWindow ScriptedUser::Find(std::string_view name) const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    const HeadlessWindow* best = nullptr;
    for (const auto& [id, w] : presenter_->windows()) {
        const bool match = rt::compareNoCase(w.state.procedure, name) == 0 || w.state.caption == name;
        if (match && (!best || w.order > best->order)) best = &w;
    }
    if (!best) fail("no window " + std::string(name) + " is open");
    return UserWindow(const_cast<ScriptedUser&>(*this), best->id);
}

bool ScriptedUser::Has(std::string_view name) const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    for (const auto& [id, w] : presenter_->windows())
        if (rt::compareNoCase(w.state.procedure, name) == 0 || w.state.caption == name) return true;
    return false;
}

std::size_t ScriptedUser::WindowCount() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    return presenter_->windows().size();
}

std::vector<wnd::MessageQuestion> ScriptedUser::Messages() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    std::vector<wnd::MessageQuestion> out;
    for (const PendingMessage& m : presenter_->messages()) out.push_back(m.question);
    return out;
}

void ScriptedUser::Answer(unsigned button, std::string_view containing) {
    WaitIdle();
    PendingMessage m;
    {
        std::lock_guard lock(presenter_->mutex());
        auto& list = presenter_->messages();
        auto it = list.begin();
        while (it != list.end() && it->question.text.find(containing) == std::string::npos) ++it;
        if (it == list.end()) fail("no message box says \"" + std::string(containing) + "\"");
        if (!(button & it->question.buttons)) fail("the message box has no such button");
        m = std::move(*it);
        list.erase(it);
    }
    InputEvent e;
    e.kind = Kind::Answer;
    e.question = m.question.id;
    e.answer = static_cast<int>(button);
    m.sink->Deliver(std::move(e));
    WaitIdle();
}

std::vector<wnd::PrintQuestion> ScriptedUser::PrintRequests() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    std::vector<wnd::PrintQuestion> out;
    for (const PendingPrint& p : presenter_->prints()) out.push_back(p.question);
    return out;
}

void ScriptedUser::AnswerPrint(bool print) {
    WaitIdle();
    PendingPrint p;
    {
        std::lock_guard lock(presenter_->mutex());
        auto& list = presenter_->prints();
        if (list.empty()) fail("no print dialog is open");
        p = std::move(list.front());
        list.erase(list.begin());
    }
    InputEvent e;
    e.kind = Kind::Answer;
    e.question = p.question.id;
    e.answer = print ? 1 : 0;
    p.sink->Deliver(std::move(e));
    WaitIdle();
}

std::vector<wnd::PopupQuestion> ScriptedUser::Popups() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    std::vector<wnd::PopupQuestion> out;
    for (const PendingPopup& p : presenter_->popups()) out.push_back(p.question);
    return out;
}

void ScriptedUser::ChoosePopup(std::string_view item) {
    WaitIdle();
    PendingPopup p;
    int answer = 0;
    {
        std::lock_guard lock(presenter_->mutex());
        auto& list = presenter_->popups();
        if (list.empty()) fail("no popup menu is open");
        p = std::move(list.front());
        list.erase(list.begin());
        if (!item.empty()) {
            int n = 0;
            for (const std::string& text : p.question.items) {
                if (text == "-") continue;
                ++n;
                if (withoutAmpersands(text) == withoutAmpersands(item)) answer = n;
                if (!text.empty() && text[0] == '~' && withoutAmpersands(text.substr(1)) == withoutAmpersands(item)) {
                    list.insert(list.begin(), std::move(p));
                    fail("the popup item " + std::string(item) + " is greyed");
                }
            }
            if (answer == 0) {
                list.insert(list.begin(), std::move(p));
                fail("the popup menu has no item " + std::string(item));
            }
        }
    }
    InputEvent e;
    e.kind = Kind::Answer;
    e.question = p.question.id;
    e.answer = answer;
    p.sink->Deliver(std::move(e));
    WaitIdle();
}

std::vector<std::string> ScriptedUser::Actions() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    return presenter_->actions();
}

std::vector<wnd::HelpRequest> ScriptedUser::HelpRequests() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    return presenter_->helpRequests();
}

std::vector<std::string> ScriptedUser::Documents() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    return presenter_->documents();
}

std::string ScriptedUser::Clipboard() const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    return presenter_->clipboard();
}

bool ScriptedUser::Busy(int thread) const {
    WaitIdle();
    std::lock_guard lock(presenter_->mutex());
    const auto it = presenter_->busy().find(thread);
    return it != presenter_->busy().end() && it->second;
}

// --- Acting on a window --------------------------------------------------------------------------

void UserWindow::Type(std::string_view use, std::string_view text) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, use);
        box.Usable(n);
        if (!wnd::TakesFocus(stateOf(box.w, n).kind)) fail("control " + std::string(use) + " takes no typing");
        if (stateOf(box.w, n).readOnly) fail("control " + std::string(use) + " is read-only");
        box.MoveFocus(n);
        box.Edit(n, text);
        box.w.selection.erase(n);
    });
}

namespace {

// One keystroke into an immediate combo's entry (text in the code page: a character is a byte).
void typeKey(Outbox& box, int n, char ch) {
    wnd::ControlState& c = box.w.state.controls[static_cast<std::size_t>(n - 1)];
    std::string text = rt::utf8ToCp1252(c.text).value_or(std::string());
    const int size = static_cast<int>(text.size());
    auto [from, to] = box.w.selection.count(n) ? box.w.selection[n] : std::pair<int, int>{size, size};
    to = std::clamp(to, 0, size);
    from = std::clamp(from, 0, to);
    wnd::KeyCode key = 0;
    if (ch == '\b') {
        key = wnd::kKeyBackspace;
        if (from < to) text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
        else if (from > 0) text.erase(static_cast<std::size_t>(--from), 1);
    } else {
        const auto u = static_cast<unsigned char>(ch);
        key = u >= 'a' && u <= 'z' ? u - 'a' + 'A' : u;
        text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), 1, ch);
        ++from;
    }
    // The entry keeps what fits, as the Qt presenter's does: a key past its width changes nothing.
    const wnd::KeptInput kept = box.w.Limit(n, rt::cp1252ToUtf8(text), static_cast<std::size_t>(from));
    if (kept.cut) from = static_cast<int>(kept.caret());
    box.w.Edited(n, kept.text);
    box.w.selection[n] = {from, from};
    InputEvent e = input(box.w, Kind::Typed, n);
    e.text = c.text;
    e.caret = from;
    e.key = key;
    e.revision = box.w.Revision(n);
    box.events.push_back(std::move(e));
}

}  // namespace

void UserWindow::TypeIntoCombo(std::string_view use, std::string_view utf8Text) {
    std::string bad;
    const auto keys = rt::utf8ToCp1252(utf8Text, &bad);
    if (!keys) fail("the character " + bad + " cannot be typed here");
    Click(use);
    for (char ch : *keys)
        user_->Act(id_, [&](Outbox& box) {
            const int n = controlOf(box.w, use);
            box.Usable(n);
            const wnd::ControlState& c = stateOf(box.w, n);
            if ((c.kind != ControlKind::Combo && c.kind != ControlKind::DropCombo) || !c.immediate)
                fail("control " + std::string(use) + " is no immediate combo");
            if (c.readOnly) fail("control " + std::string(use) + " is read-only");
            typeKey(box, n, ch);
        });
}

void UserWindow::Fill(std::string_view use, std::string_view text) {
    Type(use, text);
    PressKey(wnd::kKeyTab);
}

void UserWindow::Click(std::string_view use) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, use);
        box.Usable(n);
        if (wnd::TakesFocus(stateOf(box.w, n).kind)) box.MoveFocus(n);
    });
}

void UserWindow::Press(std::string_view use) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, use);
        box.Usable(n);
        const ControlKind k = stateOf(box.w, n).kind;
        if (k != ControlKind::Button && k != ControlKind::Item) fail("control " + std::string(use) + " cannot be pressed");
        if (wnd::TakesFocus(k)) box.MoveFocus(n);
        else box.LeaveBeforeClose(n);  // a menu item takes no focus but the typed text is still accepted first
        box.events.push_back(input(box.w, Kind::Pressed, n));
    });
}

namespace {

// An Alt-letter's control acts as a click on it does; a prompt's leads to the control after it.
void pressMnemonic(Outbox& box, int n) {
    wnd::ControlState& c = box.w.state.controls[static_cast<std::size_t>(n - 1)];
    switch (c.kind) {
        case ControlKind::Prompt: box.MoveFocus(wnd::NextTabStop(box.w.state, n)); return;
        case ControlKind::Check: {
            box.MoveFocus(n);
            c.checked = !c.checked;
            InputEvent e = input(box.w, Kind::Accepted, n);
            e.text = c.checked ? "1" : "0";
            box.events.push_back(std::move(e));
            return;
        }
        case ControlKind::Radio:
            box.MoveFocus(n);
            for (wnd::ControlState& r : box.w.state.controls)
                if (r.kind == ControlKind::Radio && r.parent == c.parent) r.checked = r.number == n;
            box.events.push_back(input(box.w, Kind::Accepted, n));
            return;
        default:
            box.MoveFocus(n);
            box.events.push_back(input(box.w, Kind::Pressed, n));
            return;
    }
}

// A key on the focused control, as the user presses it.
void pressKey(Outbox& box, wnd::KeyCode typed) {
    if (box.w.inert) fail("window " + box.w.state.procedure + " is inert");
    const wnd::KeyCode key = box.w.state.Translate(typed);
    const int f = box.w.state.focus;
    const wnd::ControlState* c = box.w.state.control(f);
    if ((c && c->Alerts(key)) || box.w.state.AlertsKey(key)) {
        InputEvent e = input(box.w, Kind::AlertKey, c ? f : 0);
        e.key = key;
        box.events.push_back(std::move(e));
        return;
    }
    // An Alt-letter the window marks acts on its control; any other types nothing.
    if (const int n = wnd::MnemonicControl(box.w.state, key, [](int) { return true; })) {
        pressMnemonic(box, n);
        return;
    }
    // Ctrl+F4 is the window's close box; the frame closes only through its own.
    if (key == (wnd::kCtrl | wnd::kKeyF4)) {
        if (box.w.state.kind == wnd::WindowKind::AppFrame) return;
        box.LeaveBeforeClose(0);
        box.events.push_back(input(box.w, Kind::CloseRequest, 0));
        return;
    }
    // Escape presses the window's Cancel or Close button (or its Exit item), as a click does.
    if (const int n = key == wnd::kKeyEscape ? wnd::EscapeControl(box.w.state) : 0) {
        if (wnd::TakesFocus(stateOf(box.w, n).kind)) box.MoveFocus(n);
        else box.LeaveBeforeClose(n);
        box.events.push_back(input(box.w, Kind::Pressed, n));
        return;
    }
    // The keys a control acts on by itself.
    if (key == wnd::kKeyTab || key == wnd::kKeyShiftTab) {
        box.MoveFocus(wnd::NextTabStop(box.w.state, f, key == wnd::kKeyTab));
        return;
    }
    if (key != wnd::kKeyEnter || !c) return;
    switch (c->kind) {
        case ControlKind::Button: box.events.push_back(input(box.w, Kind::Pressed, f)); return;
        case ControlKind::Text:
            if (!c->single) {
                box.Edit(f, c->text + "\n");
                return;
            }
            [[fallthrough]];
        case ControlKind::Entry: case ControlKind::Spin: case ControlKind::Combo: case ControlKind::DropCombo: {
            // Enter accepts the entry whether or not it was changed.
            for (auto& e : box.w.Enter(f)) box.events.push_back(std::move(e));
            return;
        }
        default: return;
    }
}

}  // namespace

void UserWindow::PressKey(wnd::KeyCode typed) {
    user_->Act(id_, [&](Outbox& box) { pressKey(box, typed); });
}

KeySequence& KeySequence::Type(std::string_view utf8) {
    std::string bad;
    const auto chars = rt::utf8ToCp1252(utf8, &bad);
    if (!chars) fail("the character " + bad + " cannot be typed here");
    for (char ch : *chars) strokes_.push_back(Stroke{ch, 0});
    return *this;
}

KeySequence& KeySequence::Key(wnd::KeyCode key) {
    strokes_.push_back(Stroke{0, key});
    return *this;
}

namespace {

// The window the keyboard is in: the one opened last that takes input (the frame only when no
// other does).
HeadlessWindow* keyboardWindow(HeadlessPresenter& p) {
    HeadlessWindow* best = nullptr;
    for (auto& [id, w] : p.windows()) {
        if (w.inert) continue;
        const bool frame = w.state.kind == wnd::WindowKind::AppFrame;
        if (!best || (!frame && (best->state.kind == wnd::WindowKind::AppFrame || w.order > best->order))) best = &w;
    }
    return best;
}

// A character typed on the focused control: into an entry, as a keystroke into a completing
// one; on any other control it is a key (an alerted letter, or nothing).
void typeCharacter(Outbox& box, char ch) {
    const int f = box.w.state.focus;
    const wnd::ControlState* c = box.w.state.control(f);
    const bool entry = c && !c->readOnly &&
                       (c->kind == ControlKind::Entry || c->kind == ControlKind::Text || c->kind == ControlKind::Spin ||
                        c->kind == ControlKind::Combo || c->kind == ControlKind::DropCombo);
    if (entry && c->immediate) {
        typeKey(box, f, ch);
    } else if (entry) {
        box.Edit(f, c->text + rt::cp1252ToUtf8(std::string(1, ch)));
    } else {
        const auto u = static_cast<unsigned char>(ch);
        const bool letter = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == ' ';
        if (letter) pressKey(box, u >= 'a' && u <= 'z' ? u - 'a' + 'A' : u);
    }
}

}  // namespace

void ScriptedUser::TypeAhead(const KeySequence& keys) {
    WaitIdle();
    const auto deadline = std::chrono::steady_clock::now() + settle_;
    for (const KeySequence::Stroke& stroke : keys.strokes()) {
        std::vector<Delivery> out;
        {
            std::unique_lock lock(presenter_->mutex());
            const bool typing = stroke.ch != 0 || wnd::OnlyTypes(stroke.key);
            HeadlessWindow* w = nullptr;
            for (;;) {
                w = keyboardWindow(*presenter_);
                // Keys for the frame (or for no window) wait behind any hold: the window about to
                // open or return has the keyboard meanwhile.
                const bool frame = !w || w->state.kind == wnd::WindowKind::AppFrame;
                const bool held = frame ? presenter_->hold().Holding() : presenter_->hold().Holds(w->thread, typing);
                if (!held) break;
                // Looked at again now and then too: the keyboard may move on without a hold ending.
                presenter_->holdEnded().wait_for(lock, std::chrono::milliseconds(20));
                if (std::chrono::steady_clock::now() > deadline) fail("a key typed ahead waited too long for its window");
            }
            if (!w) fail("no window takes the keys typed ahead");
            for (const PendingPopup& p : presenter_->popups())
                if (p.question.thread == w->thread) fail("window " + w->state.procedure + " waits for its popup menu");
            for (const PendingMessage& m : presenter_->messages())
                if (m.question.thread == w->thread) fail("a message box of window " + w->state.procedure + " waits: \"" + m.question.text + "\"");
            Outbox box{*w, {}};
            if (stroke.ch) typeCharacter(box, stroke.ch);
            else pressKey(box, stroke.key);
            if (box.leaveEvery)
                for (auto& [other, o] : presenter_->windows())
                    if (other != w->id)
                        if (auto e = o.Leave()) out.push_back(Delivery{o.sink, std::move(*e), o.thread});
            for (InputEvent& e : box.events) out.push_back(Delivery{w->sink, std::move(e), w->thread});
        }
        DeliverAll(out);
    }
    WaitIdle();
}

void UserWindow::SetChecked(std::string_view use, bool checked) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, use);
        box.Usable(n);
        if (stateOf(box.w, n).kind != ControlKind::Check) fail("control " + std::string(use) + " is no check box");
        box.MoveFocus(n);
        box.w.state.controls[static_cast<std::size_t>(n - 1)].checked = checked;
        InputEvent e = input(box.w, Kind::Accepted, n);
        e.text = checked ? "1" : "0";
        box.events.push_back(std::move(e));
    });
}

void UserWindow::ChooseRadio(std::string_view use) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, use);
        box.Usable(n);
        if (stateOf(box.w, n).kind != ControlKind::Radio) fail("control " + std::string(use) + " is no radio button");
        box.MoveFocus(n);
        for (wnd::ControlState& r : box.w.state.controls)
            if (r.kind == ControlKind::Radio && r.parent == stateOf(box.w, n).parent) r.checked = r.number == n;
        box.events.push_back(input(box.w, Kind::Accepted, n));
    });
}

void UserWindow::ChooseRow(std::string_view use, int row) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, use);
        box.Usable(n);
        const std::size_t count = box.w.rows.count(n) ? box.w.rows[n].size() : 0;
        if (row < 1 || static_cast<std::size_t>(row) > count) fail("control " + std::string(use) + " has no row " + std::to_string(row));
        box.MoveFocus(n);
        box.w.state.controls[static_cast<std::size_t>(n - 1)].choice = row;
        InputEvent e = input(box.w, Kind::NewSelection, n);
        e.row = row;
        e.revision = box.w.NextRevision(n);
        box.events.push_back(std::move(e));
    });
}

void UserWindow::ChooseTab(std::string_view tab) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, tab);
        box.Usable(n);
        const wnd::ControlState& t = stateOf(box.w, n);
        if (t.kind != ControlKind::Tab || !box.w.state.control(t.parent)) fail("control " + std::string(tab) + " is no tab of a sheet");
        box.Leave();
        box.w.state.controls[static_cast<std::size_t>(t.parent - 1)].choice = n;
        InputEvent e = input(box.w, Kind::NewSelection, t.parent);
        e.row = n;
        box.events.push_back(std::move(e));
    });
}

namespace {

// A mouse key on a list row or header: an alert key with the pointer's place.
void listMouse(Outbox& box, std::string_view use, wnd::KeyCode key, int row, int column) {
    const int n = controlOf(box.w, use);
    box.Usable(n);
    if (stateOf(box.w, n).kind != ControlKind::List) fail("control " + std::string(use) + " is no list");
    const std::size_t count = box.w.rows.count(n) ? box.w.rows[n].size() : 0;
    if (row < 0 || static_cast<std::size_t>(row) > count) fail("list " + std::string(use) + " shows no row " + std::to_string(row));
    box.MoveFocus(n);
    if (!stateOf(box.w, n).Alerts(key)) return;
    InputEvent e = input(box.w, Kind::AlertKey, n);
    e.key = key;
    e.row = row;
    e.column = column;
    box.events.push_back(std::move(e));
}

}  // namespace

void UserWindow::DoubleClickRow(std::string_view list, int row) {
    user_->Act(id_, [&](Outbox& box) { listMouse(box, list, wnd::kKeyMouseLeft2, row, 1); });
}

void UserWindow::RightClickRow(std::string_view list, int row) {
    user_->Act(id_, [&](Outbox& box) { listMouse(box, list, wnd::kKeyMouseRightUp, row, 1); });
}

void UserWindow::DoubleClickHeader(std::string_view list, int column) {
    user_->Act(id_, [&](Outbox& box) { listMouse(box, list, wnd::kKeyMouseLeft2, 0, column); });
}

void UserWindow::ClickHeader(std::string_view list, int column) {
    user_->Act(id_, [&](Outbox& box) { listMouse(box, list, wnd::kKeyMouseLeft, 0, column); });
}

void UserWindow::DragThumb(std::string_view list, int thumb) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, list);
        box.Usable(n);
        box.MoveFocus(n);
        InputEvent e = input(box.w, Kind::Scrolled, n);
        e.row = thumb;
        box.events.push_back(std::move(e));
    });
}

void UserWindow::FitRows(std::string_view list, int rows) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, list);
        InputEvent e = input(box.w, Kind::RowsFit, n);
        e.row = rows;
        box.events.push_back(std::move(e));
    });
}

void UserWindow::ResizeColumn(std::string_view list, int column, int width) {
    user_->Act(id_, [&](Outbox& box) {
        const int n = controlOf(box.w, list);
        box.Usable(n);
        auto columns = wnd::ParseListFormat(stateOf(box.w, n).format);
        if (column < 1 || static_cast<std::size_t>(column) > columns.size()) fail("list " + std::string(list) + " has no column " + std::to_string(column));
        columns[static_cast<std::size_t>(column - 1)].width = width;
        box.w.state.controls[static_cast<std::size_t>(n - 1)].format = wnd::FormatListFormat(columns);
        InputEvent e = input(box.w, Kind::ColumnResized, n);
        e.column = column;
        e.width = width;
        box.events.push_back(std::move(e));
    });
}

void UserWindow::Resize(int width, int height) {
    user_->Act(id_, [&](Outbox& box) {
        InputEvent e = input(box.w, Kind::Resized, 0);
        e.width = width;
        e.height = height;
        box.events.push_back(std::move(e));
    });
}

void UserWindow::CloseBox() {
    user_->Act(id_, [&](Outbox& box) {
        if (box.w.inert) fail("window " + box.w.state.procedure + " is inert");
        box.LeaveBeforeClose(0);
        box.events.push_back(input(box.w, Kind::CloseRequest, 0));
    });
}

// --- Reading a window ----------------------------------------------------------------------------

std::string UserWindow::Text(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) { return stateOf(w, controlOf(w, use)).text; });
}

std::vector<std::string> UserWindow::Headers(std::string_view list) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) {
        std::vector<std::string> out;
        for (const wnd::ListColumn& c : wnd::ParseListFormat(stateOf(w, controlOf(w, list)).format)) out.push_back(c.header);
        return out;
    });
}

std::string UserWindow::Caption() const {
    return user_->Read(id_, [&](const HeadlessWindow& w) { return w.state.caption; });
}

std::vector<std::vector<std::string>> UserWindow::Rows(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) {
        const auto it = w.rows.find(controlOf(w, use));
        return it == w.rows.end() ? std::vector<std::vector<std::string>>{} : it->second;
    });
}

std::shared_ptr<const wnd::PageSet> UserWindow::Pages(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) {
        const auto it = w.pages.find(controlOf(w, use));
        return it == w.pages.end() ? std::shared_ptr<const wnd::PageSet>{} : it->second;
    });
}

bool UserWindow::Enabled(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) {
        for (const wnd::ControlState* c = w.state.control(controlOf(w, use)); c; c = w.state.control(c->parent))
            if (c->disabled) return false;
        return true;
    });
}

bool UserWindow::Hidden(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) {
        for (const wnd::ControlState* c = w.state.control(controlOf(w, use)); c; c = w.state.control(c->parent))
            if (c->hidden) return true;
        return false;
    });
}

bool UserWindow::Checked(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) { return stateOf(w, controlOf(w, use)).checked; });
}

int UserWindow::Choice(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) { return stateOf(w, controlOf(w, use)).choice; });
}

std::string UserWindow::Focus() const {
    return user_->Read(id_, [&](const HeadlessWindow& w) {
        const wnd::ControlState* c = w.state.control(w.state.focus);
        return c ? c->use : std::string();
    });
}

std::vector<std::string> UserWindow::Notes() const {
    return user_->Read(id_, [&](const HeadlessWindow& w) { return w.notes; });
}

bool UserWindow::Inert() const {
    return user_->Read(id_, [&](const HeadlessWindow& w) { return w.inert; });
}

bool UserWindow::Open() const {
    user_->WaitIdle();
    std::lock_guard lock(user_->presenter_->mutex());
    return user_->presenter_->windows().count(id_) != 0;
}

wnd::ControlState UserWindow::Control(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) { return stateOf(w, controlOf(w, use)); });
}

}  // namespace hl

namespace hl {

std::pair<int, int> UserWindow::Selection(std::string_view use) const {
    return user_->Read(id_, [&](const HeadlessWindow& w) {
        const int n = controlOf(w, use);
        if (const auto it = w.selection.find(n); it != w.selection.end()) return it->second;
        const int size = static_cast<int>(rt::utf8ToCp1252(stateOf(w, n).text).value_or(std::string()).size());
        return std::pair<int, int>{size, size};
    });
}

}  // namespace hl
