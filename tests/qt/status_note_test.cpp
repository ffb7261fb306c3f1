// A note the task sends for the frame's status bar (a wait on a locked file) shows there and goes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

TEST(QtStatusNote, ShowsInTheFramesStatusBarUntilCleared) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState frame;
    frame.procedure = frame.caption = "Frame";
    frame.kind = wnd::WindowKind::AppFrame;
    presenter->OpenWindow(1, 1, frame, sink);
    QCoreApplication::processEvents();
    QStatusBar* bar = presenter->screen().Frame()->statusBar();
    presenter->ShowStatus("Waiting for /data/PRESCRIP.sqlite: another program is using it...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar->currentMessage().isEmpty(); }, qttest::kWaitMs));
    EXPECT_EQ(bar->currentMessage().toStdString(), "Waiting for /data/PRESCRIP.sqlite: another program is using it...");
    presenter->ShowStatus("");
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->currentMessage().isEmpty(); }, qttest::kWaitMs));
    presenter->CloseWindow(1);
    QCoreApplication::processEvents();
}

}  // namespace
