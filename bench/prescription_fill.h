#pragma once
// Benchmark data: `count` prescriptions added to the data folder's prescription file in one
// transaction, none of them due for a refill (a fifth without a reminder date, some without a
// doctor, a third inactive). The filtered lists and reports have a folder of their own that adds
// people: one who holds a tenth of the prescriptions, all active (100 000 of 1 000 000), and five
// who hold a fifth of the readings of each kind each (200 000 of 1 000 000), their readings
// interleaved as days of readings are, and a reminder made due or not before each run.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "data/thread_tables.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/threads.h"
#include "shell/run_application.h"

namespace bench {

// The people the filtered benchmarks open.
inline constexpr const char* kQuickPerson = "Quincy Quick";  // every tenth prescription, all active
inline constexpr int kQuickShare = 10;
// The five readers, in name order: the benchmarks open the first, the middle and the last.
inline constexpr const char* kReaders[] = {"Aaron Able", "Kim Keel", "Mona Middle", "Pat Pine", "Zora Zenith"};
inline constexpr int kReaderCount = 5;
inline constexpr const char* kFirstReader = kReaders[0];
inline constexpr const char* kMiddleReader = kReaders[2];
inline constexpr const char* kLastReader = kReaders[4];

// The quick person's prescriptions and each reader's readings of each kind in a folder of `count`.
inline int QuickRows(int count) { return (count + kQuickShare - 1) / kQuickShare; }
inline int ReaderRows(int count) { return count / kReaderCount; }

// Everybody else's prescriptions: one of 997 names.
inline std::string OtherPerson(int i) { return "Mid Person " + std::to_string(i % 997); }

// Makes the table of `file` and adds `count` records in one transaction, record i set by
// `fill(i)` in the cleared buffer.
inline void FillTable(files::TableFile& file, int count, const std::function<void(int)>& fill) {
    if (file.create() != 0 || file.open() != 0) std::abort();
    file.begin(10);
    for (int i = 0; i < count; ++i) {
        std::memset(file.buffer(), 0, file.desc().recordSize);
        rt::clearRecord(file.desc(), file.buffer());
        fill(i);
        if (file.add() != 0) std::abort();
    }
    file.commit();
    file.close();
}

// Runs `work` on a task thread of the program's and waits for it.
inline void OnTaskThread(std::function<void()> work) {
    shell::InstallThreadHooks();
    rt::StartThreadProcedure(std::move(work), 0);
    rt::WaitForTaskThreads();
}

inline void FillPrescriptions(int count, bool people = false) {
    OnTaskThread([count, people] {
        FillTable(data::PrescriptsFile(), count, [people](int i) {
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, "Drug " + std::to_string((i * 7919) % 99991));
            rt::assign(data::PRE.DRNAME, i % 11 ? "Dr. " + std::to_string(i % 53) : std::string());
            const bool quick = people && i % kQuickShare == 0;
            rt::assign(data::PRE.ACTIVE, quick || i % 3 ? "Y" : "N");
            if (!data::PRE.COST.setScaled(100 + i % 5000)) std::abort();
            rt::assignC(data::PRE.PRINTKEY, std::to_string(i));
            if (people) rt::assign(data::PRE.PERSONSNAME, quick ? std::string(kQuickPerson) : OtherPerson(i));
            if (i % 5) data::PRE.REFILLREMINDERDATE.set(rt::today() - 40 - (i % 400));  // never due
        });
    });
}

// `count` blood-pressure and `count` glucose readings, a fifth of them each reader's, and the
// quick person and the readers in PersonsName.
inline void FillReadings(int count) {
    OnTaskThread([count] {
        auto name = [](int i) { return std::string(kReaders[i % kReaderCount]); };
        FillTable(data::BloodpreFile(), count, [&](int i) {
            data::BLO.DATE.set(rt::today() - (count - i) / 50);
            data::BLO.TIME.set(1 + (i * 37) % 8640000);
            data::BLO.SYSTOLIC = 110 + i % 40;
            data::BLO.DIASTOLIC = 70 + i % 20;
            data::BLO.PULSE = 60 + i % 30;
            rt::assign(data::BLO.PERSONNAME, name(i));
        });
        FillTable(data::GlucoseFile(), count, [&](int i) {
            data::GLU.DATE.set(rt::today() - (count - i) / 50);
            data::GLU.TIME.set(1 + (i * 37) % 8640000);
            data::GLU.READING = static_cast<std::int16_t>(80 + i % 60);
            rt::assign(data::GLU.PERSONNAME, name(i));
        });
        FillTable(data::PersonsNameFile(), kReaderCount + 1, [&](int i) {
            rt::assign(data::PER.PERSONSNAME, i < kReaderCount ? kReaders[i] : kQuickPerson);
        });
    });
}

// Makes the prescription at position 1 due for a refill in five days, or leaves it without a
// reminder date, so one folder serves the start with a reminder due and the start without.
inline void SetReminderDue(const std::string& dir, bool due) {
    files::SetDataFolder(dir);
    // A thread of its own with an instance of its own: beside a running program it is no task
    // thread of the program's, so nothing waits on it but this.
    std::thread([due] {
        data::PrescriptsRecord record{};
        std::string memo;
        files::TableFile f(data::PrescriptsTable(), &record, &memo);
        if (f.open() != 0) std::abort();
        if (f.getAt(files::Position{1}) == 0) {
            record.REFILLREMINDERDATE.set(due ? rt::today() + 5 : 0);
            if (f.put() != 0) std::abort();
        }
        f.close();
        files::ReleaseThreadConnections();
    }).join();
}

// A data folder made once by `fill` and kept: a marker file, written last, says it is complete.
// True when it was made now.
inline bool FolderMadeOnce(const std::string& dir, const std::string& mark, const std::function<void()>& fill) {
    const std::filesystem::path marker = std::filesystem::path(dir) / "bench-complete";
    if (std::filesystem::exists(marker)) return false;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    files::SetDataFolder(dir);
    fill();
    std::ofstream(marker) << mark << "\n";
    return true;
}

// A data folder holding `count` prescriptions, made once and kept.
inline bool PrescriptionFolder(const std::string& dir, int count) {
    return FolderMadeOnce(dir, std::to_string(count), [count] { FillPrescriptions(count); });
}

// The filtered benchmarks' folder: `count` prescriptions with their people, `count` readings of
// each kind and the people; made once and kept like PrescriptionFolder's.
inline bool FilteredFolder(const std::string& dir, int count) {
    return FolderMadeOnce(dir, std::to_string(count) + " filtered, five readers", [count] {
        FillPrescriptions(count, true);
        FillReadings(count);
    });
}

}  // namespace bench
