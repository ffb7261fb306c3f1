#include "platform/files/errors.h"

namespace files {

std::string errorText(int code) {
    switch (code) {
        case kNoError: return "No Error";
        case kFileNotFound: return "File Not Found";
        case kPathNotFound: return "Path Not Found";
        case kAccessDenied: return "Access Denied";
        case kRecordNotAvailable: return "Record Not Available";
        case kRecordNotFound: return "Record Not Found";
        case kFileNotOpen: return "File Not Open";
        case kDuplicateKey: return "Creates Duplicate Key";
        case kInvalidKeyFile: return "Invalid Key File";
        case kInvalidRecordDeclaration: return "Invalid Record Declaration";
        case kFileAlreadyOpen: return "File Already Open";
        case kTransactionActive: return "Transaction Already Active";
        case kRecordChanged: return "Record Changed By Another Station";
        case kFileDamaged: return "File Damaged Or Not A Data File";
        case kTransactionTimeout: return "Transaction Timed Out";
        case kReadOnlyFile: return "File Is Read Only";
        case kCodePage: return "Character Not In Code Page";
        case kDriverError: return "File System Error";
        default: return "Error " + std::to_string(code);
    }
}

}  // namespace files
