#include "platform/runtime/desktop_settings.h"

#include <mutex>

namespace rt {
namespace {

class NoDesktopSettings final : public DesktopSettings {
public:
    bool Get(unsigned, long*) override { return false; }
    bool Set(unsigned, long, unsigned) override { return false; }
};

std::mutex gMutex;
std::shared_ptr<DesktopSettings> gDesktop;

}  // namespace

DesktopSettings& Desktop() {
    static NoDesktopSettings none;
    std::lock_guard lock(gMutex);
    return gDesktop ? *gDesktop : static_cast<DesktopSettings&>(none);
}

void SetDesktop(std::shared_ptr<DesktopSettings> desktop) {
    std::lock_guard lock(gMutex);
    gDesktop = std::move(desktop);
}

}  // namespace rt
