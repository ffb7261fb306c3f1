#include "platform/window/control.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/runtime/codepage.h"

namespace wnd {
namespace {

constexpr std::pair<std::string_view, ControlKind> kKinds[] = {
    {"string", ControlKind::String},     {"image", ControlKind::Image},   {"region", ControlKind::Region},
    {"group", ControlKind::Group},       {"option", ControlKind::Option}, {"prompt", ControlKind::Prompt},
    {"entry", ControlKind::Entry},       {"button", ControlKind::Button}, {"sheet", ControlKind::Sheet},
    {"tab", ControlKind::Tab},           {"check", ControlKind::Check},   {"list", ControlKind::List},
    {"combo", ControlKind::Combo},       {"spin", ControlKind::Spin},     {"text", ControlKind::Text},
    {"radio", ControlKind::Radio},       {"progress", ControlKind::Progress},
    {"menubar", ControlKind::MenuBar},   {"menu", ControlKind::Menu},     {"item", ControlKind::Item},
    {"separator", ControlKind::Separator}, {"droplist", ControlKind::DropList},
    {"dropcombo", ControlKind::DropCombo}, {"preview", ControlKind::Preview},
};

constexpr std::pair<std::string_view, StdAction> kActions[] = {
    {"", StdAction::None},           {"close", StdAction::Close},           {"help", StdAction::Help},
    {"helpindex", StdAction::HelpIndex}, {"helpsearch", StdAction::HelpSearch},
    {"helponhelp", StdAction::HelpOnHelp}, {"cut", StdAction::Cut},         {"copy", StdAction::Copy},
    {"paste", StdAction::Paste},     {"tile", StdAction::Tile},             {"cascade", StdAction::Cascade},
    {"arrangeicons", StdAction::ArrangeIcons}, {"printsetup", StdAction::PrintSetup},
};

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(rt::foldCase(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::optional<ControlKind> ControlKindFromName(std::string_view name) {
    const std::string n = lower(name);
    for (const auto& [text, kind] : kKinds)
        if (text == n) return kind;
    return std::nullopt;
}

std::string_view ControlKindName(ControlKind kind) {
    for (const auto& [text, k] : kKinds)
        if (k == kind) return text;
    return "?";
}

bool TakesFocus(ControlKind k) {
    switch (k) {
        case ControlKind::Entry: case ControlKind::Button: case ControlKind::Check: case ControlKind::List:
        case ControlKind::Combo: case ControlKind::Spin: case ControlKind::Text: case ControlKind::Radio:
        case ControlKind::DropList: case ControlKind::DropCombo: case ControlKind::Preview:
            return true;
        default:
            return false;
    }
}

bool TakesInput(ControlKind k) {
    switch (k) {
        case ControlKind::Entry: case ControlKind::Check: case ControlKind::Combo: case ControlKind::Spin:
        case ControlKind::Text: case ControlKind::Option: case ControlKind::DropList: case ControlKind::DropCombo:
            return true;
        default:
            return false;
    }
}

std::optional<StdAction> StdActionFromName(std::string_view name) {
    const std::string n = lower(name);
    for (const auto& [text, a] : kActions)
        if (text == n) return a;
    return std::nullopt;
}

std::string_view StdActionName(StdAction action) {
    for (const auto& [text, a] : kActions)
        if (a == action) return text;
    return "";
}

bool ControlState::Alerts(KeyCode key) const {
    return key != 0 && std::find(alerts.begin(), alerts.end(), key) != alerts.end();
}

int WindowState::controlByUse(std::string_view use) const {
    for (const ControlState& c : controls)
        if (rt::compareNoCase(c.use, use) == 0) return c.number;
    return 0;
}

bool WindowState::AlertsKey(KeyCode key) const {
    return std::find(alertKeys.begin(), alertKeys.end(), key) != alertKeys.end();
}

KeyCode WindowState::Translate(KeyCode key) const {
    for (const auto& [from, to] : aliases)
        if (from == key) return to;
    return key == (kShift | kKeyF10) ? kKeyApps : key;
}

bool Reachable(const WindowState& w, int number) {
    for (const ControlState* c = w.control(number); c; c = w.control(c->parent))
        if (c->hidden || c->disabled) return false;
    return true;
}

int NextTabStop(const WindowState& w, int from, bool forward) {
    const int n = static_cast<int>(w.controls.size());
    if (n == 0) return 0;
    int at = from >= 1 && from <= n ? from : (forward ? n : 1);
    for (int step = 0; step < n; ++step) {
        at = forward ? at % n + 1 : (at + n - 2) % n + 1;
        const ControlState& c = w.controls[at - 1];
        if (TakesFocus(c.kind) && Reachable(w, at)) return at;
    }
    return 0;
}

int EnclosingTab(const WindowState& w, int number) {
    const ControlState* c = w.control(number);
    for (c = c ? w.control(c->parent) : nullptr; c; c = w.control(c->parent))
        if (c->kind == ControlKind::Tab) return c->number;
    return 0;
}

int DefaultButton(const WindowState& w) {
    for (const ControlState& c : w.controls)
        if (c.kind == ControlKind::Button && c.isDefault && Reachable(w, c.number)) return c.number;
    return 0;
}

int EscapeControl(const WindowState& w) {
    if (w.kind == WindowKind::AppFrame) return 0;
    const auto captioned = [](const ControlState& c, std::initializer_list<std::string_view> names) {
        std::string text;
        for (char ch : c.text)
            if (ch != '&') text += ch;
        return std::any_of(names.begin(), names.end(), [&](std::string_view n) {
            return std::equal(text.begin(), text.end(), n.begin(), n.end(), [](char a, char b) {
                return rt::foldCase(static_cast<unsigned char>(a)) == rt::foldCase(static_cast<unsigned char>(b));
            });
        });
    };
    for (const ControlState& c : w.controls)
        if (c.kind == ControlKind::Button && (c.std == StdAction::Close || captioned(c, {"Cancel", "Close"})) &&
            Reachable(w, c.number))
            return c.number;
    for (const ControlState& c : w.controls)
        if (c.kind == ControlKind::Item && (c.std == StdAction::Close || captioned(c, {"Exit"})) && Reachable(w, c.number))
            return c.number;
    return 0;
}

char MarkedLetter(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        const char c = text[i + 1];
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return 0;
}

}  // namespace wnd
