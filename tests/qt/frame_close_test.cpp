// The frame's close box on the Qt presenter: the frame stays on screen while a form on another
// thread is asked to close, and stays when the form refuses; it goes once the form has agreed.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTest>

#include <algorithm>
#include <functional>
#include <utility>
#include <mutex>
#include <string>
#include <vector>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/window/task_queue.h"
#include "platform/window/window.h"
#include "qt/qt_test_support.h"
#include "support/thread_log.h"

namespace {

using wnd::Event;

using Log = testing_support::ThreadLog;

// A form that asks before it lets its changes go.
void RunForm(Log& log) {
    {
        wnd::Window w("QtForm", "P1$WINDOW");
        w.Open();
        while (w.Accept()) {
            if (w.event() == Event::Accepted && w.control() == w.Find("?LOC:NAME")) log.Add("name accepted");
            if (w.event() != Event::CloseWindow && w.event() != Event::CloseDown) continue;
            const unsigned answer = wnd::Message("Are you sure you want to cancel?", "Changes will be lost!",
                                                 wnd::MessageIcon::Question, wnd::kButtonYes | wnd::kButtonNo);
            if (answer != wnd::kButtonYes) {
                log.Add("form stays");
                w.CancelClose();
            }
        }
        log.Add("form closed");  // its loop is over; the window goes with it
    }
}

// A frame that closes last, as the program's does.
void RunFrame(Log& log) {
    {
        wnd::Window w("QtFrame", "P1$FRAME");
        w.Open();
        while (w.Accept()) {
            if (w.event() == Event::Accepted && w.control() == w.Find("?NEWFORM"))
                wnd::StartTask([&log] { RunForm(log); }, 0);
            if (w.event() == Event::CloseWindow && wnd::OtherWindowsOpen(w.id())) {
                wnd::CloseOtherWindows(w.handle(), false);
                w.CancelClose();
            }
        }
    }
    log.Add("frame closed");
}

class QtFrameClose : public qttest::TaskWindowsTest {
protected:
    // The frame on its thread, and a form opened from its menu on another.
    void OpenFrameAndForm() {
        ASSERT_NE(wnd::StartTask([this] { RunFrame(log_); }, 0), 0);
        ASSERT_TRUE(qttest::Settle());
        frameId_ = screen().Find("QtFrame");
        frame_ = screen().Frame();
        ASSERT_NE(frame_, nullptr);
        screen().MenuAction(frameId_, "?NEWFORM")->trigger();
        ASSERT_TRUE(qttest::Settle());
        formId_ = screen().Find("QtForm");
        ASSERT_NE(formId_, 0u);
    }

    Log log_;
    wnd::WindowId frameId_ = 0;
    wnd::WindowId formId_ = 0;
    QMainWindow* frame_ = nullptr;
};

TEST_F(QtFrameClose, TheFramesCloseBoxAsksTheFormFirstAndARefusalKeepsTheFrame) {
    ASSERT_NO_FATAL_FAILURE(OpenFrameAndForm());
    const wnd::WindowId frameId = frameId_, formId = formId_;
    QMainWindow* frame = frame_;

    frame->close();
    ASSERT_TRUE(qttest::Settle());
    auto boxes = screen().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(frame->isVisible()) << "the question is asked while the frame is on screen";
    QTest::mouseClick(boxes[0]->button(QMessageBox::No), Qt::LeftButton);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(screen().Find("QtFrame"), frameId);
    EXPECT_EQ(screen().Find("QtForm"), formId);
    auto* sub = qobject_cast<QMdiSubWindow*>(screen().WindowWidget(formId));
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(log_.Lines(), std::vector<std::string>{"form stays"});

    frame->close();
    ASSERT_TRUE(qttest::Settle());
    boxes = screen().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    QTest::mouseClick(boxes[0]->button(QMessageBox::Yes), Qt::LeftButton);
    ASSERT_TRUE(qttest::WaitForTaskThreads());
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{"form stays", "form closed", "frame closed"}));
    EXPECT_EQ(screen().Find("QtFrame"), 0u);
}

// A name typed and not yet left is a change: closing the frame, or the form itself, accepts it first,
// so the form's question knows of it, whether the close comes from the menu or a close box.
TEST_F(QtFrameClose, TextTypedAndNotLeftIsAcceptedBeforeTheCloseIsAsked) {
    ASSERT_NO_FATAL_FAILURE(OpenFrameAndForm());
    const wnd::WindowId frameId = frameId_, formId = formId_;
    QMainWindow* frame = frame_;
    auto* name = qobject_cast<QLineEdit*>(screen().ControlWidget(formId, "?LOC:NAME"));
    ASSERT_NE(name, nullptr);
    name->setFocus();
    const std::pair<const char*, std::function<void()>> closes[] = {
        {"the frame's Exit", [&] { screen().MenuAction(frameId, "?EXIT")->trigger(); }},
        {"the frame's close box", [&] { frame->close(); }},
        {"the form's close box", [&] { screen().WindowWidget(formId)->close(); }},
    };
    std::vector<std::string> expected;
    for (const auto& [how, close] : closes) {
        QTest::keyClicks(name, "x");
        close();
        ASSERT_TRUE(qttest::Settle()) << how;
        auto boxes = screen().MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u) << how;
        QTest::mouseClick(boxes[0]->button(QMessageBox::No), Qt::LeftButton);
        ASSERT_TRUE(qttest::Settle()) << how;
        expected.insert(expected.end(), {"name accepted", "form stays"});
        EXPECT_EQ(log_.Lines(), expected) << how;
    }
    frame->close();
    ASSERT_TRUE(qttest::Settle());
    auto boxes = screen().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    QTest::mouseClick(boxes[0]->button(QMessageBox::Yes), Qt::LeftButton);
    EXPECT_TRUE(qttest::WaitForTaskThreads());
}

// Exit with two forms on two threads asks one form at a time: its question is the only one on
// screen, over the form, which is brought to the front; No ends the round with nothing waiting.
TEST_F(QtFrameClose, ExitAsksOneFormAtATimeEachInFrontAndNoEndsTheRound) {
    ASSERT_NO_FATAL_FAILURE(OpenFrameAndForm());
    const wnd::WindowId first = formId_;
    screen().MenuAction(frameId_, "?NEWFORM")->trigger();
    ASSERT_TRUE(qttest::Settle());
    const wnd::WindowId second = screen().Find("QtForm");
    ASSERT_NE(second, first);
    auto* mdi = frame_->findChild<QMdiArea*>();
    ASSERT_NE(mdi, nullptr);
    // The user works in the first form; the second is behind it.
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(screen().WindowWidget(first)));
    ASSERT_TRUE(qttest::Settle());

    // The one asked is in front, its question over it, and alone.
    auto asked = [&](const char* when) -> QMessageBox* {
        auto boxes = screen().MessageBoxes();
        EXPECT_EQ(boxes.size(), 1u) << when;
        if (boxes.size() != 1u) return nullptr;
        QMdiSubWindow* front = mdi->activeSubWindow();
        EXPECT_TRUE(front == screen().WindowWidget(first) || front == screen().WindowWidget(second)) << when;
        if (front) {
            const QRect form(front->mapToGlobal(QPoint(0, 0)), front->size());
            EXPECT_TRUE(form.contains(boxes[0]->frameGeometry().center())) << when;
        }
        EXPECT_EQ(boxes[0]->parentWidget(), frame_) << "transient for the frame";
        return boxes[0];
    };

    screen().MenuAction(frameId_, "?EXIT")->trigger();
    ASSERT_TRUE(qttest::Settle());
    QMessageBox* box = asked("the first question");
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(screen().MessageBoxes().empty()) << "No ends the round: nothing else is asked";
    EXPECT_EQ(log_.Lines(), std::vector<std::string>{"form stays"});
    EXPECT_EQ(screen().Find("QtFrame"), frameId_);

    screen().MenuAction(frameId_, "?EXIT")->trigger();
    ASSERT_TRUE(qttest::Settle());
    box = asked("the first question again");
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    ASSERT_TRUE(qttest::Settle());
    box = asked("the second form's question, once the first form has gone");
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    ASSERT_TRUE(qttest::WaitForTaskThreads());
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{"form stays", "form closed", "form closed", "frame closed"}));
}

}  // namespace
