#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <mutex>
#include <string>
#include <vector>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/runtime/desktop_settings.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/program_services.h"
#include "platform/runtime/threads.h"
#include "shell/run_application.h"
#include "support/program_fixture.h"

namespace {

// Records the calls the program makes on the desktop settings.
class FakeDesktop final : public rt::DesktopSettings {
public:
    FakeDesktop(bool queryWorks, long drag) : queryWorks_(queryWorks), drag_(drag) {}
    bool Get(unsigned action, long* value) override {
        log("get " + std::to_string(action));
        if (!queryWorks_) return false;
        *value = drag_;
        return true;
    }
    bool Set(unsigned action, long value, unsigned flags) override {
        log("set " + std::to_string(action) + " " + std::to_string(value) + " " + std::to_string(flags));
        drag_ = value;
        return true;
    }
    void log(std::string s) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(s));
    }
    std::vector<std::string> calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }

private:
    bool queryWorks_;
    long drag_;
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

class StartUp : public ::testing::Test {
protected:
    void TearDown() override {
        rt::SetDesktop(nullptr);
        shell::SetFrameProcedure(nullptr);
    }
    testing_support::TempDataFolder folder_;
};

TEST_F(StartUp, DragSettingSwitchedForTheFrameAndRestoredOnlyWhenItWasOn) {
    struct Case {
        bool queryWorks;
        long drag;
        std::vector<std::string> expected;
    } cases[] = {
        {true, 1, {"get 38", "set 37 0 3", "frame", "set 37 1 3"}},  // switched around the frame
        {true, 0, {"get 38", "frame"}},
        {false, 1, {"get 38", "frame"}},
    };
    for (auto& c : cases) {
        auto desktop = std::make_shared<FakeDesktop>(c.queryWorks, c.drag);
        rt::SetDesktop(desktop);
        shell::SetFrameProcedure([&] { desktop->log("frame"); });
        EXPECT_EQ(shell::ProgramMain(), 0);
        EXPECT_EQ(desktop->calls(), c.expected);
    }
}

TEST_F(StartUp, FirstThreadIsSetUpOnceAndEveryThreadHasItsOwnTables) {
    std::atomic<int> threadOne{0};
    std::atomic<bool> sawOwnObjects{false}, sawRequestZero{false}, independentBuffers{false};
    const void* frameAccessor = nullptr;
    shell::SetFrameProcedure([&] {
        threadOne = rt::CurrentThreadNumber();
        frameAccessor = data::PrescriptsAccessorRef;
        ASSERT_NE(data::PrescriptsGroupRef, nullptr);
        rt::assign(data::PRE.DRNAME, "frame's doctor");
        globals::CallRequest = globals::kChange;  // never reaches a procedure on another thread
        rt::StartThreadProcedure(
            [&] {
                sawOwnObjects = data::PrescriptsAccessorRef != nullptr && data::PrescriptsAccessorRef != frameAccessor;
                sawRequestZero = globals::CallRequest == 0;
                independentBuffers = rt::clip(data::PRE.DRNAME).empty();
                rt::assign(data::PRE.DRNAME, "task's doctor");
            },
            25000);
    });
    EXPECT_EQ(shell::ProgramMain(), 0);
    EXPECT_EQ(threadOne, 1);
    EXPECT_TRUE(sawOwnObjects);
    EXPECT_TRUE(sawRequestZero);
    EXPECT_TRUE(independentBuffers);
    // After the program's end thread 1's tables are gone.
    EXPECT_EQ(data::PrescriptsAccessorRef, nullptr);
    EXPECT_EQ(data::PrescriptsGroupObject, nullptr);
    EXPECT_EQ(rt::HelpFile(), shell::kHelpFile);
    EXPECT_EQ(rt::ProgramIcon(), "rx.ico");
}

TEST_F(StartUp, ProgramWaitsForTaskThreadsBeforeTearingDown) {
    std::atomic<bool> taskFinished{false};
    shell::SetFrameProcedure([&] {
        rt::StartThreadProcedure(
            [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                taskFinished = true;
            },
            25000);
    });
    shell::ProgramMain();
    EXPECT_TRUE(taskFinished);
    EXPECT_EQ(rt::LiveTaskThreads(), 0u);
}

TEST(SharedTexts, CutPaddedAndBlankAtLoad) {
    shell::SetFrameProcedure([] {
        EXPECT_EQ(globals::DISCLAIMER().get(), std::string(300, ' '));
        globals::personname().set(std::string(45, 'n'));
        EXPECT_EQ(globals::personname().get(), std::string(40, 'n'));
        globals::personname().set("Ann");
        EXPECT_EQ(globals::personname().get(), rt::padTo("Ann", 40));
    });
    testing_support::TempDataFolder folder;
    shell::ProgramMain();
    shell::SetFrameProcedure(nullptr);
}

TEST(SharedTexts, ReadersNeverSeeATornValue) {
    globals::SharedText text(40);
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) text.set(i % 2 ? std::string(40, 'a') : std::string(40, 'b'));
        stop = true;
    });
    while (!stop) {
        const std::string v = text.get();
        if (v != std::string(40, 'a') && v != std::string(40, 'b') && v != std::string(40, ' ')) ++torn;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

TEST(ErrorMessages, TextsLevelsAndPerThreadDetails) {
    testing_support::MessageRecorder messages(globals::AppErrors());
    testing_support::TempDataFolder folder;
    shell::SetFrameProcedure([&] {
        auto& errors = globals::AppErrors();
        errors.SetErrors(2, "File Not Found (2)");
        errors.PushProcedure("BrowseDoctors");
        // A message raised on another thread uses that thread's details only.
        rt::StartThreadProcedure(
            [&] {
                errors.PushProcedure("UpdateDoctors");
                errors.SetErrors(5, "Access Denied (5)");
                errors.ThrowFile(26, "Doctors");
                EXPECT_EQ(errors.procedureName(), "UpdateDoctors");
                errors.PushProcedure("");
            },
            25000);
        rt::WaitForTaskThreads();
        EXPECT_EQ(errors.procedureName(), "BrowseDoctors");
        errors.PushProcedure("UpdateDoctors");
        errors.PushProcedure("");
        EXPECT_EQ(errors.procedureName(), "BrowseDoctors") << "a closed form's caller is named again";
        EXPECT_EQ(errors.ThrowFile(12, "Prescripts"), cls::kAnswerOk);
        messages.answer(cls::kButtonNo);
        EXPECT_EQ(errors.Throw(10), cls::kAnswerNo);
        EXPECT_EQ(errors.Throw(11), cls::kAnswerYes) << "Yes is the default of a question";
        errors.PushProcedure("");
    });
    shell::ProgramMain();
    shell::SetFrameProcedure(nullptr);
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].caption, "File Access Error");
    EXPECT_EQ(shown[0].text, "File Doctors could not be opened.  Error: Access Denied (5).");
    EXPECT_EQ(shown[1].caption, "File Creation Error");
    EXPECT_EQ(shown[1].text, "Error: (File Not Found (2)) creating Prescripts.");
    EXPECT_EQ(shown[2].caption, "Changes will be lost!");
    EXPECT_EQ(shown[3].text, "Are you sure you want to delete the highlighted record?");
    EXPECT_EQ(messages.fatal(), (std::vector<int>{26, 12})) << "level 3 messages end the program";
}

}  // namespace
