// The frame and the window-procedure pattern, driven through the headless presenter: the program
// runs as it does for a user (ProgramMain on a thread of its own as thread 1), with stand-in
// procedures registered for the menu commands.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"
#include "shell/run_application.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kListLayout = R"({"procedure": "TestList", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Test list", "kind": "mdi", "at": [200, 100],
  "controls": [
    {"use": "?PRE:DRNAME", "kind": "entry", "picture": "@s30", "at": [10, 10, 120, 10]},
    {"use": "?CHANGE", "kind": "button", "text": "&Change", "at": [10, 30, 40, 14]},
    {"use": "?CLOSE", "kind": "button", "text": "Close", "std": "close", "at": [60, 30, 40, 14]}]}]})";

constexpr const char* kFormLayout = R"({"procedure": "TestForm", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Test form", "kind": "mdi", "at": [150, 80],
  "controls": [
    {"use": "?LOC:NOTE", "kind": "entry", "picture": "@s20"},
    {"use": "?OK", "kind": "button", "text": "&OK"},
    {"use": "?CANCEL", "kind": "button", "text": "Cancel"}]}]})";

constexpr const char* kRemindersLayout = R"({"procedure": "TestReminders", "windows": [{
  "label": "P1$WINDOW", "caption": "Test reminders", "kind": "plain", "at": [100, 60],
  "controls": [{"use": "?CLOSE", "kind": "button", "text": "Close", "std": "close"}]}]})";

// What the stand-in procedures report, read by the tests once the threads are idle.
struct Probe {
    void Add(std::string line) {
        std::lock_guard lock(mutex);
        lines.push_back(std::move(line));
    }
    Lines Take() {
        std::lock_guard lock(mutex);
        return std::exchange(lines, {});
    }
    std::mutex mutex;
    Lines lines;
    std::atomic<bool> viewMode{false};
    std::atomic<bool> askOnClose{false};
};

class TestFormController final : public cls::ProcedureController {
public:
    TestFormController(cls::ProcedureBody& body, Probe& probe) : ProcedureController(body), probe_(probe) {
        if (data::PrescriptsGroupRef) UseTable(data::PrescriptsGroupRef);
    }

protected:
    int BeforeTables() override {
        AddButtonAction(window().Find("?OK"), cls::kResponseCompleted);
        AddButtonAction(window().Find("?CANCEL"), cls::kResponseCancelled);
        probe_.Add("form request " + std::to_string(REQUEST) + " left " + std::to_string(globals::CallRequest) +
                   " named " + globals::AppErrors().procedureName());
        return cls::kLevelGoOn;
    }
    int OnCloseRequest() override {
        if (!probe_.askOnClose || RESPONSE) return cls::kLevelGoOn;
        const unsigned a = wnd::Message("Changes will be lost!", "Test form", wnd::MessageIcon::Question,
                                        wnd::kButtonYes | wnd::kButtonNo, wnd::kButtonNo);
        if (a != wnd::kButtonYes) return cls::kLevelHandled;
        // The thread's tables are still there: the program has not torn anything down.
        rt::assign(data::PRE.DRNAME, "saved on close");
        const int written = data::PrescriptsAccessorRef && data::PrescriptsAccessorRef->UseTable(cls::kUseAccess) == 0
                                ? data::PrescriptsFile().add()
                                : -1;
        probe_.Add("form writes " + (written == 0 ? std::string("ok") : data::PrescriptsFile().lastErrorText()));
        return cls::kLevelGoOn;
    }

private:
    Probe& probe_;
};

void TestForm(Probe& probe) {
    std::string note;
    cls::ProcedureBody body(shell::ServicesHere(), "TestForm", "P1$QUICKWINDOW");
    body.window().Bind("LOC:NOTE", wnd::UseVariable::Text(note, 20));
    body.Run<TestFormController>(probe);
}

class TestListController final : public cls::ProcedureController {
public:
    TestListController(cls::ProcedureBody& body, Probe& probe) : ProcedureController(body), probe_(probe) {
        if (data::PrescriptsGroupRef) UseTable(data::PrescriptsGroupRef);
        UseResizer(&resizer_);
    }

protected:
    int OnAccepted() override {
        if (int r = ProcedureController::OnAccepted()) return r;
        if (window().control() == window().Find("?CHANGE")) {
            const int response = CallUpdater(1, cls::kRequestChange);
            probe_.Add("list got " + std::to_string(response) + " left " + std::to_string(globals::CallRequest) +
                       " named " + globals::AppErrors().procedureName());
        }
        return cls::kLevelGoOn;
    }
    bool RunUpdater(int) override {
        TestForm(probe_);
        return true;
    }

private:
    Probe& probe_;
    cls::WindowResizer resizer_;
};

void TestList(Probe& probe) {
    if (probe.viewMode) globals::CallRequest = cls::kRequestView;  // as a caller would leave it
    cls::ProcedureBody body(shell::ServicesHere(), "TestList", "P1$QUICKWINDOW");
    body.window().BindRecord(data::PrescriptsTable(), &data::PRE);
    body.Run<TestListController>(probe);
}

class TestRemindersController final : public cls::ProcedureController {
public:
    TestRemindersController(cls::ProcedureBody& body, Probe& probe) : ProcedureController(body) {
        probe.Add("reminders on thread " + std::to_string(rt::CurrentThreadNumber()));
    }
};

void TestReminders(Probe& probe) {
    cls::ProcedureBody body(shell::ServicesHere(), "TestReminders", "P1$WINDOW");
    body.Run<TestRemindersController>(probe);
}

void registerTestLayouts() {
    static std::once_flag once;
    std::call_once(once, [] {
        std::string error;
        for (const char* json : {kListLayout, kFormLayout, kRemindersLayout})
            ASSERT_TRUE(wnd::RegisterLayout(json, &error)) << error;
    });
}

// Adds prescriptions with the given refill-reminder dates (0: blank), on a task thread.
void addPrescriptions(const std::vector<std::pair<rt::StdDate, char>>& dates) {
    testing_support::runOnTaskThread([&] {
        ASSERT_EQ(data::PrescriptsFile().create(), 0);
        ASSERT_EQ(data::PrescriptsFile().open(), 0);
        for (const auto& [date, active] : dates) {
            data::PRE = {};
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, "Test drug");
            data::PRE.REFILLREMINDERDATE.set(date);
            data::PRE.ACTIVE[0] = active;
            ASSERT_EQ(data::PrescriptsFile().add(), 0);
        }
        data::PrescriptsFile().close();
    });
}

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        registerTestLayouts();
        ASSERT_TRUE(shell::RegisterShellLayouts());
        wnd::SetPresenter(presenter_);
        shell::SetFrameProcedure(&shell::Main);
    }
    void TearDown() override {
        program_.Stop();
        for (const shell::MenuStart& m : shell::kMenuStarts) shell::RegisterProcedure(m.procedure, nullptr);
        shell::SetFrameProcedure(nullptr);
        wnd::SetPresenter(nullptr);
    }
    hl::UserWindow StartProgram() { return program_.Start(); }
    void EndProgram() {
        program_.Join();
        EXPECT_TRUE(program_.ended());
    }
    int threadOf(const hl::UserWindow& w) {
        std::lock_guard lock(presenter_->mutex());
        return presenter_->windows().at(w.id()).thread;
    }

    testing_support::TempDataFolder folder_;
    testing_support::MessageRecorder messages_{globals::AppErrors()};
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
    Probe probe_;
    testing_support::HeadlessProgram program_{user_};
};

TEST_F(Frame, OpensWithItsMenusCaptionAndDisclaimer) {
    shell::RegisterProcedure("BrowsePrescripts", [this] { TestList(probe_); });
    auto frame = StartProgram();
    EXPECT_EQ(frame.Caption(), "Brindlecrest:  Tallomere");
    EXPECT_EQ(globals::DISCLAIMER().get(), rt::padTo(globals::kDisclaimerText, 300));
    EXPECT_TRUE(probe_.Take().empty()) << "no refill is due: the reminders were not called";

    struct Item {
        const char* use;
        const char* text;
        const char* message;
        bool enabled;
    };
    const Item items[] = {
        {"?FILEMENU", "&File", "", true},
        {"?PRINTSETUP", "&Print Setup ...", "Setup printer", true},
        {"?EXIT", "E&xit", "Exit this application", true},
        {"?EDITMENU", "&Edit", "", true},
        {"?CUT", "Cu&t", "Cut Selection To Clipboard", true},
        {"?COPY", "&Copy", "Copy Selection To Clipboard", true},
        {"?PASTE", "&Paste", "Paste From Clipboard", true},
        {"?BROWSEMENU", "&Prescriptions", "", true},
        {"?BROWSEPRESCRIPTS", "Add Update or Change Prescriptions", "Browse Prescripts", true},  // registered
        {"?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE", "Add Update or Change People", "", false},
        {"?REPORTMENU", "&Reports", "Report data", true},
        {"?REPORTPRESCRIPTS", "Print the Prescripts file", "Print in record order", false},
        {"?REPORTSITEM21", "Quick Listing and Profile", "", false},
        {"?REPORTSREMINDERS", "Reminders", "", false},
        {"?WINDOWMENU", "&Window", "", true},
        {"?TILE", "T&ile", "Arrange multiple opened windows", true},
        {"?CASCADE", "&Cascade", "Arrange multiple opened windows", true},
        {"?ARRANGE", "&Arrange Icons", "Arrange the icons for minimized windows", true},
        {"?HELPINDEX", "&Contents", "View the contents of the help file", true},
        {"?HELPSEARCH", "&Search for Help On...", "Search for help on a subject", true},
        {"?HELPONHELP", "&How to Use Help", "Provides general instructions on using help", true},
        {"?HELPMAKEADONATION", "Make A Donation", "", true},  // the shell's own windows
        {"?HELPFAMILYITEM", "Brindlecrest", "", true},
        {"?HELPABOUT", "About", "", true},
        {"?USEFULLINKS", "&Useful Links", "", true},
        {"?USEFULLINKSLINKS", "Links", "", true},
    };
    for (const Item& i : items) {
        const wnd::ControlState c = frame.Control(i.use);
        EXPECT_EQ(c.text, i.text) << i.use;
        EXPECT_EQ(c.message, i.message) << i.use;
        EXPECT_EQ(frame.Enabled(i.use), i.enabled) << i.use;
    }
    // Standard actions need no code of the frame's.
    frame.Press("?TILE");
    frame.Press("?COPY");
    EXPECT_EQ(user_.Actions(), (Lines{"Main ?TILE tile", "Main ?COPY copy"}));

    frame.Press("?EXIT");
    EndProgram();
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Frame, MenuStartsListsOnThreadsOfTheirOwnWithIndependentBuffers) {
    shell::RegisterProcedure("BrowsePrescripts", [this] { TestList(probe_); });
    auto frame = StartProgram();
    frame.Press("?BROWSEPRESCRIPTS");
    auto first = user_.Find("TestList");
    frame.Press("?BROWSEPRESCRIPTS");
    auto second = user_.Find("TestList");
    ASSERT_NE(first.id(), second.id());
    EXPECT_EQ(threadOf(frame), 1);
    EXPECT_NE(threadOf(first), 1);
    EXPECT_NE(threadOf(second), 1);
    EXPECT_NE(threadOf(first), threadOf(second));

    first.Fill("?PRE:DRNAME", "Dr First");
    second.Fill("?PRE:DRNAME", "Dr Second");
    EXPECT_EQ(first.Text("?PRE:DRNAME"), "Dr First");
    EXPECT_EQ(second.Text("?PRE:DRNAME"), "Dr Second");
    // Each list's controls show its own thread's buffer: redisplay reads it back.
    first.PressKey(0x74);  // an unalerted key: no change
    EXPECT_EQ(first.Text("?PRE:DRNAME"), "Dr First");

    // Lists keep running beside the frame; the frame's commands still work while they are open.
    EXPECT_FALSE(frame.Inert());
    first.Press("?CLOSE");
    EXPECT_FALSE(first.Open());
    EXPECT_TRUE(second.Open());
}

TEST_F(Frame, NestedCallLeavesTheCallerInertAndReturnsTheCalleesResponse) {
    shell::RegisterProcedure("BrowsePrescripts", [this] { TestList(probe_); });
    auto frame = StartProgram();
    frame.Press("?BROWSEPRESCRIPTS");
    auto list = user_.Find("TestList");

    struct Case {
        const char* button;
        const char* response;
    } cases[] = {{"?OK", "1"}, {"?CANCEL", "2"}};
    for (const Case& c : cases) {
        list.Press("?CHANGE");
        auto form = user_.Find("TestForm");
        EXPECT_EQ(threadOf(form), threadOf(list));
        EXPECT_TRUE(list.Inert());
        EXPECT_FALSE(frame.Inert());
        // The form saw the request, consumed it, and names itself in messages.
        EXPECT_EQ(probe_.Take(), Lines{"form request 2 left 0 named TestForm"});
        form.Press(c.button);
        EXPECT_FALSE(form.Open());
        EXPECT_FALSE(list.Inert());
        EXPECT_EQ(probe_.Take(), Lines{std::string("list got ") + c.response + " left 0 named TestList"});
    }
}

TEST_F(Frame, ViewModeCallerAnswersCancelledWithoutCalling) {
    probe_.viewMode = true;
    shell::RegisterProcedure("BrowsePrescripts", [this] { TestList(probe_); });
    auto frame = StartProgram();
    frame.Press("?BROWSEPRESCRIPTS");
    auto list = user_.Find("TestList");
    list.Press("?CHANGE");
    EXPECT_FALSE(user_.Has("TestForm"));
    EXPECT_EQ(probe_.Take(), Lines{"list got 2 left 0 named TestList"});
}

TEST_F(Frame, DueRefillShowsTheRemindersOnTheFramesThreadFirst) {
    rt::FixedClockScope clock(*rt::dateFromYmd(2026, 3, 10));
    addPrescriptions({{rt::today() + 30, 'N'}});  // inactive, and at the window's far edge
    shell::RegisterProcedure("Reminders", [this] { TestReminders(probe_); });
    auto frame = StartProgram();
    auto reminders = user_.Find("TestReminders");
    EXPECT_EQ(probe_.Take(), Lines{"reminders on thread 1"});
    EXPECT_TRUE(frame.Inert());
    EXPECT_EQ(globals::DISCLAIMER().get(), rt::padTo(globals::kDisclaimerText, 300));
    reminders.Press("?CLOSE");
    EXPECT_FALSE(frame.Inert());
    // The same list from the menu runs on a thread of its own.
    frame.Press("?REPORTSREMINDERS");
    EXPECT_EQ(probe_.Take().at(0).rfind("reminders on thread 1", 0), std::string::npos);
    EXPECT_FALSE(frame.Inert());
}

TEST_F(Frame, ClosingTheFrameAsksEveryWindowFirstAndStaysWhenOneRefuses) {
    probe_.askOnClose = true;
    shell::RegisterProcedure("BrowsePrescripts", [this] { TestForm(probe_); });
    auto frame = StartProgram();
    frame.Press("?BROWSEPRESCRIPTS");
    auto form = user_.Find("TestForm");
    probe_.Take();

    for (const bool viaCloseBox : {false, true}) {
        if (viaCloseBox) frame.CloseBox();
        else frame.Press("?EXIT");
        // The question is asked while the frame is still there.
        EXPECT_TRUE(frame.Open());
        ASSERT_EQ(user_.Messages().size(), 1u);
        EXPECT_EQ(user_.Messages()[0].text, "Changes will be lost!");
        // Keeping the changes keeps the form, the frame and the program.
        user_.Answer(wnd::kButtonNo);
        EXPECT_TRUE(form.Open());
        EXPECT_TRUE(frame.Open());
        EXPECT_FALSE(frame.Inert());
        EXPECT_FALSE(program_.ended());
        EXPECT_TRUE(probe_.Take().empty()) << "nothing was written";
    }

    frame.Press("?EXIT");
    user_.Answer(wnd::kButtonYes);
    EndProgram();
    EXPECT_EQ(probe_.Take(), Lines{"form writes ok"});
}

// The refill decision: dates from today to today + 30 inclusive, whether active or not.
TEST(RefillCheck, DueFromTodayToThirtyDaysAhead) {
    testing_support::TempDataFolder folder;
    testing_support::MessageRecorder messages(globals::AppErrors());
    rt::FixedClockScope clock(*rt::dateFromYmd(2026, 3, 10));
    const rt::StdDate today = rt::today();
    bool due = true;
    testing_support::runOnTaskThread([&] { due = shell::RefillsDueWithin30Days(); });
    EXPECT_FALSE(due) << "no prescriptions file yet";

    struct Case {
        const char* name;
        std::vector<std::pair<rt::StdDate, char>> dates;
        bool due;
    };
    const Case cases[] = {
        {"empty file", {}, false},
        {"today", {{today, 'Y'}}, true},
        {"today + 30", {{today + 30, 'Y'}}, true},
        {"today + 31", {{today + 31, 'Y'}}, false},
        {"yesterday", {{today - 1, 'Y'}}, false},
        {"blank", {{0, 'Y'}}, false},
        {"inactive, due", {{today + 5, 'N'}}, true},
        {"due one among others", {{today - 1, 'Y'}, {today + 12, 'Y'}, {today + 40, 'Y'}}, true},
    };
    for (const Case& c : cases) {
        testing_support::TempDataFolder one;
        addPrescriptions(c.dates);
        testing_support::runOnTaskThread([&] {
            due = shell::RefillsDueWithin30Days();
            // Its instance is gone: the thread's own table opens for writing as before.
            EXPECT_EQ(data::PrescriptsFile().open(), 0) << c.name;
            data::PrescriptsFile().close();
        });
        EXPECT_EQ(due, c.due) << c.name;
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST(RefillCheck, DateRule) {
    const rt::StdDate today = 80000;
    EXPECT_TRUE(shell::RefillDue(today, today));
    EXPECT_TRUE(shell::RefillDue(today + 30, today));
    EXPECT_FALSE(shell::RefillDue(today + 31, today));
    EXPECT_FALSE(shell::RefillDue(today - 1, today));
    EXPECT_FALSE(shell::RefillDue(0, today));
}

}  // namespace
