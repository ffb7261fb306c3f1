#pragma once
// Benchmark data: `count` prescriptions added to the data folder's prescription file in one
// transaction, none of them due for a refill (a fifth without a reminder date, some without a
// doctor, a third inactive).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/thread_tables.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/threads.h"
#include "shell/run_application.h"

namespace bench {

inline void FillPrescriptions(int count) {
    shell::InstallThreadHooks();
    rt::StartThreadProcedure(
        [count] {
            auto& f = data::PrescriptsFile();
            if (f.create() != 0 || f.open() != 0) std::abort();
            f.begin(10);
            for (int i = 0; i < count; ++i) {
                data::PRE = {};
                rt::clearRecord(data::PrescriptsTable(), &data::PRE);
                rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, "Drug " + std::to_string((i * 7919) % 99991));
                rt::assign(data::PRE.DRNAME, i % 11 ? "Dr. " + std::to_string(i % 53) : std::string());
                rt::assign(data::PRE.ACTIVE, i % 3 ? "Y" : "N");
                if (!data::PRE.COST.setScaled(100 + i % 5000)) std::abort();
                rt::assignC(data::PRE.PRINTKEY, std::to_string(i));
                if (i % 5) data::PRE.REFILLREMINDERDATE.set(rt::today() - 40 - (i % 400));  // never due
                if (f.add() != 0) std::abort();
            }
            f.commit();
            f.close();
        },
        0);
    rt::WaitForTaskThreads();
}

// A data folder holding `count` prescriptions, made once and kept (a marker file says it is
// complete); true when it was made now.
inline bool PrescriptionFolder(const std::string& dir, int count) {
    const std::filesystem::path marker = std::filesystem::path(dir) / "bench-complete";
    if (std::filesystem::exists(marker)) return false;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    files::SetDataFolder(dir);
    FillPrescriptions(count);
    std::ofstream(marker) << count << "\n";
    return true;
}

}  // namespace bench
