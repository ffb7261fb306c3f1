#pragma once
// The whole program on the Qt presenter for a test: its windows registered over a data folder of
// the test's own, the frame procedure started on a thread of its own as the program starts it, and
// every window closed and the program ended after the test (a question asked on the way is
// answered Yes).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

#include "globals/globals.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/window/task_queue.h"
#include "qt/qt_test_support.h"
#include "shell/run_application.h"
#include "support/close_all_windows.h"
#include "support/program_fixture.h"
#include "support/program_setup.h"

namespace qttest {

class RunningProgram : public testing::Test {
protected:
    // The program's windows and frame on the presenter. Data seeded after this, in the test's
    // folder, is what StartProgram() opens.
    void SetUpProgram() { testing_support::SetUpProgram(presenter_); }
    void StartProgram() {
        wnd::Activity::Enter();  // at work from here, so the first settle finds the frame open
        program_ = std::thread([this] {
            wnd::ThisThreadQueue();
            wnd::Activity::Leave();
            shell::ProgramMain();
            ended_ = true;
        });
        started_ = true;
        ASSERT_TRUE(Settle());
        frame_ = screen().Find("Main");
        ASSERT_NE(frame_, 0u);
    }
    void TearDown() override {
        if (started_)
            testing_support::CloseAllWindows([this] {
                EXPECT_TRUE(QTest::qWaitFor([this] {
                    for (QMessageBox* box : screen().MessageBoxes())
                        if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
                    return ended_.load();
                }, kWaitMs));
                program_.join();
                EXPECT_TRUE(WaitForTaskThreads());
            });
        testing_support::TearDownProgram();
    }

    qtp::Screen& screen() { return presenter_->screen(); }
    QWidget* widget(wnd::WindowId id, const char* use) { return screen().ControlWidget(id, use); }
    QMdiArea* mdi() { return screen().Frame()->findChild<QMdiArea*>(); }
    QMdiSubWindow* sub(wnd::WindowId id) { return qobject_cast<QMdiSubWindow*>(screen().WindowWidget(id)); }

    testing_support::TempDataFolder folder_;
    testing_support::MessageRecorder messages_{globals::AppErrors()};
    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
    wnd::WindowId frame_ = 0;

private:
    std::thread program_;
    std::atomic<bool> ended_{false};
    bool started_ = false;
};

}  // namespace qttest
