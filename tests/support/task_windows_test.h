#pragma once
// A test of windows run as the program runs them, on task threads of their own, without the frame:
// a temporary data folder, the program's per-thread start and end, the headless presenter with its
// scripted user, AppErrors' message boxes recorded; every window asked to close at the end.
#include <gtest/gtest.h>

#include <memory>

#include "globals/globals.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/threads.h"
#include "platform/window/window_system.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/close_all_windows.h"

namespace testing_support {

class TaskWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        prepareProgramThreads();
        if (rt::CurrentThreadNumber() == 0) rt::TouchThreadData();
        wnd::SetPresenter(presenter_);
    }
    void TearDown() override {
        testing_support::CloseAllWindows([] { rt::WaitForTaskThreads(); });
        wnd::SetPresenter(nullptr);
    }

    TempDataFolder folder_;
    MessageRecorder messages_{globals::AppErrors()};
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
};

}  // namespace testing_support
