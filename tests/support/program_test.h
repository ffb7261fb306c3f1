#pragma once
// A test of the whole program as a user meets it: its windows registered, the headless presenter,
// a temporary data folder, AppErrors' message boxes recorded and answered, and the program itself
// started by the test (program_.Start() gives its frame) and stopped afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "globals/globals.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"
#include "support/program_setup.h"

namespace testing_support {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { SetUpProgram(presenter_); }
    void TearDown() override {
        program_.Stop();
        TearDownProgram();
    }

    TempDataFolder folder_;
    MessageRecorder messages_{globals::AppErrors()};
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
    HeadlessProgram program_{user_};
};

}  // namespace testing_support
