#pragma once
// Test support: a table opened as the program opens it, its file or table made first when missing.
#include "platform/files/table_file.h"

namespace testing_support {

inline int openOrCreate(files::TableFile& file) {
    int e = file.open();
    if (e == files::kFileNotFound) {
        if ((e = file.create()) != 0) return e;
        e = file.open();
    }
    return e;
}

}  // namespace testing_support
