#pragma once
// Closing the windows a test leaves open, the way the program closes them once its frame has gone:
// one close round over every thread's windows (CloseDown, innermost first, also to a window opened
// meanwhile). It is not forced, so a form still asks what it would ask the user.
#include "platform/window/window_system.h"

namespace testing_support {

// `meanwhile` runs while the round goes on: it answers what the windows ask and waits until they
// have closed. The round stops after it, so the windows the next test opens stay open.
template <class Meanwhile>
void CloseAllWindows(Meanwhile&& meanwhile) {
    wnd::CloseOtherWindows({}, false);
    meanwhile();
    wnd::StopClosingWindows();
}

}  // namespace testing_support
