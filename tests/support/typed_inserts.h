#pragma once
// Test support for prescriptions typed in one after another with no pause: the drug list and the
// one person they are typed against, and what the files hold afterwards, read the way another
// program reads them (a thread with its own connections).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "data/persons_record.h"
#include "data/records.h"
#include "data/thread_tables.h"
#include "platform/files/table_file.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "support/headless_program.h"
#include "support/task_thread.h"

namespace testing_support {

// "Med01", "Med02", ...
inline std::string TypedDrug(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "Med%02d", i);
    return name;
}

// Med01 to Med<drugs> in the drug list and one person, whom a new prescription names at once.
// Safe beside a running program: it waits for its own thread only.
inline void SeedTypedInsertTables(int drugs) {
    runOnAnotherThread([drugs] {
        files::TableFile& d = data::DrugNamesFile();
        ASSERT_EQ(openOrCreate(d), 0);
        for (int i = 1; i <= drugs; ++i) {
            rt::clearRecord(d.desc(), d.buffer());
            rt::assign(data::DRU.DRUGNAMEASPRESCRIBED, TypedDrug(i));
            ASSERT_EQ(d.add(), 0);
        }
        d.close();
        files::TableFile& p = data::PersonsNameFile();
        ASSERT_EQ(openOrCreate(p), 0);
        rt::clearRecord(p.desc(), p.buffer());
        rt::assign(data::PER.PERSONSNAME, "Pat Typist");
        ASSERT_EQ(p.add(), 0);
        p.close();
    });
}

// One text field of every record of a table, in the order they were added.
inline std::vector<std::string> StoredColumn(const rt::TableDesc& table, const char* field) {
    std::vector<std::string> out;
    std::thread([&] {
        std::vector<char> record(table.recordSize);
        std::string memo;
        {
            files::TableFile f(table, record.data(), &memo);
            if (f.open() == 0) {
                f.setKeyOrder(-1);
                while (f.next() == 0) out.push_back(rt::fieldText(*table.fieldByName(field), record.data()));
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return out;
}

inline std::vector<std::string> StoredPrescriptionDrugs() {
    return StoredColumn(data::PrescriptsTable(), "PRE:DRUGNAMEASPRESCRIBED");
}
inline std::vector<std::string> StoredDrugList() { return StoredColumn(data::DrugNamesTable(), "DRU:DRUGNAMEASPRESCRIBED"); }

}  // namespace testing_support
