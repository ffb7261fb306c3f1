#pragma once
// What the reading forms' and the health reports' tests share: the program's windows registered on
// the headless presenter, a temporary data folder, AppErrors' boxes recorded, procedures started as
// their callers start them (on a task thread of their own, with the thread's buffers prepared
// first), and the tables written as another program would.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/persons_record.h"
#include "data/records.h"
#include "globals/globals.h"
#include "health/program_windows.h"
#include "health/register.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/clock.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/task_windows_test.h"

namespace readings_test {

using Texts = std::vector<std::string>;

// 10 March 2026, 2:05:30.25 PM.
inline rt::StdDate day() { return *rt::dateFromYmd(2026, 3, 10); }
inline rt::StdTime moment() { return *rt::timeFromHms(14, 5, 30, 25); }

class HealthTest : public testing_support::TaskWindowsTest {
protected:
    void SetUp() override {
        health_test::RegisterProgramWindows();
        if (HasFatalFailure()) return;
        TaskWindowsTest::SetUp();
        rt::setFixedClock(day(), moment());
        globals::personname().set("");
        globals::DISCLAIMER().set(globals::kDisclaimerText);
    }
    void TearDown() override {
        TaskWindowsTest::TearDown();
        rt::useSystemClock();
        globals::personname().set("");
        globals::DISCLAIMER().set("");
    }

    // Starts `procedure` on a task thread of its own, after `prepare` has run there (the thread's
    // buffers and request, as the caller leaves them); its response lands in response_.
    void Start(const std::string& procedure, std::function<void()> prepare = {}) {
        response_ = -1;
        wnd::StartTask(
            [this, procedure, prepare = std::move(prepare)] {
                if (prepare) prepare();
                if (shell::WindowProcedure p = shell::FindProcedure(procedure)) p();
                response_ = globals::CallResponse;
            },
            25000);
        user_.WaitIdle();
    }
    bool Maximised(const hl::UserWindow& w) {
        std::lock_guard lock(presenter_->mutex());
        return presenter_->windows().at(w.id()).state.maximised;
    }
    // The response of the procedure started last, once its thread has ended.
    int Response() {
        rt::WaitForTaskThreads();
        return response_;
    }

    std::atomic<int> response_{-1};
};

// Adds records as another program would: a thread and a connection of its own.
template <typename Record>
std::vector<files::Position> store(const rt::TableDesc& desc, const std::vector<Record>& records, const std::string& memo = {}) {
    std::vector<files::Position> positions;
    std::thread([&] {
        {
            Record r{};
            std::string m;
            files::TableFile f(desc, &r, desc.memo ? &m : nullptr);
            if (f.open() != 0) f.create();
            if (f.isOpen() || f.open() == 0) {
                for (const Record& each : records) {
                    r = each;
                    m = memo;
                    if (f.add() == 0) positions.push_back(f.position());
                }
                f.close();
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return positions;
}

// The texts of a page, in the order they were placed.
inline Texts texts(const wnd::Page& page) {
    Texts out;
    for (const wnd::PageItem& i : page.items)
        if (i.kind == wnd::PageItem::Kind::Text) out.push_back(i.text);
    return out;
}

// The text placed right after the nth (from 0) text `label` on a page.
inline std::string after(const wnd::Page& page, const std::string& label, int nth = 0) {
    const Texts t = texts(page);
    for (std::size_t i = 0; i + 1 < t.size(); ++i)
        if (t[i] == label && nth-- == 0) return t[i + 1];
    return "(no " + label + ")";
}

}  // namespace readings_test
