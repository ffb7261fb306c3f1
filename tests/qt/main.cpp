// The Qt tests need a QApplication on the main thread, so they bring their own main.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "pictures/program_pictures.h"

int main(int argc, char** argv) {
    // Listing the tests happens at build time, where there may be no display at all.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; a test run outside a desktop session gets one of its own.
    std::string runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        std::string pattern = (std::filesystem::temp_directory_path() / "qt-test-runtime-XXXXXX").string();
        if (mkdtemp(pattern.data())) runtime = pattern;
        if (!runtime.empty()) qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // The windows under test draw the program's own pictures, as in the program.
    pictures::AddProgramPictures();
    testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    if (!runtime.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }
    return rc;
}
