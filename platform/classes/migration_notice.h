#pragma once
// While a file is brought up to date (a one-time migration of its stored form, which at a million
// records takes seconds), the progress window the reports show, so the user sees the program at
// work rather than a window that waits. It opens only once the migration has taken longer than a
// moment, and closes when it ends.
#include <chrono>
#include <string>

#include "platform/files/migration.h"

namespace cls {

inline constexpr std::chrono::milliseconds kMigrationNoticeDelay{300};

// The text above the bar while the file at path is brought up to date.
std::string MigrationText(const std::string& path);

// The observer that shows the window, `after` a migration began.
files::MigrationObserver MigrationProgressWindows(std::chrono::milliseconds after);

// Installs it (once is enough; again replaces it).
void ShowMigrationProgress(std::chrono::milliseconds after = kMigrationNoticeDelay);

}  // namespace cls
