#include "shell/enter_key_navigator.h"

#include <algorithm>

#include "platform/window/window.h"
#include "platform/window/window_system.h"

namespace shell {
namespace {

using wnd::ControlKind;

bool multiLineText(const wnd::ControlState& c) { return c.kind == ControlKind::Text && !c.single; }

}  // namespace

std::array<wnd::KeyCode, 7> EnterKeyNavigator::KeysFor(const wnd::ControlState& c, int option) {
    std::array<wnd::KeyCode, 7> keys{};
    auto at = [&keys](int position, wnd::KeyCode key) { keys[static_cast<std::size_t>(position - kFirstPosition)] = key; };
    switch (c.kind) {
        case ControlKind::Text:
            if (c.single) {
                at(253, wnd::kKeyDown);
                at(255, wnd::kKeyUp);
            }
            at(254, wnd::kKeyEnter);
            break;
        case ControlKind::Spin: at(254, wnd::kKeyEnter); break;
        case ControlKind::Entry:
            at(253, wnd::kKeyDown);
            at(254, wnd::kKeyEnter);
            at(255, wnd::kKeyUp);
            break;
        case ControlKind::Combo: case ControlKind::DropCombo: at(255, wnd::kKeyEnter); break;
        case ControlKind::List: case ControlKind::DropList:
            at(253, wnd::kKeyEnter);
            if (option == 0) {
                at(254, wnd::kKeyRight);
                at(255, wnd::kKeyLeft);
            }
            break;
        case ControlKind::Button:
            at(252, wnd::kKeyUp);
            at(253, wnd::kKeyDown);
            at(254, wnd::kKeyRight);
            at(255, wnd::kKeyLeft);
            break;
        case ControlKind::Radio: at(251, wnd::kKeyEnter); break;
        case ControlKind::Check:
            at(251, wnd::kKeyEnter);
            at(252, wnd::kKeyUp);
            at(253, wnd::kKeyDown);
            at(254, wnd::kKeyRight);
            at(255, wnd::kKeyLeft);
            break;
        default: break;
    }
    return keys;
}

void EnterKeyNavigator::AddNextTabStop(int control, int next) {
    const auto it = std::lower_bound(pairs_.begin(), pairs_.end(), control,
                                     [](const Pair& p, int c) { return p.control < c; });
    if (it != pairs_.end() && it->control == control) return;  // the first pair for a control wins
    pairs_.insert(it, Pair{control, next});
}

bool EnterKeyNavigator::excluded(int control) const {
    return std::find(excluded_.begin(), excluded_.end(), control) != excluded_.end();
}

const EnterKeyNavigator::Pair* EnterKeyNavigator::pairFrom(int control) const {
    const auto it = std::find_if(pairs_.begin(), pairs_.end(), [control](const Pair& p) { return p.control == control; });
    return it == pairs_.end() ? nullptr : &*it;
}

const EnterKeyNavigator::Pair* EnterKeyNavigator::pairTo(int next) const {
    const auto it = std::find_if(pairs_.begin(), pairs_.end(), [next](const Pair& p) { return p.next == next; });
    return it == pairs_.end() ? nullptr : &*it;
}

void EnterKeyNavigator::ArmKeys(wnd::Window& window, int option) {
    option_ = option;
    auto arm = [&window](int control, int position, wnd::KeyCode key) {
        if (window.alert(control, position) != key) window.SetAlert(control, position, key);
    };
    for (int c = window.FirstControl(); c >= 1 && c <= window.LastControl(); ++c) {
        if (!excluded(c)) {
            const auto keys = KeysFor(window.control(c), option);
            for (std::size_t i = 0; i < keys.size(); ++i)
                if (keys[i]) arm(c, kFirstPosition + static_cast<int>(i), keys[i]);
        }
        // The pairs are armed on excluded controls too.
        if (const Pair* p = pairFrom(c)) {
            arm(c, 249, wnd::kKeyTab);
            if (window.Has(p->next)) arm(p->next, 250, wnd::kKeyShiftTab);
        }
    }
    inited_ = true;
}

bool EnterKeyNavigator::HandleAlertKey(wnd::Window& window) {
    const int c = window.control();
    if (!inited_ || c == 0 || window.event() != wnd::Event::AlertKey || !window.Has(c)) return false;
    if (excluded(c)) return false;
    const wnd::ControlState& s = window.control(c);
    const wnd::KeyCode key = window.keyCode();
    // Only the keys this navigator armed on the control: the same key alerted by another part
    // (the list's Up and Down, which page its rows) is that part's.
    const auto keys = KeysFor(s, option_);
    const bool armed = std::find(keys.begin(), keys.end(), key) != keys.end() ||
                       (key == wnd::kKeyTab && pairFrom(c)) || (key == wnd::kKeyShiftTab && pairTo(c));
    if (!armed) return false;
    switch (key) {
        case wnd::kKeyEnter:
            if (multiLineText(s)) {
                // The box keeps its Enter: a line break goes in at the caret.
                PressKey(window, c, wnd::kShift | wnd::kKeyEnter);
                PressKey(window, c, kShiftAlone);
            } else {
                PressKey(window, c, wnd::kKeyTab);
            }
            return true;
        case wnd::kKeyUp: case wnd::kKeyLeft: PressKey(window, c, wnd::kKeyShiftTab); return true;
        case wnd::kKeyDown: case wnd::kKeyRight: PressKey(window, c, wnd::kKeyTab); return true;
        case wnd::kKeyShiftTab: Back(window, c); return true;
        case wnd::kKeyTab: Forward(window, c); return true;
        default: return false;
    }
}

void EnterKeyNavigator::Forward(wnd::Window& window, int control) {
    const Pair* p = pairFrom(control);
    const int to = p ? p->next : wnd::NextTabStop(window.state(), control, true);
    if (to != 0 && to != control && window.Has(to)) window.Select(to);
}

void EnterKeyNavigator::Back(wnd::Window& window, int control) {
    const Pair* p = pairTo(control);
    const int to = p ? p->control : wnd::NextTabStop(window.state(), control, false);
    if (to != 0 && to != control && window.Has(to)) window.Select(to);
}

void EnterKeyNavigator::PressKey(wnd::Window& window, int control, wnd::KeyCode key) {
    const wnd::ControlState& c = window.control(control);
    switch (key) {
        // Typed Tab and Shift+Tab come back as alert keys where they are alerted (the pairs);
        // elsewhere the platform moves the focus along the tab order.
        case wnd::kKeyTab:
            if (c.Alerts(key)) Forward(window, control);
            else if (int to = wnd::NextTabStop(window.state(), control, true); to != 0 && to != control) window.Select(to);
            break;
        case wnd::kKeyShiftTab:
            if (c.Alerts(key)) Back(window, control);
            else if (int to = wnd::NextTabStop(window.state(), control, false); to != 0 && to != control) window.Select(to);
            break;
        default:
            // Typed into the control itself: the presenter holds what is being typed.
            if (window.isOpen())
                if (auto p = wnd::CurrentPresenter()) p->TypeKey(window.id(), control, key);
            break;
    }
}

}  // namespace shell
