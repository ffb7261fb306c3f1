#include "platform/classes/toolbar_dispatcher.h"

#include <algorithm>

namespace cls {

bool ToolbarDispatcher::IsToolbarControl(int control) const {
    return std::find(buttons_.begin(), buttons_.end(), control) != buttons_.end();
}

int ToolbarDispatcher::TakeAccepted(int control) {
    if (!IsToolbarControl(control)) return 0;
    for (ToolbarTarget* t : targets_)
        if (int r = t->TakeToolbar(control)) return r;
    return 0;
}

}  // namespace cls
