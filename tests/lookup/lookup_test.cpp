// Lookup lists and the calendar, driven through the headless presenter: a small form with a combo
// over the Doctors table copying DOC:DOCTORSNAME (50) into PRE:DRNAME (30), and a stand-in insert
// form that adds the typed name.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/calendar_picker.h"
#include "platform/classes/lookup_list.h"
#include "platform/classes/window_procedure.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/procedure_services.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/close_all_windows.h"
#include "support/doctor_lookup.h"

namespace {

constexpr const char* kFormLayout = R"({"procedure": "LookupTestForm", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Lookup form", "kind": "mdi", "at": [200, 100],
  "controls": [
    {"use": "?DOC:DOCTORSNAME", "kind": "dropcombo", "picture": "@s50", "at": [10, 10, 120, 10]},
    {"use": "?NOTE", "kind": "entry", "picture": "@s20", "var": "LOC:NOTE"},
    {"use": "?OK", "kind": "button", "text": "&OK"},
    {"use": "?CANCEL", "kind": "button", "text": "Cancel"},
    {"use": "?CALENDAR", "kind": "button", "text": "..."}]}]})";

constexpr const char* kInsertLayout = R"({"procedure": "LookupTestInsert", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Doctor", "kind": "mdi", "at": [150, 60],
  "controls": [
    {"use": "?DOC:DOCTORSNAME", "kind": "entry", "picture": "@s50"},
    {"use": "?OK", "kind": "button", "text": "&OK"},
    {"use": "?CANCEL", "kind": "button", "text": "Cancel"}]}]})";

// What the form thread leaves for the test to read once it is idle.
struct Probe {
    std::mutex mutex;
    std::string target;           // PRE:DRNAME after every event
    std::string insertTyped;      // the name the insert form opened with
    std::atomic<int> insertRequest{0};
    std::atomic<int> calendarResponse{0};
    std::atomic<int> date{0};
    bool defaultFill = false;
    std::string startTarget;      // PRE:DRNAME when the form opens
    std::function<void(cls::CalendarPicker&)> setUpCalendar;  // set while the form is idle
    std::string get() {
        std::lock_guard l(mutex);
        return target;
    }
};

class InsertController final : public cls::ProcedureController {
public:
    using ProcedureController::ProcedureController;
protected:
    int BeforeTables() override {
        window().SetCaption(REQUEST == cls::kRequestInsert ? "Record Will Be Added" : "Doctor");
        return cls::kLevelGoOn;
    }
    int OnAccepted() override {
        if (window().control() == window().Find("?OK")) {
            if (data::DoctorsFile().add() == 0) CloseWith(cls::kResponseCompleted);
            return cls::kLevelHandled;
        }
        if (window().control() == window().Find("?CANCEL")) {
            CloseWith(cls::kResponseCancelled);
            return cls::kLevelHandled;
        }
        return ProcedureController::OnAccepted();
    }
};

class FormController final : public cls::ProcedureController {
public:
    FormController(cls::ProcedureBody& body, Probe& probe) : ProcedureController(body), probe_(probe) {}
    cls::LookupCombo doctor;

protected:
    int AfterTables() override {
        testing_support::InitialiseDoctorLookup(doctor, window().Find("?DOC:DOCTORSNAME"), *this, probe_.defaultFill);
        AddComponent(&doctor);
        AddButtonAction(window().Find("?CANCEL"), cls::kResponseCancelled);
        OKCONTROL = window().Find("?OK");
        return cls::kLevelGoOn;
    }
    int OnEvent() override {
        const int r = ProcedureController::OnEvent();
        if (window().event() == wnd::Event::OpenWindow) {
            std::lock_guard l(probe_.mutex);
            probe_.startTarget = rt::fieldText(*data::PrescriptsTable().fieldByName("PRE:DRNAME"), &data::PRE);
        }
        std::lock_guard l(probe_.mutex);
        probe_.target = rt::fieldText(*data::PrescriptsTable().fieldByName("PRE:DRNAME"), &data::PRE);
        return r;
    }
    int OnAccepted() override {
        if (window().control() == window().Find("?CALENDAR")) {
            cls::CalendarPicker calendar;
            calendar.SELECTONCLOSE = true;
            if (probe_.setUpCalendar) probe_.setUpCalendar(calendar);
            const int r = calendar.Pick("Date Filled?", data::PRE.DATEFILLED.get());
            probe_.calendarResponse = r;
            if (r == cls::kResponseCompleted) data::PRE.DATEFILLED.set(calendar.SELECTEDDATE);
            probe_.date = data::PRE.DATEFILLED.get();
            Refresh(true);
            return cls::kLevelHandled;
        }
        return ProcedureController::OnAccepted();
    }
    int OnCompleted() override {
        CloseWith(cls::kResponseCompleted);
        return cls::kLevelGoOn;
    }
    bool RunUpdater(int number) override {
        if (number != 2) return false;
        {
            std::lock_guard l(probe_.mutex);
            probe_.insertTyped = rt::fieldText(*data::DoctorsTable().fieldByName("DOC:DOCTORSNAME"), &data::DOC);
        }
        probe_.insertRequest = globals::CallRequest;
        cls::ProcedureBody body(shell::ServicesHere(), "LookupTestInsert", "P1$QUICKWINDOW");
        body.window().BindRecord(data::DoctorsTable(), &data::DOC);
        body.Run<InsertController>();
        return true;
    }

private:
    Probe& probe_;
};

class Lookup : public ::testing::Test {
protected:
    void SetUp() override {
        static std::once_flag once;
        std::call_once(once, [] {
            std::string error;
            for (const char* json : {kFormLayout, kInsertLayout}) ASSERT_TRUE(wnd::RegisterLayout(json, &error)) << error;
        });
        wnd::SetPresenter(presenter_);
    }
    void TearDown() override {
        if (running_) {
            testing_support::CloseAllWindows([this] { Join(); });
        }
        wnd::SetPresenter(nullptr);
    }
    // Seeds Doctors, then opens the form on a task thread with PRE:DRNAME = drName.
    hl::UserWindow Open(std::vector<std::string> doctors, std::string drName = "") {
        testing_support::runOnTaskThread([&] {
            ASSERT_EQ(data::DoctorsFile().create(), 0);
            ASSERT_EQ(data::DoctorsFile().open(), 0);
            for (const std::string& d : doctors) {
                data::DOC = {};
                rt::assign(data::DOC.DOCTORSNAME, d);
                ASSERT_EQ(data::DoctorsFile().add(), 0);
            }
            data::DoctorsFile().close();
        });
        running_ = true;
        wnd::Activity::Enter();  // at work from here, so the first idle wait finds the form open
        form_ = std::thread(
            [this, drName] {
                wnd::ThisThreadQueue();
                wnd::Activity::Leave();
                data::DoctorsFile().open();
                data::PRE = {};
                rt::assign(data::PRE.DRNAME, drName);
                cls::ProcedureBody body(shell::ServicesHere(), "LookupTestForm", "P1$QUICKWINDOW");
                body.window().BindRecord(data::DoctorsTable(), &data::DOC);
                body.Run<FormController>(probe_);
                data::DoctorsFile().close();
                data::ReleaseThreadFiles();
            });
        return user_.Find("Lookup form");
    }
    std::vector<std::string> FirstColumn(const hl::UserWindow& w) {
        std::vector<std::string> out;
        for (const auto& r : w.Rows("?DOC:DOCTORSNAME")) out.push_back(r.at(0));
        return out;
    }

    testing_support::TempDataFolder folder_;
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
    Probe probe_;
    bool running_ = false;
    std::thread form_;
    void Join() {
        form_.join();  // thread-local data ends before the join returns
        running_ = false;
    }
};

const std::string kLong = "Dr. Bartholomew Featherstonehaugh-Cholmondeley";  // 47 characters

TEST_F(Lookup, FillsWholeTableSortedIgnoringCaseAndChoosingCopiesCutToWidth) {
    auto w = Open({"zimmer", "Adams", "baker", kLong, "Baker"});
    EXPECT_EQ(FirstColumn(w), (std::vector<std::string>{"Adams", "baker", "Baker", kLong, "zimmer"}));
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), "");
    EXPECT_EQ(probe_.get(), "");
    w.ChooseRow("?DOC:DOCTORSNAME", 4);
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), kLong);
    EXPECT_EQ(probe_.get(), kLong.substr(0, 30));
    // Of two names equal but for case, the row chosen is the one copied.
    w.ChooseRow("?DOC:DOCTORSNAME", 3);
    EXPECT_EQ(probe_.get(), "Baker");
    w.Press("?CANCEL");
}

TEST_F(Lookup, StoredValueMatchesAtTargetWidth) {
    auto w = Open({"Adams", kLong}, kLong.substr(0, 30));
    EXPECT_EQ(w.Choice("?DOC:DOCTORSNAME"), 2);
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), kLong);
    EXPECT_EQ(probe_.get(), kLong.substr(0, 30));
}

TEST_F(Lookup, DefaultFillOnlyForABlankTargetAndAMissingValueIsKeptAndShown) {
    probe_.defaultFill = true;
    {
        auto w = Open({"zimmer", "Adams"});
        EXPECT_EQ(w.Choice("?DOC:DOCTORSNAME"), 1);
        EXPECT_EQ(probe_.get(), "Adams");
        w.Press("?CANCEL");
        Join();
    }
    auto w = Open({}, "Gone Away");
    EXPECT_EQ(w.Choice("?DOC:DOCTORSNAME"), 0);
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), "Gone Away");
    EXPECT_EQ(probe_.get(), "Gone Away");
}

TEST_F(Lookup, TypedNamesMatchIgnoringCaseAndBlankClears) {
    auto w = Open({"Adams", "Baker"});
    w.Fill("?DOC:DOCTORSNAME", "baker");
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), "Baker");  // the table's spelling
    EXPECT_EQ(probe_.get(), "Baker");
    EXPECT_EQ(w.Choice("?DOC:DOCTORSNAME"), 2);
    w.Fill("?DOC:DOCTORSNAME", "");
    EXPECT_EQ(probe_.get(), "");
    EXPECT_EQ(probe_.insertRequest.load(), 0);
}

TEST_F(Lookup, UnknownNameOpensInsertFormOkSelectsItCancelEmpties) {
    auto w = Open({"Adams", "Baker"});
    w.Fill("?DOC:DOCTORSNAME", "Carter");
    auto insert = user_.Find("LookupTestInsert");
    EXPECT_EQ(insert.Caption(), "Record Will Be Added");
    EXPECT_EQ(insert.Text("?DOC:DOCTORSNAME"), "Carter");
    EXPECT_EQ(probe_.insertRequest.load(), cls::kRequestInsert);
    EXPECT_TRUE(w.Inert());
    insert.Press("?OK");
    EXPECT_EQ(FirstColumn(w), (std::vector<std::string>{"Adams", "Baker", "Carter"}));
    EXPECT_EQ(w.Choice("?DOC:DOCTORSNAME"), 3);
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), "Carter");
    EXPECT_EQ(probe_.get(), "Carter");

    w.Fill("?DOC:DOCTORSNAME", "Dunn");
    user_.Find("LookupTestInsert").Press("?CANCEL");
    EXPECT_EQ(FirstColumn(w).size(), 3u);
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), "");
    EXPECT_EQ(probe_.get(), "");
    EXPECT_EQ(w.Focus(), "?DOC:DOCTORSNAME");
}

TEST_F(Lookup, AcceptAllPassChangesNothing) {
    auto w = Open({"Adams"}, "Kept By Hand");
    w.Press("?OK");  // the pass accepts the combo again; an unknown name must not open a form
    EXPECT_FALSE(user_.Has("LookupTestInsert"));
    EXPECT_EQ(probe_.get(), "Kept By Hand");
    Join();
}

TEST_F(Lookup, CompletionAsTheUserTypesSelectsTheRestOfTheMatchingName) {
    auto w = Open({"Asbury", "Aspirin", "Baker"});
    w.TypeIntoCombo("?DOC:DOCTORSNAME", "asp");
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), "Aspirin");
    EXPECT_EQ(w.Selection("?DOC:DOCTORSNAME"), (std::pair<int, int>{3, 7}));
    EXPECT_EQ(probe_.get(), "Aspirin");
    w.TypeIntoCombo("?DOC:DOCTORSNAME", "\b");  // the selected tail deleted: completes from "as"
    EXPECT_EQ(w.Text("?DOC:DOCTORSNAME"), "Asbury");
    EXPECT_EQ(w.Selection("?DOC:DOCTORSNAME"), (std::pair<int, int>{2, 6}));
    w.PressKey(wnd::kKeyTab);
    EXPECT_EQ(w.Choice("?DOC:DOCTORSNAME"), 1);
    EXPECT_EQ(probe_.get(), "Asbury");

    // A name nothing completes stays as typed, and leaving the combo still accepts it.
    w.Type("?DOC:DOCTORSNAME", "");
    w.TypeIntoCombo("?DOC:DOCTORSNAME", "Co");
    EXPECT_EQ(probe_.insertRequest.load(), 0);
    w.PressKey(wnd::kKeyTab);
    EXPECT_EQ(user_.Find("LookupTestInsert").Text("?DOC:DOCTORSNAME"), "Co");
}

TEST_F(Lookup, CalendarStoresOnlyAChosenDate) {
    auto w = Open({"Adams"});
    w.Press("?CALENDAR");
    auto cal = user_.Find("Date Filled?");
    EXPECT_TRUE(w.Inert());
    cal.Press("?CANCEL");
    EXPECT_EQ(probe_.calendarResponse.load(), 2);
    EXPECT_EQ(probe_.date.load(), 0);

    w.Press("?CALENDAR");
    cal = user_.Find("Date Filled?");
    const std::string month = cal.Text("?MONTH");
    cal.Press("?NEXTMONTH");
    EXPECT_NE(cal.Text("?MONTH"), month);
    // The grid's first column is Sunday; the 15th is wherever the month puts it.
    std::string day15;
    for (int d = 1; d <= 42; ++d)
        if (cal.Text("?DAY" + std::to_string(d)) == "15") day15 = "?DAY" + std::to_string(d);
    ASSERT_FALSE(day15.empty());
    EXPECT_EQ(cal.Text("?WEEKDAY1"), "Sun");
    cal.Press(day15);
    EXPECT_FALSE(user_.Has("Date Filled?"));
    EXPECT_EQ(probe_.calendarResponse.load(), 1);
    const rt::Ymd ymd = rt::ymdFromDate(probe_.date.load());
    EXPECT_EQ(ymd.day, 15);
}

// Saturdays, Sundays and the other days each in their colour, in whichever column FIRSTWEEKDAY
// puts them; the weekday headers likewise.
TEST_F(Lookup, CalendarColoursEachWeekdayWhateverTheFirstWeekday) {
    rt::FixedClockScope clock(*rt::dateFromYmd(2026, 3, 10));  // the calendar opens on March 2026
    auto w = Open({"Adams"});
    struct Case {
        int firstWeekday;
        const char* firstHeader;
        std::uint32_t saturday, sunday, days;
    } cases[] = {
        {7, "Sun", 0xFF0000, 0xFF0000, 0x000000},  // the prescription form's colours
        {1, "Mon", 0xFF0000, 0xFF0000, 0x000000},
        {3, "Wed", 0x0000FF, 0xFF0000, 0x404040},  // Saturday and Sunday told apart
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstWeekday);
        probe_.setUpCalendar = [c](cls::CalendarPicker& p) {
            p.FIRSTWEEKDAY = c.firstWeekday;
            p.SetColours(c.saturday, c.sunday, c.days, 0x008000);
        };
        w.Press("?CALENDAR");
        auto cal = user_.Find("Date Filled?");
        ASSERT_EQ(cal.Text("?MONTH"), "March 2026");
        EXPECT_EQ(cal.Text("?WEEKDAY1"), c.firstHeader);
        const auto colourOf = [&c](int sundayBased) {
            return sundayBased == 0 ? c.sunday : sundayBased == 6 ? c.saturday : c.days;
        };
        int days = 0;
        for (int d = 1; d <= 42; ++d) {
            const std::string use = "?DAY" + std::to_string(d);
            if (cal.Hidden(use)) continue;
            const int day = std::stoi(cal.Text(use));
            EXPECT_EQ(cal.Control(use).colour, colourOf((day - 1) % 7)) << "March " << day;  // the 1st is a Sunday
            ++days;
        }
        EXPECT_EQ(days, 31);
        const std::string names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        for (int col = 1; col <= 7; ++col) {
            const std::string use = "?WEEKDAY" + std::to_string(col);
            const auto at = std::find(std::begin(names), std::end(names), cal.Text(use));
            const int sundayBased = static_cast<int>(at - std::begin(names));
            ASSERT_LT(sundayBased, 7) << cal.Text(use);
            EXPECT_EQ(cal.Control(use).colour, colourOf(sundayBased)) << cal.Text(use);
        }
        cal.Press("?CANCEL");
    }
    w.Press("?CANCEL");
}

}  // namespace
