#include "platform/classes/lock_wait_notice.h"

#include "platform/files/connection.h"
#include "platform/window/window_system.h"

namespace cls {

std::string LockWaitText(const std::string& path) {
    return "Waiting for " + path + ": another program is using it...";
}

void ShowLockWaitsInStatus() {
    files::SetLockWaitObserver([](const std::string& path, bool waiting) {
        if (auto p = wnd::CurrentPresenter()) p->ShowStatus(waiting ? LockWaitText(path) : std::string());
    });
}

}  // namespace cls
