#include "platform/qt/screen.h"

// Alt-letters: a window's own controls come before the frame's menu bar. An MDI child shares its
// top-level window with the frame, so Qt would find "&Help" on the form's button and on the
// frame's menu alike and, the shortcut being ambiguous, press neither (it only moves the focus);
// and a window that is not Qt's active one (no window manager gave it the keyboard back) has no
// shortcuts at all, so the letter would be typed into the field. The presenter acts on the key
// itself, in the window the key came from.

#include <QAbstractButton>
#include <QAction>

#include "platform/qt/screen_parts.h"

namespace qtp {

using namespace detail;

namespace {

// The letter a caption marks with '&' ("&&" is an ampersand), upper case; 0 none.
char markedLetter(const std::string& text) {
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

}  // namespace

int Screen::MnemonicTarget(View& v, wnd::KeyCode key) {
    if ((key & (wnd::kAlt | wnd::kCtrl)) != wnd::kAlt || v.state.kind == wnd::WindowKind::AppFrame) return 0;
    const auto letter = static_cast<char>(key & 0xFF);
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= '0' && letter <= '9'))) return 0;
    for (int n = 1; n <= static_cast<int>(v.state.controls.size()); ++n) {
        const wnd::ControlState* c = v.cs(n);
        const bool acts = c->kind == ControlKind::Button || c->kind == ControlKind::Check ||
                          c->kind == ControlKind::Radio || c->kind == ControlKind::Prompt;
        if (!acts || markedLetter(c->text) != letter || !wnd::Reachable(v.state, n)) continue;
        const ControlView* cv = v.cv(n);
        if (cv && cv->widget && cv->widget->isVisible()) return n;
    }
    return 0;
}

void Screen::PressMnemonic(View& v, int n) {
    if (v.cs(n)->kind == ControlKind::Prompt) {
        // A prompt's letter leads to the control after it.
        MoveFocus(v, wnd::NextTabStop(v.state, n), true);
        return;
    }
    // As Qt's own shortcut does: the control takes the focus, then is clicked.
    auto* button = qobject_cast<QAbstractButton*>(v.cv(n)->widget.data());
    if (!button) return;
    MoveFocus(v, n, true);
    button->click();
}

bool Screen::PressEscape(View& v) {
    const int n = wnd::EscapeControl(v.state);
    if (!n) return false;
    if (v.cs(n)->kind == ControlKind::Item) {
        // A window's own Exit item: typed text is accepted first, as a click on the item does.
        if (QAction* a = v.cv(n)->action; a && a->isEnabled()) a->trigger();
        return true;
    }
    PressMnemonic(v, n);  // as a click on the button: its own rules apply (a form asks about changes)
    return true;
}

}  // namespace qtp
