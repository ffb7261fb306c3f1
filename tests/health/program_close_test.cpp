// Closing the program as a user meets it: the whole program on the headless presenter, its message
// boxes shown as the user sees them. The frame asks every other window to close first and closes
// only when all have; a window that keeps its changes keeps the frame.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "globals/program_end.h"
#include "health/people_fixture.h"
#include "health/program_windows.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/window_system.h"
#include "shell/main_frame.h"
#include "shell/procedure_services.h"
#include "shell/run_application.h"
#include "support/headless_program.h"
#include "support/own_process.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"

namespace {

constexpr wnd::KeyCode kEnter = 0x0D;
constexpr const char* kLost = "Changes will be lost!";

void addPrescription(std::string_view drug, std::string_view rxNumber) {
    testing_support::runOnTaskThread([&] {
        files::TableFile& f = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        rt::clearRecord(data::PrescriptsTable(), &data::PRE);
        rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, drug);
        rt::assign(data::PRE.PERSONSNAME, "mother");
        rt::assign(data::PRE.ACTIVE, "Y");
        rt::assign(data::PRE.RXNUMBER, rxNumber);
        rt::assignC(data::PRE.PRINTKEY, "1");
        ASSERT_EQ(f.add(), 0);
        f.close();
    });
}

// The Rx numbers on file, as another program reads them.
std::vector<std::string> storedRxNumbers() {
    std::vector<std::string> out;
    for (const auto& p : people_test::stored<data::PrescriptsRecord>(data::PrescriptsTable())) out.emplace_back(rt::clip(p.RXNUMBER));
    return out;
}

std::vector<std::string> storedNames() {
    std::vector<std::string> out;
    for (const auto& p : people_test::storedPeople()) out.emplace_back(rt::clip(p.PERSONSNAME));
    return out;
}

class ProgramClose : public ::testing::Test {
protected:
    void SetUp() override {
        health_test::RegisterProgramWindows();
        wnd::SetPresenter(presenter_);
        shell::SetFrameProcedure(&shell::Main);
        shell::ShowMessagesInWindows();  // the user answers every box
    }
    void TearDown() override {
        program_.Stop();
        globals::AppErrors().SetPresenter(nullptr);
        shell::SetFrameProcedure(nullptr);
        wnd::SetPresenter(nullptr);
    }

    // The people list from the menu, Insert, "Smith" typed and Enter pressed (or the field not left).
    hl::UserWindow NewPersonTyped(hl::UserWindow& frame, std::string* firstField, bool enter = true) {
        frame.Press("?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE");
        user_.Find("BrowsePerson").Press("?INSERT:3");
        auto form = user_.Find("UpdatePersonsName");
        *firstField = form.Focus();
        form.Type(*firstField, "Smith");
        if (enter) form.PressKey(kEnter);
        return form;
    }
    // The prescription list from the menu, its one prescription opened with Change, its Rx Number edited.
    hl::UserWindow PrescriptionEdited(hl::UserWindow& frame, std::string* firstField) {
        frame.Press("?BROWSEPRESCRIPTS");
        user_.Find("BrowsePrescripts").Press("?CHANGE:4");
        auto form = user_.Find("UpdatePrescripts");
        *firstField = form.Focus();
        form.Fill("?PRE:RXNUMBER", "EDITED");
        return form;
    }
    int threadOf(const hl::UserWindow& w) {
        std::lock_guard lock(presenter_->mutex());
        return presenter_->windows().at(w.id()).thread;
    }
    void Exit(hl::UserWindow& frame, bool closeBox) {
        if (closeBox) frame.CloseBox();
        else frame.Press("?EXIT");
    }
    std::vector<std::string> captions() {
        std::vector<std::string> out;
        for (const auto& m : user_.Messages()) out.push_back(m.caption);
        return out;
    }

    testing_support::TempDataFolder folder_;
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
    testing_support::HeadlessProgram program_{user_};
};

TEST_F(ProgramClose, AnUnsavedFormIsAskedWhileTheFrameStaysAndNoKeepsEverything) {
    struct Case {
        const char* name;
        std::function<hl::UserWindow(hl::UserWindow&, std::string*)> open;
        const char* list;
        const char* field;
        const char* typed;
        std::function<void()> unwritten;
    };
    const Case cases[] = {
        {"new person", [this](hl::UserWindow& f, std::string* first) { return NewPersonTyped(f, first); }, "BrowsePerson", "?PER:LASTNAME", "Smith",
         [] { EXPECT_TRUE(storedNames().empty()); }},
        {"new person typed, its field not left", [this](hl::UserWindow& f, std::string* first) { return NewPersonTyped(f, first, false); }, "BrowsePerson", "?PER:LASTNAME", "Smith",
         [] { EXPECT_TRUE(storedNames().empty()); }},
        {"changed prescription", [this](hl::UserWindow& f, std::string* first) { return PrescriptionEdited(f, first); }, "BrowsePrescripts", "?PRE:RXNUMBER", "EDITED",
         [] { EXPECT_EQ(storedRxNumbers(), std::vector<std::string>{"R-1"}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::TempDataFolder data;
        addPrescription("Zocor", "R-1");
        auto frame = program_.Start();
        std::string first;
        auto form = c.open(frame, &first);
        ASSERT_EQ(form.Text(c.field), c.typed);
        ASSERT_NE(threadOf(form), threadOf(frame)) << "the question waits on the list's thread";

        for (const bool closeBox : {false, true}) {
            Exit(frame, closeBox);
            EXPECT_EQ(captions(), std::vector<std::string>{kLost});
            EXPECT_TRUE(frame.Open()) << "asked while the frame is still there";
            user_.Answer(wnd::kButtonNo);
            EXPECT_TRUE(frame.Open());
            EXPECT_FALSE(frame.Inert());
            EXPECT_TRUE(user_.Has(c.list));
            ASSERT_TRUE(form.Open());
            EXPECT_EQ(form.Focus(), first);
            EXPECT_EQ(form.Text(c.field), c.typed) << "the edits stay";
            EXPECT_FALSE(program_.ended());
            c.unwritten();
        }
        // Yes lets everything go: the form, its list, the frame, and the program ends well.
        Exit(frame, false);
        user_.Answer(wnd::kButtonYes, "cancel");
        program_.Join();
        EXPECT_TRUE(program_.ended());
        EXPECT_EQ(program_.exitCode(), 0);
        EXPECT_EQ(user_.WindowCount(), 0u);
        c.unwritten();
        program_.Stop();
    }
}

TEST_F(ProgramClose, TwoListsEachHoldingAFormAreAskedOneAtATimeAndOneNoKeepsEverything) {
    addPrescription("Zocor", "R-1");
    auto frame = program_.Start();
    std::string first;
    auto person = NewPersonTyped(frame, &first);
    auto prescription = PrescriptionEdited(frame, &first);

    frame.Press("?EXIT");
    const auto asked = user_.Messages();
    ASSERT_EQ(asked.size(), 1u) << "one form asks at a time";
    EXPECT_EQ(asked[0].caption, kLost);
    EXPECT_EQ(asked[0].thread, threadOf(prescription)) << "the form opened last first";
    user_.Answer(wnd::kButtonNo);
    EXPECT_TRUE(user_.Messages().empty()) << "No ends the round: no other question waits";
    EXPECT_TRUE(frame.Open());
    EXPECT_TRUE(person.Open());
    EXPECT_TRUE(prescription.Open());
    EXPECT_TRUE(user_.Has("BrowsePerson"));
    EXPECT_TRUE(user_.Has("BrowsePrescripts"));

    frame.Press("?EXIT");
    EXPECT_EQ(captions(), std::vector<std::string>{kLost});
    user_.Answer(wnd::kButtonYes);
    EXPECT_EQ(captions(), std::vector<std::string>{kLost}) << "then the other form, once the first has gone";
    user_.Answer(wnd::kButtonYes);
    program_.Join();
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_TRUE(storedNames().empty());
    EXPECT_EQ(storedRxNumbers(), std::vector<std::string>{"R-1"});
}

TEST_F(ProgramClose, ABoxOpenAtExitIsAnsweredFirstThenTheCloseGoesOn) {
    addPrescription("Zocor", "R-1");
    auto frame = program_.Start();
    std::string first;
    auto form = PrescriptionEdited(frame, &first);
    form.Fill("?PRE:NUMBERREFILLS", "25");  // refused: a box on the form's thread
    ASSERT_EQ(user_.Messages().size(), 1u);
    const std::string refusal = user_.Messages()[0].text;

    frame.Press("?EXIT");
    ASSERT_EQ(user_.Messages().size(), 1u) << "the box stays up, alone";
    EXPECT_EQ(user_.Messages()[0].text, refusal);
    EXPECT_TRUE(frame.Open());
    user_.Answer(wnd::kButtonOk);
    EXPECT_EQ(captions(), std::vector<std::string>{kLost}) << "then the form is asked to close";
    user_.Answer(wnd::kButtonNo);
    EXPECT_TRUE(frame.Open());
    EXPECT_TRUE(form.Open());
    EXPECT_EQ(form.Focus(), first);
    EXPECT_EQ(storedRxNumbers(), std::vector<std::string>{"R-1"});
}

TEST_F(ProgramClose, AQuestionOfAListOpenAtExitIsAnsweredThenTheListAndTheFrameClose) {
    people_test::store(data::PersonsNameTable(), std::vector{people_test::person("Aaron")});
    auto frame = program_.Start();
    frame.Press("?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE");
    auto list = user_.Find("BrowsePerson");
    list.Press("?DELETE:3");
    EXPECT_EQ(captions(), std::vector<std::string>{"Confirm Delete"});
    frame.Press("?EXIT");
    EXPECT_TRUE(frame.Open());
    user_.Answer(wnd::kButtonNo);
    program_.Join();
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_EQ(storedNames(), std::vector<std::string>{"Aaron"});
}

// Run in a process of its own, with the settings in a folder of the test's: a fatal error while a
// form holds unsaved changes. The program asks nothing more (no box is shown after the fatal one),
// closes every window and ends through its normal shut-down; the process's exit code is the program's.
CHILD_TEST_F(ProgramClose, FatalErrorChild) {
    auto frame = program_.Start();
    std::string first;
    NewPersonTyped(frame, &first);
    people_test::StandIn fails("links", [] {
        globals::AppSettings().Update("Close test", "Written", "before the end");
        globals::AppErrors().SetFile("Doctors");
        globals::AppErrors().SetErrors(5, "Access Denied");
        globals::AppErrors().Throw(26);
        // What the thread meets on its way out is not asked: the answer gives up.
        EXPECT_EQ(globals::AppErrors().Throw(10), cls::kAnswerNo);
    });
    frame.Press("?USEFULLINKSLINKS");
    ASSERT_EQ(captions(), std::vector<std::string>{"File Access Error"});
    user_.Answer(wnd::kButtonOk);
    EXPECT_TRUE(user_.Messages().empty()) << "no form asks whether its changes may be lost";
    program_.Join();
    EXPECT_EQ(user_.WindowCount(), 0u);
    EXPECT_TRUE(storedNames().empty());
    if (HasFailure()) return;
    std::filesystem::remove_all(folder_.path());
    std::_Exit(program_.exitCode());
}

TEST_F(ProgramClose, AFatalErrorLeavesThroughTheNormalShutDownWithItsExitCode) {
    const std::filesystem::path config = std::filesystem::path(folder_.path()) / "config";
    std::filesystem::create_directories(config);
    const pid_t pid = testing_support::runTestInOwnProcess("ProgramClose.FatalErrorChild",
                                                           "XDG_CONFIG_HOME=" + config.string());
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), globals::kFatalExitCode) << "1: a check failed in the child";
    // The settings changed during the run were written back at the shut-down.
    std::ifstream ini(config / "Prescripts" / "Prescripts.ini");
    std::stringstream text;
    text << ini.rdbuf();
    EXPECT_NE(text.str().find("before the end"), std::string::npos) << text.str();
}

}  // namespace
