#pragma once
// Error codes of the file driver (the numbering the program's messages and accessors rely on).
#include <string>

namespace files {

enum ErrorCode : int {
    kNoError = 0,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kAccessDenied = 5,
    kRecordNotAvailable = 33,  // no record there: end of a key order, empty table, no current record
    kRecordNotFound = 35,      // an exact look-up (by key value or position) found nothing
    kFileNotOpen = 37,
    kDuplicateKey = 40,        // a unique key would hold the value twice
    kInvalidKeyFile = 46,      // a key's index is missing or unusable; rebuilding it may help
    kInvalidRecordDeclaration = 47,  // the stored table does not match the record layout
    kFileAlreadyOpen = 52,
    kTransactionActive = 56,   // begin while a transaction is already open on this file
    kRecordChanged = 89,       // another thread or program changed the record since it was read
    kFileDamaged = 90,         // the file is not a database, or is damaged; it is never replaced
    kTransactionTimeout = 91,  // a transaction could not begin within its time-out
    kReadOnlyFile = 92,        // a write on a file opened read-only
    kCodePage = 93,            // text that Windows-1252 cannot hold
    kDriverError = 94,         // the database engine failed otherwise (disk full, I/O error); see lastErrorText()
};

// The platform's text for an error code ("File Not Found", "Record Not Available", ...).
std::string errorText(int code);

}  // namespace files
