#include "platform/runtime/program_services.h"

#include <mutex>

namespace rt {
namespace {
std::mutex gMutex;
std::string gHelpFile;
std::string gIcon;
}  // namespace

void SetHelpFile(std::string_view name) {
    std::lock_guard lock(gMutex);
    gHelpFile = name;
}

std::string HelpFile() {
    std::lock_guard lock(gMutex);
    return gHelpFile;
}

void SetProgramIcon(std::string_view name) {
    std::lock_guard lock(gMutex);
    gIcon = name;
}

std::string ProgramIcon() {
    std::lock_guard lock(gMutex);
    return gIcon;
}

}  // namespace rt
