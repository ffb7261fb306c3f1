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

int Screen::MnemonicTarget(View& v, wnd::KeyCode key) {
    return wnd::MnemonicControl(v.state, key, [&v](int n) {
        const ControlView* cv = v.cv(n);
        return cv && cv->widget && cv->widget->isVisible();
    });
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
