#pragma once
// What the people list's and the health-profile form's tests share: the program's windows
// registered on the headless presenter, a temporary data folder, AppErrors' boxes recorded and
// answered, the clock pinned, stand-in procedures that record their calls, and the tables written
// and read as another program would.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/persons_record.h"
#include "data/records.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "health/program_windows.h"
#include "health/register.h"
#include "platform/classes/window_controller.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/task_windows_test.h"
#include "support/close_all_windows.h"

namespace people_test {

using Texts = std::vector<std::string>;

inline rt::StdDate date(int y, int m, int d) { return *rt::dateFromYmd(y, m, d); }
// Wednesday 10 June 2026, 9:30 AM.
inline rt::StdDate today() { return date(2026, 6, 10); }
inline rt::StdTime now() { return *rt::timeFromHms(9, 30, 0); }

// A person as the form would have saved them (gender and marital status given).
inline data::PersonsNameRecord person(std::string_view name, std::string_view city = "") {
    data::PersonsNameRecord p{};
    rt::clearRecord(data::PersonsNameTable(), &p);
    rt::assign(p.PERSONSNAME, name);
    rt::assign(p.CITY, city);
    rt::assign(p.GENDER, "F");
    rt::assign(p.MARITALSTATUS, "Married");
    return p;
}

// Adds records as another program would: a thread and a connection of its own.
template <typename Record>
void store(const rt::TableDesc& desc, const std::vector<Record>& records, const std::string& memo = {}) {
    std::thread([&] {
        {
            Record r{};
            std::string m;
            files::TableFile f(desc, &r, desc.memo ? &m : nullptr);
            if (f.open() != 0 && f.create() == 0) f.open();
            for (const Record& each : records) {
                r = each;
                m = memo;
                EXPECT_EQ(f.add(), 0);
            }
            f.close();
        }
        files::ReleaseThreadConnections();
    }).join();
}

template <typename Record>
std::vector<Record> stored(const rt::TableDesc& desc, std::vector<std::string>* memos = nullptr) {
    std::vector<Record> out;
    std::thread([&] {
        {
            Record r{};
            std::string m;
            files::TableFile f(desc, &r, desc.memo ? &m : nullptr);
            if (f.open() == 0) {
                f.setKeyOrder(-1);
                while (f.next() == 0) {
                    out.push_back(r);
                    if (memos) memos->push_back(m);
                }
                f.close();
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return out;
}

inline std::vector<data::PersonsNameRecord> storedPeople(std::vector<std::string>* memos = nullptr) {
    return stored<data::PersonsNameRecord>(data::PersonsNameTable(), memos);
}

inline data::BloodpreRecord bloodPressure(std::string_view who, rt::StdDate day, double systolic) {
    data::BloodpreRecord r{};
    rt::clearRecord(data::BloodpreTable(), &r);
    rt::assign(r.PERSONNAME, who);
    r.DATE.set(day);
    r.TIME.set(now());
    r.SYSTOLIC = systolic;
    r.DIASTOLIC = 80;
    r.PULSE = 70;
    return r;
}

inline data::GlucoseRecord glucose(std::string_view who, rt::StdDate day, int reading, std::string_view comment = "") {
    data::GlucoseRecord r{};
    rt::clearRecord(data::GlucoseTable(), &r);
    rt::assign(r.PERSONNAME, who);
    r.DATE.set(day);
    r.TIME.set(now());
    r.READING = static_cast<std::int16_t>(reading);
    rt::assign(r.COMMENT, comment);
    return r;
}

inline std::string trimmed(std::string_view s) { return std::string(rt::rtrim(s)); }
inline std::string personname() { return trimmed(globals::personname().get()); }

// A call a stand-in procedure saw.
struct Call {
    std::string procedure;
    int request = 0;
    std::string person;  // personname when it was called
    int thread = 0;
};

// Puts a procedure of the test's own in place of a registered one, for the test's length.
class StandIn {
public:
    StandIn(std::string name, shell::WindowProcedure procedure) : name_(std::move(name)), original_(shell::FindProcedure(name_)) {
        shell::RegisterProcedure(name_, std::move(procedure));
    }
    ~StandIn() { shell::RegisterProcedure(name_, original_); }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

private:
    std::string name_;
    shell::WindowProcedure original_;
};

class PeopleTest : public testing_support::TaskWindowsTest {
protected:
    void SetUp() override {
        health_test::RegisterProgramWindows();
        if (HasFatalFailure()) return;
        TaskWindowsTest::SetUp();
        rt::setFixedClock(today(), now());
        globals::personname().set("");
    }
    void TearDown() override {
        // A box a failed test left waiting is answered, so that every window can close.
        testing_support::CloseAllWindows([this] {
            for (auto m = user_.Messages(); !m.empty(); m = user_.Messages())
                user_.Answer(m.front().defaultButton ? m.front().defaultButton : static_cast<unsigned>(wnd::kButtonOk));
            rt::WaitForTaskThreads();
        });
        TaskWindowsTest::TearDown();
        rt::useSystemClock();
        globals::personname().set("");
    }

    // Started as the frame's menu starts it: on a thread of its own.
    hl::UserWindow OpenPeople() {
        wnd::StartTask(shell::FindProcedure("BrowsePerson"), 25000);
        return user_.Find("BrowsePerson");
    }
    // The people list, then the form for the person in `row` with the Change button.
    hl::UserWindow ChangePerson(int row) {
        auto list = OpenPeople();
        list.ChooseRow("?BROWSE:1", row);
        list.Press("?CHANGE:3");
        return user_.Find("UpdatePersonsName");
    }

    int ThreadOf(const hl::UserWindow& w) {
        std::lock_guard lock(presenter_->mutex());
        return presenter_->windows().at(w.id()).thread;
    }

    // Records every call of a stand-in; `also` runs inside it (on the caller's thread).
    shell::WindowProcedure Recorder(std::string name, std::function<void()> also = {}) {
        return [this, name = std::move(name), also = std::move(also)] {
            {
                std::lock_guard lock(mutex_);
                calls_.push_back({name, globals::CallRequest, personname(), rt::CurrentThreadNumber()});
            }
            if (also) also();
        };
    }
    std::vector<Call> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<Call> CallsOf(std::string_view procedure) {
        std::vector<Call> out;
        for (const Call& c : Calls())
            if (c.procedure == procedure) out.push_back(c);
        return out;
    }

    std::mutex mutex_;
    std::vector<Call> calls_;
};

}  // namespace people_test
