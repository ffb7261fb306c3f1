#include "platform/window/input_mirror.h"

#include <algorithm>

#include "platform/runtime/codepage.h"
#include "platform/runtime/utf8.h"

namespace wnd {
namespace {

// The UTF-8 sequences of a text, one per character; a broken character (see rt::utf8) is one too.
std::vector<std::string_view> characters(std::string_view s) {
    std::vector<std::string_view> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = rt::utf8::Decode(s.substr(i)).length;
        out.push_back(s.substr(i, length));
        i += length;
    }
    return out;
}

bool storable(std::string_view character) {
    const rt::utf8::Character c = rt::utf8::Decode(character);
    return c.valid && c.length == character.size() && rt::cp1252Byte(c.code).has_value();
}

}  // namespace

std::size_t KeptInput::caret() const { return CharacterCount(text) - suffix; }

std::size_t CharacterCount(std::string_view utf8) { return characters(utf8).size(); }

std::string StorablePart(std::string_view utf8, std::string* firstRefused) {
    std::string out;
    out.reserve(utf8.size());
    for (std::string_view ch : characters(utf8)) {
        if (storable(ch)) out += ch;
        else if (firstRefused && firstRefused->empty()) *firstRefused = std::string(ch);
    }
    return out;
}

std::string RefusedNote(std::string_view character) {
    return "The character " + std::string(character) + " cannot be stored here.";
}

KeptInput KeepStorable(std::string_view before, std::string_view typed, std::size_t maxChars, std::size_t caret) {
    const auto old = characters(before);
    const auto now = characters(typed);
    // The change ends at the caret: what stands after it was there before, and so was what the
    // two texts begin with.
    const std::size_t after = now.size() - std::min(caret, now.size());
    std::size_t suffix = 0;
    while (suffix < after && suffix < old.size() && old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) ++suffix;
    std::size_t prefix = 0;
    while (prefix < old.size() - suffix && prefix < now.size() - suffix && old[prefix] == now[prefix]) ++prefix;
    KeptInput k;
    k.prefix = prefix;
    k.suffix = suffix;
    const std::size_t around = prefix + suffix;
    std::size_t room = maxChars == 0 ? now.size() : (maxChars > around ? maxChars - around : 0);
    std::string middle;
    for (std::size_t i = prefix; i < now.size() - suffix; ++i) {
        if (!storable(now[i])) {
            if (k.refused.empty()) k.refused = std::string(now[i]);
            continue;
        }
        if (room == 0) {
            k.cut = true;
            continue;
        }
        --room;
        middle += now[i];
    }
    for (std::size_t i = 0; i < prefix; ++i) k.text += now[i];
    k.text += middle;
    for (std::size_t i = now.size() - suffix; i < now.size(); ++i) k.text += now[i];
    return k;
}

// --- The mirror --------------------------------------------------------------------------------

InputEvent InputMirror::Event(InputEvent::Kind kind, int n) const {
    InputEvent e;
    e.kind = kind;
    e.window = id;
    e.control = n;
    return e;
}

void InputMirror::TakeWindow(const WindowState& s) {
    auto controls = std::move(state.controls);
    state = s;
    state.controls = std::move(controls);
}

void InputMirror::TakeControl(const ControlState& c) {
    if (c.number < 1) return;
    const auto n = static_cast<std::size_t>(c.number);
    if (n > state.controls.size()) state.controls.resize(n);
    std::string typed;
    const bool keep = Dirty(c.number);
    if (keep) typed = std::move(state.controls[n - 1].text);
    state.controls[n - 1] = c;
    if (keep) state.controls[n - 1].text = std::move(typed);
}

bool InputMirror::TakeText(int n, const std::string& text, std::uint64_t answersRevision) {
    ControlState* c = cs(n);
    if (!c || answersRevision < Revision(n)) return false;  // the user has typed on since
    // An immediate combo being typed into changes only with its completed entry (TakeEntry), text
    // and selection together: a text alone, shown before the selection comes, would let the next
    // key land after the completion instead of replacing it.
    if (c->immediate && Dirty(n)) return false;
    c->text = text;
    dirty_.erase(n);
    return true;
}

bool InputMirror::TakeEntry(int n, const std::string& text, std::uint64_t answersRevision) {
    ControlState* c = cs(n);
    if (!c || answersRevision < Revision(n)) return false;
    c->text = text;
    return true;
}

std::optional<InputEvent> InputMirror::FocusCommand(int n) {
    std::optional<InputEvent> left;
    if (n != state.focus) left = Leave();
    state.focus = n;
    ++focusCommands_;
    return left;
}

KeptInput InputMirror::Limit(int n, std::string_view typed, std::size_t caret) const {
    const ControlState* c = cs(n);
    if (!c) return KeptInput{std::string(typed), {}, false, 0, 0};
    return KeepStorable(c->text, typed, static_cast<std::size_t>(std::max(0, c->maxChars)), caret);
}

void InputMirror::Edited(int n, std::string text) {
    if (ControlState* c = cs(n)) c->text = std::move(text);
    ++revision_[n];
    dirty_.insert(n);
}

std::optional<InputEvent> InputMirror::Leave() {
    const int f = state.focus;
    if (!dirty_.erase(f) || !cs(f)) return std::nullopt;
    InputEvent e = Event(InputEvent::Kind::Accepted, f);
    e.text = cs(f)->text;
    e.revision = Revision(f);
    return e;
}

bool InputMirror::ClosesFrame(int n) const {
    if (state.kind != WindowKind::AppFrame) return false;
    const ControlState* c = cs(n);
    return n == 0 || (c && c->std == StdAction::Close);
}

InputEvent InputMirror::Accept(int n) {
    dirty_.erase(n);
    InputEvent e = Event(InputEvent::Kind::Accepted, n);
    if (const ControlState* c = cs(n)) e.text = c->text;
    e.revision = Revision(n);
    return e;
}

std::vector<InputEvent> InputMirror::Enter(int n) {
    std::vector<InputEvent> out{Accept(n)};
    if (const int button = DefaultButton(state)) out.push_back(Event(InputEvent::Kind::Pressed, button));
    return out;
}

std::vector<InputEvent> InputMirror::MoveFocus(int n) {
    std::vector<InputEvent> out;
    if (n == 0 || n == state.focus) return out;
    if (auto left = Leave()) out.push_back(std::move(*left));
    state.focus = n;
    InputEvent e = Event(InputEvent::Kind::FocusChanged, n);
    e.revision = focusCommands_;
    out.push_back(std::move(e));
    return out;
}

std::uint64_t InputMirror::Revision(int n) const {
    const auto it = revision_.find(n);
    return it == revision_.end() ? 0 : it->second;
}

}  // namespace wnd
