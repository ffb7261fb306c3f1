#include "platform/files/error_cause.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files/errors.h"

namespace files {
namespace {

std::string folderOf(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// No write access: the folder is read-only (its -wal and -shm cannot be made), or the file is.
std::string readOnlyCause(const std::string& path) {
    if (::access(folderOf(path).c_str(), W_OK) != 0) return "the folder " + folderOf(path) + " is read-only, so " + path + " can only be read";
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return path + " is read-only, so it can only be read";
    return "there is no permission to write " + path + " or its folder";
}

}  // namespace

std::string errorCause(int code, int sqlite, const std::string& path) {
    switch (sqlite & 0xFF) {
        case SQLITE_FULL: return "the disk that holds " + path + " is full; make room on it and try again";
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return "another program is using " + path + "; trying again may work";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return path + " is damaged or is not a data file";
        case SQLITE_READONLY: return readOnlyCause(path);
        case SQLITE_IOERR: return path + " could not be read or written on its disk; check the disk and try again";
        case SQLITE_NOMEM: return "there was not enough memory to work with " + path + "; close other programs and try again";
        case SQLITE_CANTOPEN:
        case SQLITE_PERM: return code == kFileDamaged ? path + " is damaged or is not a data file" : readOnlyCause(path);
        default: break;
    }
    switch (code) {
        case kFileDamaged: return path + " is damaged or is not a data file";
        case kTransactionTimeout: return "another program is using " + path + "; trying again may work";
        case kAccessDenied: return readOnlyCause(path);
        case kReadOnlyFile: return path + " was opened for reading only";
        case kPathNotFound: return "the folder that should hold " + path + " does not exist";
        case kInvalidRecordDeclaration: return path + " holds a table that does not match this program's records";
        case kInvalidKeyFile: return "a key of " + path + " is missing or damaged; rebuilding it may help";
        case kDriverError:
            // Whatever else the database engine met: its own words, with the file.
            return sqlite ? "the database engine could not work with " + path + " (" + sqlite3_errstr(sqlite) + ")"
                          : "the database engine could not work with " + path;
        default: return {};
    }
}

}  // namespace files
