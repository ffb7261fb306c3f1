#pragma once
// While a statement waits for a file that another program holds locked, the frame's status bar
// says so, so that a form's OK that takes seconds is seen to wait rather than hang.
#include <string>

namespace cls {

// The text shown while waiting for the file at path.
std::string LockWaitText(const std::string& path);

// Installs the notice (once is enough; again replaces it).
void ShowLockWaitsInStatus();

}  // namespace cls
