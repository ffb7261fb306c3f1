// The prescription list as a user meets it: started from the frame's menu on a thread of its own,
// on the headless presenter, with a stand-in form that completes or cancels as the test says.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/migration_notice.h"
#include "platform/files/collation.h"
#include "platform/files/migration.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/browse_prescripts.h"
#include "support/counted_reads.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/run_application.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"
#include "support/program_test.h"
#include "support/task_thread.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Rx {
    const char* drug;
    const char* active;
    const char* doctor;
    std::int64_t cents;
    int reminderDay;  // days from today; 0: no reminder date
};

// On a task thread of its own (its own connection).
template <typename F>
void onAnotherThread(F&& body) {
    testing_support::runOnAnotherThread(std::forward<F>(body));
}

void addPrescriptions(const std::vector<Rx>& rows) {
    onAnotherThread([&] {
        auto& f = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        int n = 0;
        for (const Rx& r : rows) {
            data::PRE = {};
            rt::clearRecord(data::PrescriptsTable(), &data::PRE);
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, r.drug);
            rt::assign(data::PRE.ACTIVE, r.active);
            rt::assign(data::PRE.DRNAME, r.doctor);
            ASSERT_TRUE(data::PRE.COST.setScaled(r.cents));
            if (r.reminderDay) data::PRE.REFILLREMINDERDATE.set(rt::today() + 100 + r.reminderDay);
            rt::assignC(data::PRE.PRINTKEY, std::to_string(++n));
            ASSERT_EQ(f.add(), 0);
        }
        f.close();
    });
}

// What the stand-in form does with the next request.
std::atomic<bool> gComplete{true};
std::atomic<int> gRequests{0};
// The last request the form was called with, and the drug of the record it was handed.
std::atomic<int> gLastRequest{0};
std::mutex gLastDrugMutex;
std::string gLastDrug;

void StandInForm() {
    ++gRequests;
    const int request = globals::CallRequest;
    gLastRequest = request;
    {
        std::lock_guard lock(gLastDrugMutex);
        gLastDrug = rt::rtrim(rt::view(data::PRE.DRUGNAMEASPRESCRIBED));
    }
    globals::CallRequest = 0;
    globals::CallResponse = globals::kCancelled;
    auto* acc = data::PrescriptsAccessorRef;
    if (request == globals::kInsert) {
        if (gComplete) {
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, "Zestril");
            rt::assign(data::PRE.DRNAME, "Dr. Added");
            data::PRE.COST.setScaled(1234);
            rt::assignC(data::PRE.PRINTKEY, "Zestril");
            if (acc->InsertRecord() == 0) globals::CallResponse = globals::kCompleted;
        } else {
            data::PrescriptsGroupRef->UndoAutoNumber();
        }
    } else if (request == globals::kDelete && gComplete) {
        if (data::PrescriptsGroupRef->RemoveRecord(false) == 0) globals::CallResponse = globals::kCompleted;
    }
}

class PrescriptionList : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        shell::RegisterProcedure("UpdatePrescripts", &StandInForm);
        gComplete = true;
        gRequests = 0;
        gLastRequest = 0;
    }
    void TearDown() override {
        ProgramTest::TearDown();
        shell::RegisterProcedure("UpdatePrescripts", nullptr);
    }
    hl::UserWindow OpenList() {
        auto frame = program_.Start();
        frame.Press("?BROWSEPRESCRIPTS");
        return user_.Find("BrowsePrescripts");
    }
    static std::vector<std::string> column(const Rows& rows, std::size_t c) {
        std::vector<std::string> v;
        for (const auto& r : rows) v.push_back(r.at(c));
        return v;
    }
};

TEST_F(PrescriptionList, EmptyListShowsAZeroTotalAndOnlyInsert) {
    auto list = OpenList();
    EXPECT_EQ(list.Caption(), "List Prescriptions");
    EXPECT_TRUE(list.Rows("?BROWSE:1").empty());
    EXPECT_EQ(rt::rtrim(list.Text("?TOTCOST")), std::string(rt::rtrim(prescriptions::TotalCostText(0, false))));
    EXPECT_NE(list.Text("?TOTCOST").find("0.00"), std::string::npos);
    EXPECT_TRUE(list.Enabled("?INSERT:4"));
    EXPECT_FALSE(list.Enabled("?CHANGE:4"));
    EXPECT_FALSE(list.Enabled("?DELETE:4"));
    EXPECT_TRUE(list.Hidden("?SELECT:2"));
    // The popup's items stand for the buttons, with their icons, greyed where the button is.
    list.PressKey(wnd::kKeyApps);
    ASSERT_EQ(user_.Popups().size(), 1u);
    const wnd::PopupQuestion popup = user_.Popups()[0];
    EXPECT_EQ(popup.items, (std::vector<std::string>{"&Insert", "~&Change", "~&Delete", "~&View"}));
    EXPECT_EQ(popup.icons, (std::vector<std::string>{"WAINSERT.ICO", "WACHANGE.ICO", "WADELETE.ICO", "WAVIEW.ICO"}));
    user_.ChoosePopup("");
}

// The keyboard's popup keys open the list's own popup at its highlighted row and act on that
// row's record; the right button's opens where it was clicked, with the list-format items too.
TEST_F(PrescriptionList, TheMenuKeyAndShiftF10OpenThePopupAtTheHighlightedRow) {
    addPrescriptions({{"Metformin", "Y", "Dr. Brown", 10, 0}, {"Aspirin", "Y", "Dr. Adams", 70, 0},
                      {"Coumadin", "N", "Dr. Clark", 300, 0}});
    auto list = OpenList();
    const int rows = list.Control("?BROWSE:1").number;
    const std::vector<std::string> own = {"&Insert", "&Change", "&Delete", "&View"};
    struct Case {
        const char* how;
        const char* focus;  // the control the key is pressed on
        wnd::KeyCode key;
        int row;            // the highlighted row, its record handed to View
        bool opens;
    } cases[] = {
        {"Menu", "?BROWSE:1", wnd::kKeyApps, 3, true},
        {"Shift+F10", "?BROWSE:1", wnd::kShift | wnd::kKeyF10, 2, true},
        {"F10 alone", "?BROWSE:1", wnd::kKeyF10, 2, false},
        {"Shift+F10 on a button", "?CLOSE", wnd::kShift | wnd::kKeyF10, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        list.ChooseRow("?BROWSE:1", c.row);
        list.Click(c.focus);
        gLastRequest = 0;
        list.PressKey(c.key);
        if (!c.opens) {
            EXPECT_TRUE(user_.Popups().empty());
            continue;
        }
        ASSERT_EQ(user_.Popups().size(), 1u);
        const wnd::PopupQuestion popup = user_.Popups()[0];
        EXPECT_EQ(popup.control, rows) << "shown at the list's highlighted row";
        EXPECT_EQ(popup.items, own);
        EXPECT_EQ(list.Choice("?BROWSE:1"), c.row);
        user_.ChoosePopup("&View");
        EXPECT_EQ(gLastRequest, globals::kView);
        std::lock_guard lock(gLastDrugMutex);
        EXPECT_EQ(gLastDrug, list.Rows("?BROWSE:1").at(static_cast<std::size_t>(c.row - 1)).at(0));
    }
    list.RightClickRow("?BROWSE:1", 1);
    ASSERT_EQ(user_.Popups().size(), 1u);
    const wnd::PopupQuestion popup = user_.Popups()[0];
    EXPECT_EQ(popup.control, 0) << "shown at the pointer";
    EXPECT_GT(popup.items.size(), own.size()) << "with the list-format items";
    user_.ChoosePopup("");
}

TEST_F(PrescriptionList, TabsOrderTheRowsAndTheTotalCountsOnlyCapitalY) {
    addPrescriptions({
        {"Metformin", "Y", "Dr. Brown", 10, 3},
        {"Aspirin", "Y", "Dr. Adams", 70, 0},      // no reminder date: not on the fourth tab
        {"Lipitor", "y", "Dr. Adams", 50000, 1},   // lower-case: not counted
        {"Coumadin", "N", "Dr. Clark", 30000, 2},
        {"Zyrtec", "", "", 20000, 4},              // blank doctor and flag: not in the doctor order
    });
    auto list = OpenList();
    EXPECT_NE(list.Text("?TOTCOST").find("0.80"), std::string::npos) << list.Text("?TOTCOST");
    const Rows byDoctor = list.Rows("?BROWSE:1");
    EXPECT_EQ(column(byDoctor, 0), (std::vector<std::string>{"Aspirin", "Lipitor", "Metformin", "Coumadin"}));
    list.ChooseTab("?TAB:4");
    EXPECT_EQ(column(list.Rows("?BROWSE:1"), 0),
              (std::vector<std::string>{"Aspirin", "Coumadin", "Lipitor", "Metformin", "Zyrtec"}));
    list.ChooseTab("?TAB:5");
    EXPECT_EQ(column(list.Rows("?BROWSE:1"), 0),
              (std::vector<std::string>{"Lipitor", "Coumadin", "Metformin", "Zyrtec"}));
    list.ChooseTab("?TAB:2");
    EXPECT_EQ(column(list.Rows("?BROWSE:1"), 0), column(byDoctor, 0));
}

TEST_F(PrescriptionList, InsertGrowsTheTotalAndHighlightsTheNewRowCancelLeavesItAlone) {
    addPrescriptions({{"Metformin", "Y", "Dr. Brown", 10, 3}});
    auto list = OpenList();
    gComplete = false;
    list.Press("?INSERT:4");
    EXPECT_EQ(gRequests, 1);
    EXPECT_EQ(list.Rows("?BROWSE:1").size(), 1u) << "a cancelled insert leaves no record behind";
    EXPECT_NE(list.Text("?TOTCOST").find("0.10"), std::string::npos);
    gComplete = true;
    list.Press("?INSERT:4");
    const Rows rows = list.Rows("?BROWSE:1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(list.Text("?TOTCOST").find("12.44"), std::string::npos) << list.Text("?TOTCOST");
    EXPECT_EQ(rows.at(static_cast<std::size_t>(list.Choice("?BROWSE:1") - 1)).at(0), "Zestril");
    EXPECT_TRUE(list.Enabled("?DELETE:4"));
    list.Press("?DELETE:4");
    EXPECT_EQ(list.Rows("?BROWSE:1").size(), 1u);
    EXPECT_NE(list.Text("?TOTCOST").find("0.10"), std::string::npos);
}

TEST_F(PrescriptionList, PrescriptionsSavedElsewhereCountAtTheNextReload) {
    addPrescriptions({{"Metformin", "Y", "Dr. Brown", 10, 3}});
    auto list = OpenList();
    EXPECT_NE(list.Text("?TOTCOST").find("0.10"), std::string::npos);
    list.ChooseTab("?TAB:3");
    addPrescriptions({{"Aspirin", "Y", "Dr. Adams", 70, 0}});  // another thread, its own connection
    list.ChooseTab("?TAB:2");
    EXPECT_NE(list.Text("?TOTCOST").find("0.80"), std::string::npos) << list.Text("?TOTCOST");
    EXPECT_EQ(list.Rows("?BROWSE:1").size(), 2u);
}

TEST_F(PrescriptionList, AnotherProgramsWritesCountAndATotalPastItsDigitsShowsTheMark) {
    addPrescriptions({{"Metformin", "Y", "Dr. Brown", 10, 3}, {"Coumadin", "N", "Dr. Clark", 30000, 2}});
    std::string path;
    onAnotherThread([&] {
        ASSERT_EQ(testing_support::openOrCreate(data::PrescriptsFile()), 0);
        path = data::PrescriptsFile().path();
    });
    auto list = OpenList();
    EXPECT_NE(list.Text("?TOTCOST").find("0.10"), std::string::npos) << list.Text("?TOTCOST");
    // Another program writes the file through SQLite itself, past this program's driver.
    auto otherProgram = [&](const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        files::registerCollations(db);  // the keys' text order
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    };
    struct Case {
        const char* sql;
        const char* shown;  // in ?TOTCOST; "#" the overflow mark
    } cases[] = {
        {"UPDATE PRESCRIP SET ACTIVE = 'Y' WHERE DRUGNAMEASPRESCRIBED = 'Coumadin'", "300.10"},
        {"UPDATE PRESCRIP SET COST = 9999989 WHERE DRUGNAMEASPRESCRIBED = 'Coumadin'", "99999.99"},
        {"UPDATE PRESCRIP SET COST = 11 WHERE DRUGNAMEASPRESCRIBED = 'Metformin'", "#"},
        {"DELETE FROM PRESCRIP WHERE DRUGNAMEASPRESCRIBED = 'Coumadin'", "0.11"},
    };
    for (const auto& c : cases) {
        otherProgram(c.sql);
        list.ChooseTab("?TAB:3");  // back to the first tab: the list reloads
        list.ChooseTab("?TAB:2");
        const std::string shown = list.Text("?TOTCOST");
        if (std::string(c.shown) == "#") EXPECT_EQ(shown.find_first_not_of('#'), std::string::npos) << c.sql << ": " << shown;
        else EXPECT_NE(shown.find(c.shown), std::string::npos) << c.sql << ": " << shown;
    }
}

TEST_F(PrescriptionList, ATypedLetterFindsTheFirstRowAlthoughLaterKeyPartsDescend) {
    // By drug name, active and fill date descending: the two rows named exactly "A" come first,
    // the active one before the inactive one.
    addPrescriptions({{"A", "N", "Dr. Adams", 0, 0}, {"Bextra", "Y", "Dr. Brown", 0, 0},
                      {"A", "Y", "Dr. Adams", 0, 0}, {"Aspirin", "Y", "Dr. Adams", 0, 0}});
    auto list = OpenList();
    list.ChooseTab("?TAB:4");
    const Rows rows = list.Rows("?BROWSE:1");
    ASSERT_EQ(column(rows, 0), (std::vector<std::string>{"A", "A", "Aspirin", "Bextra"}));
    ASSERT_EQ(column(rows, 1), (std::vector<std::string>{"Y", "N", "Y", "Y"}));
    list.PressKey('B');
    EXPECT_EQ(list.Choice("?BROWSE:1"), 4);
    list.PressKey('A');
    EXPECT_EQ(list.Choice("?BROWSE:1"), 1);
}

TEST(TotalCost, ExactCentsAndAnOverflowMark) {
    EXPECT_NE(prescriptions::TotalCostText(80, false).find("0.80"), std::string::npos);
    EXPECT_NE(prescriptions::TotalCostText(9999999, false).find("99999.99"), std::string::npos);
    EXPECT_EQ(prescriptions::TotalCostText(10000000, false).find_first_not_of('#'), std::string::npos);
    EXPECT_EQ(prescriptions::TotalCostText(5, true).find_first_not_of('#'), std::string::npos);
}

// A file of the previous release is brought up to date when the list first opens it: the progress
// window shows while that runs (here at once, the delay set to nothing), and the list opens after it
// on its rows and their total, never empty with a total of 0.00.
TEST_F(PrescriptionList, AnUpgradeShowsItsProgressAndTheListOpensAfterIt) {
    addPrescriptions({{"Metformin", "Y", "Dr. Brown", 10, 3}, {"Aspirin", "Y", "Dr. Adams", 70, 0}});
    // The quick listing's lookup as the previous release stored it.
    testing_support::rawSqlInDataFolder("PRESCRIP.sqlite",
                                        "DROP INDEX \"PRESCRIP:PRE:ByPerson\"; CREATE INDEX \"PRESCRIP:PRE:ByPerson\" ON \"PRESCRIP\" "
                                        "(\"PERSONSNAME\" COLLATE CP1252_NOCASE); PRAGMA user_version = 2");
    auto frame = program_.Start();

    // What the screen holds while the upgrade runs, seen from inside it.
    struct Seen {
        std::mutex mutex;
        std::vector<std::vector<std::string>> windows;  // captions, at each step of the upgrade
    };
    auto seen = std::make_shared<Seen>();
    class Recorder final : public files::MigrationWatch {
    public:
        Recorder(std::unique_ptr<files::MigrationWatch> shown, std::shared_ptr<Seen> seen, std::shared_ptr<hl::HeadlessPresenter> p)
            : shown_(std::move(shown)), seen_(std::move(seen)), presenter_(std::move(p)) {}
        void progress(double done) override {
            shown_->progress(done);
            std::vector<std::string> captions;
            {
                std::lock_guard lock(presenter_->mutex());
                for (const auto& [id, w] : presenter_->windows()) captions.push_back(w.state.caption);
            }
            std::lock_guard lock(seen_->mutex);
            seen_->windows.push_back(std::move(captions));
        }

    private:
        std::unique_ptr<files::MigrationWatch> shown_;
        std::shared_ptr<Seen> seen_;
        std::shared_ptr<hl::HeadlessPresenter> presenter_;
    };
    files::SetMigrationObserver([seen, presenter = presenter_, shows = cls::MigrationProgressWindows(std::chrono::milliseconds(0))](const std::string& path) {
        return std::make_unique<Recorder>(shows(path), seen, presenter);
    });
    frame.Press("?BROWSEPRESCRIPTS");
    auto list = user_.Find("BrowsePrescripts");
    cls::ShowMigrationProgress();

    const std::string caption = list.Caption();
    {
        std::lock_guard lock(seen->mutex);
        ASSERT_FALSE(seen->windows.empty()) << "the file was upgraded";
        const auto& during = seen->windows.front();
        EXPECT_TRUE(std::find(during.begin(), during.end(), "Progress...") != during.end()) << "the progress window shows";
        EXPECT_TRUE(std::find(during.begin(), during.end(), caption) == during.end()) << "the list opens after it";
    }
    EXPECT_FALSE(user_.Has("Migration")) << "the progress window closes when the upgrade ends";
    EXPECT_EQ(list.Rows("?BROWSE:1").size(), 2u);
    EXPECT_NE(list.Text("?TOTCOST").find("0.80"), std::string::npos) << list.Text("?TOTCOST");
    EXPECT_TRUE(messages_.shown().empty());
}

// A prescription file that cannot be read is said once, as the list opens it, and no list opens
// on nothing.
TEST_F(PrescriptionList, AFileThatCannotBeOpenedIsReportedOnceAndNoListOpens) {
    std::ofstream(files::DataFolder() + "/PRESCRIP.sqlite") << std::string(8192, 'x');
    auto frame = program_.Start();
    frame.Press("?BROWSEPRESCRIPTS");
    user_.WaitIdle();
    EXPECT_EQ(messages_.shown().size(), 1u);
    EXPECT_FALSE(user_.Has("BrowsePrescripts"));
}

}  // namespace
