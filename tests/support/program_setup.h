#pragma once
// Test support: the program's windows registered and its frame procedure set on a presenter, as the
// program itself starts; and undone after the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"

namespace testing_support {

inline void SetUpProgram(std::shared_ptr<wnd::Presenter> presenter) {
    ASSERT_TRUE(shell::RegisterShellLayouts());
    std::string error;
    ASSERT_TRUE(prescriptions::RegisterPrescriptionProcedures(&error)) << error;
    wnd::SetPresenter(std::move(presenter));
    shell::SetFrameProcedure(&shell::Main);
}

inline void TearDownProgram() {
    shell::SetFrameProcedure(nullptr);
    wnd::SetPresenter(nullptr);
}

}  // namespace testing_support
