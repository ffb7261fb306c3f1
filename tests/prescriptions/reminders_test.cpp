// The refill reminders as a user meets them: listed at start-up when any is due, from the frame's
// menu on a thread of their own, and printed from the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/records.h"
#include "data/thread_tables.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/run_application.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"
#include "support/program_test.h"
#include "support/task_thread.h"

namespace {

using Texts = std::vector<std::string>;

rt::StdDate today() { return *rt::dateFromYmd(2026, 3, 10); }

struct Rx {
    const char* drug;
    const char* active;
    int reminderIn;  // days from today; 0: no reminder date (see kToday for today itself)
};
constexpr int kToday = 1000;

void addPrescriptions(const std::vector<Rx>& rows) {
    testing_support::runOnTaskThread([&] {
        files::TableFile& f = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        int n = 0;
        for (const Rx& r : rows) {
            rt::clearRecord(data::PrescriptsTable(), &data::PRE);
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, r.drug);
            rt::assign(data::PRE.ACTIVE, r.active);
            rt::assign(data::PRE.RXNUMBER, "RX" + std::to_string(++n));
            if (r.reminderIn) data::PRE.REFILLREMINDERDATE.set(today() + (r.reminderIn == kToday ? 0 : r.reminderIn));
            rt::assignC(data::PRE.PRINTKEY, std::to_string(n));
            ASSERT_EQ(f.add(), 0);
        }
        f.close();
    });
}

Texts column(const std::vector<std::vector<std::string>>& rows, std::size_t c) {
    Texts out;
    for (const auto& r : rows) out.push_back(r.at(c));
    return out;
}

class RefillReminders : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        rt::setFixedClock(today());
        ProgramTest::SetUp();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        rt::useSystemClock();
    }
};

TEST_F(RefillReminders, StartUpListsTheDateWindowAndThePrintCoversEveryDueOne) {
    addPrescriptions({{"Late", "Y", -1},          // yesterday: not due
                      {"Thirty", "Y", 30},        // the window's last day
                      {"Today", "Y", kToday},
                      {"Beyond", "Y", 31},
                      {"Never", "Y", 0},
                      {"Stopped", "N", 5},        // inactive, listed all the same
                      {"Also today", "Y", kToday}});
    auto frame = program_.Start();
    // The frame called the list on its own thread and waits for it.
    auto list = user_.Find("Reminders");
    EXPECT_EQ(list.Caption(), "Refill Reminders...");
    EXPECT_TRUE(frame.Inert());
    const auto rows = list.Rows("?BROWSE:1");
    EXPECT_EQ(column(rows, 0), (Texts{"Today", "Also today", "Stopped", "Thirty"}));
    EXPECT_EQ(column(rows, 3).front(), "03/10/2026");

    list.ChooseRow("?BROWSE:1", 3);
    list.Press("?PRINT");
    auto preview = user_.Find("Report Preview");
    const auto pages = preview.Pages("?PAGES");
    EXPECT_EQ(pages->title, "Refill Reminder Report");
    ASSERT_EQ(pages->pages.size(), 2u) << "every due prescription, three to a page, not just the highlighted one";
    preview.Press("?EXIT");
    EXPECT_EQ(list.Choice("?BROWSE:1"), 3) << "the highlighted row stays";
    list.Press("?CLOSE");
    EXPECT_FALSE(frame.Inert());
}

TEST_F(RefillReminders, NothingDueOpensNothingAtStartUpAndTheMenuListIsEmpty) {
    addPrescriptions({{"Late", "Y", -1}, {"Beyond", "Y", 31}});
    auto frame = program_.Start();
    EXPECT_FALSE(user_.Has("Reminders"));
    frame.Press("?REPORTSREMINDERS");
    auto list = user_.Find("Reminders");
    EXPECT_TRUE(list.Rows("?BROWSE:1").empty());
    EXPECT_FALSE(list.Enabled("?PRINT"));
    EXPECT_FALSE(frame.Inert()) << "from the menu the list runs on a thread of its own";
    list.Press("?CLOSE");
    EXPECT_FALSE(user_.Has("Reminders"));
}

}  // namespace
