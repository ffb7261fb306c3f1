#include "platform/qt/key_map.h"

namespace qtp {
namespace {

wnd::KeyCode virtualKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return wnd::kKeyF1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace: return wnd::kKeyBackspace;
        case Qt::Key_Tab: case Qt::Key_Backtab: return wnd::kKeyTab;
        case Qt::Key_Return: case Qt::Key_Enter: return wnd::kKeyEnter;
        case Qt::Key_Escape: return wnd::kKeyEscape;
        case Qt::Key_Space: return 0x20;
        case Qt::Key_PageUp: return wnd::kKeyPageUp;
        case Qt::Key_PageDown: return wnd::kKeyPageDown;
        case Qt::Key_End: return wnd::kKeyEnd;
        case Qt::Key_Home: return wnd::kKeyHome;
        case Qt::Key_Left: return wnd::kKeyLeft;
        case Qt::Key_Up: return wnd::kKeyUp;
        case Qt::Key_Right: return wnd::kKeyRight;
        case Qt::Key_Down: return wnd::kKeyDown;
        case Qt::Key_Insert: return wnd::kKeyInsert;
        case Qt::Key_Delete: return wnd::kKeyDelete;
        case Qt::Key_Menu: return wnd::kKeyApps;
        case Qt::Key_Plus: return 0xBB;
        case Qt::Key_Comma: return 0xBC;
        case Qt::Key_Minus: return 0xBD;
        case Qt::Key_Period: return 0xBE;
        default: return 0;
    }
}

}  // namespace

wnd::KeyCode KeyFromQt(int key, Qt::KeyboardModifiers modifiers) {
    wnd::KeyCode code = virtualKey(key);
    if (code == 0) return 0;
    // Qt turns Shift+Tab into Backtab and may or may not keep Shift with it.
    if (key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier)) code |= wnd::kShift;
    if (modifiers & Qt::ControlModifier) code |= wnd::kCtrl;
    if (modifiers & Qt::AltModifier) code |= wnd::kAlt;
    return code;
}

}  // namespace qtp
