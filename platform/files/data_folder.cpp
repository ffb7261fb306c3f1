// The folder data file names are resolved in: one process-wide setting, guarded.
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/files/table_file.h"

namespace files {
namespace {

struct FolderSetting {
    std::mutex mutex;
    std::string folder;  // empty: the working directory at the time of asking
};

FolderSetting& setting() {
    static FolderSetting s;
    return s;
}

}  // namespace

void SetDataFolder(std::string folder) {
    auto& s = setting();
    std::lock_guard lock(s.mutex);
    s.folder = std::move(folder);
}

std::string DataFolder() {
    auto& s = setting();
    {
        std::lock_guard lock(s.mutex);
        if (!s.folder.empty()) return s.folder;
    }
    std::error_code ec;
    auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string(".") : cwd.string();
}

}  // namespace files
