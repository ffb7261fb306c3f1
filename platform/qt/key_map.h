#pragma once
// Qt key events in the platform's key codes: the Windows virtual-key code in the low byte, plus
// 0x100 for Shift, 0x200 for Ctrl and 0x400 for Alt.
#include <Qt>

#include "platform/window/keys.h"

namespace qtp {

// 0 for a key the platform has no code for (and for a modifier key pressed on its own).
wnd::KeyCode KeyFromQt(int key, Qt::KeyboardModifiers modifiers);

}  // namespace qtp
