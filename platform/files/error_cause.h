#pragma once
// Words a user can act on for a file error: what went wrong with which file, and what may help.
#include <string>

namespace files {

// code: an ErrorCode; sqlite: SQLite's result code behind it (0 when none); path: the database
// file. Empty when the error needs no such words (a record not found, changed by another station).
std::string errorCause(int code, int sqlite, const std::string& path);

}  // namespace files
