#pragma once
// Test support: a table filled through the program's own driver on a task thread, one record per
// name, `set` filling the cleared buffer for each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/field_access.h"
#include "support/open_or_create.h"
#include "support/task_thread.h"

namespace testing_support {

template <typename Set>
void SeedRecords(files::TableFile& (*file)(), const std::vector<std::string>& names, Set set) {
    runOnTaskThread([&] {
        files::TableFile& f = file();
        ASSERT_EQ(openOrCreate(f), 0);
        for (const std::string& n : names) {
            rt::clearRecord(f.desc(), f.buffer());
            set(n);
            ASSERT_EQ(f.add(), 0);
        }
        f.close();
    });
}

}  // namespace testing_support
