#pragma once
// Every window of the program registered, for tests that start them without the frame.
#include <gtest/gtest.h>

#include <string>

#include "health/register.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"

namespace health_test {

inline void RegisterProgramWindows() {
    ASSERT_TRUE(shell::RegisterShellLayouts());
    std::string error;
    ASSERT_TRUE(prescriptions::RegisterPrescriptionProcedures(&error)) << error;
    ASSERT_TRUE(health::RegisterHealthProcedures(&error)) << error;
}

}  // namespace health_test
