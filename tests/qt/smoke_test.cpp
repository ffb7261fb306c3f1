// The Qt presenter with real window procedures on task threads: a frame with a menu, an MDI form
// started from it on a thread of its own, typing, a button, a message box answered by a click.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window.h"
#include "qt/qt_test_support.h"
#include "support/thread_log.h"

namespace {

using wnd::Event;

using Log = testing_support::ThreadLog;

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

void RunForm(Log& log) {
    std::string name, kind, active, form;
    wnd::Window w("QtForm", "P1$WINDOW");
    w.Bind("LOC:NAME", wnd::UseVariable::Text(name, 20));
    w.Bind("LOC:KIND", wnd::UseVariable::Text(kind, 1));
    w.Bind("LOC:ACTIVE", wnd::UseVariable::Text(active, 1));
    w.Bind("LOC:FORM", wnd::UseVariable::Text(form, 10));
    w.SetRows(w.Find("?LOC:LIST"), {{"Aspirin", "2"}, {"Ibuprofen", "10"}});
    w.SetRows(w.Find("?LOC:FORM"), {{"Tablet"}, {"Capsule"}});
    w.SetAlert(w.Find("?LOC:NAME"), 1, 0x74);  // F5
    w.Open();
    while (w.Accept()) {
        const int c = w.control();
        if (w.event() == Event::Accepted && c == w.Find("?LOC:NAME")) log.Add("name " + trimmed(name));
        if (w.event() == Event::Accepted && c == w.Find("?LOC:KIND")) log.Add("kind " + kind);
        if (w.event() == Event::Accepted && c == w.Find("?LOC:FORM")) log.Add("form " + trimmed(form));
        if (w.event() == Event::NewSelection && c == w.Find("?LOC:LIST")) log.Add("row " + std::to_string(w.control(c).choice));
        if (w.event() == Event::AlertKey) log.Add("alert " + wnd::KeyName(w.keyCode()));
        if (w.event() == Event::Accepted && c == w.Find("?SAVE")) {
            const unsigned answer = wnd::Message("Save " + trimmed(name) + "?|It goes on the list.", "Smoke Form",
                                                 wnd::MessageIcon::Question, wnd::kButtonYes | wnd::kButtonNo, wnd::kButtonNo);
            log.Add("answer " + std::to_string(answer));
        }
    }
    log.Add("form closed");
}

void RunFrame(Log& log) {
    wnd::Window w("QtFrame", "P1$FRAME");
    w.Open();
    while (w.Accept())
        if (w.event() == Event::Accepted && w.control() == w.Find("?NEWFORM"))
            wnd::StartTask([&log] { RunForm(log); }, 0);
    log.Add("frame closed");
}

class QtSmoke : public qttest::TaskWindowsTest {
protected:
    template <typename T>
    T* control(wnd::WindowId id, const char* use) {
        auto* w = qobject_cast<T*>(screen().ControlWidget(id, use));
        EXPECT_NE(w, nullptr) << use;
        return w;
    }

    Log log_;
};

TEST_F(QtSmoke, FrameMenuOpensAFormWhoseInputReachesItsTaskAndWhoseMessageBoxIsAnsweredByAClick) {
    ASSERT_NE(wnd::StartTask([this] { RunFrame(log_); }, 0), 0);
    ASSERT_TRUE(qttest::Settle());
    const wnd::WindowId frameId = screen().Find("QtFrame");
    ASSERT_NE(frameId, 0u);
    QMainWindow* frame = screen().Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Smoke Frame");
    QStringList menus;
    for (QAction* a : frame->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Window"}));

    // The menu item starts the form on a thread of its own.
    QAction* item = screen().MenuAction(frameId, "?NEWFORM");
    ASSERT_NE(item, nullptr);
    item->trigger();
    ASSERT_TRUE(qttest::Settle());
    const wnd::WindowId formId = screen().Find("QtForm");
    ASSERT_NE(formId, 0u);
    auto* sub = qobject_cast<QMdiSubWindow*>(screen().WindowWidget(formId));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->windowTitle(), "Smoke Form");

    // Widgets are laid out from dialog units, the list shows its format's headers and its rows.
    auto* name = control<QLineEdit>(formId, "?LOC:NAME");
    auto* save = control<QPushButton>(formId, "?SAVE");
    auto* list = control<QTreeWidget>(formId, "?LOC:LIST");
    ASSERT_TRUE(name && save && list);
    EXPECT_LT(name->geometry().bottom(), list->geometry().top());
    EXPECT_LT(list->geometry().bottom(), save->geometry().top());
    EXPECT_EQ(list->headerItem()->text(0), "Drug");
    EXPECT_EQ(list->headerItem()->text(1), "Count");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Ibuprofen");

    // Typed text is accepted when the entry is left; the task's answer is shown.
    QTest::keyClicks(name, "Aspirin");
    ASSERT_TRUE(qttest::Settle());
    EXPECT_FALSE(log_.Has("name Aspirin"));
    QTest::keyClick(name, Qt::Key_Tab);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(log_.Has("name Aspirin"));
    EXPECT_EQ(name->text(), "Aspirin");

    // An alerted key reaches the task and not the widget.
    QTest::keyClick(name, Qt::Key_F5);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(log_.Has("alert F5"));

    // Radios, lists and drop lists report what the user chose.
    QTest::mouseClick(control<QWidget>(formId, "?LOC:KIND:RADIO2"), Qt::LeftButton);
    list->setCurrentItem(list->topLevelItem(1));
    auto* forms = control<QComboBox>(formId, "?LOC:FORM");
    ASSERT_NE(forms, nullptr);
    ASSERT_EQ(forms->count(), 2);
    forms->setCurrentIndex(1);
    emit forms->activated(1);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(log_.Has("kind L"));
    EXPECT_TRUE(log_.Has("row 2"));
    EXPECT_TRUE(log_.Has("form Capsule"));

    if (const char* shot = std::getenv("QTP_SCREENSHOT")) frame->grab().save(shot);

    // The button asks; only the form's thread waits: the form is inert, the frame is not.
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_TRUE(qttest::Settle());
    auto boxes = screen().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->text(), "Save Aspirin?\nIt goes on the list.");
    EXPECT_FALSE(boxes[0]->isModal());
    EXPECT_FALSE(sub->widget()->isEnabled());
    EXPECT_TRUE(frame->menuBar()->isEnabled());
    EXPECT_EQ(boxes[0]->defaultButton(), boxes[0]->button(QMessageBox::No));
    QTest::mouseClick(boxes[0]->button(QMessageBox::Yes), Qt::LeftButton);
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(log_.Has("answer " + std::to_string(wnd::kButtonYes)));
    EXPECT_TRUE(sub->widget()->isEnabled());

    // The close box asks the form's task, which closes it; the frame's Exit item closes the frame.
    sub->close();
    ASSERT_TRUE(qttest::Settle());
    EXPECT_TRUE(log_.Has("form closed"));
    EXPECT_EQ(screen().Find("QtForm"), 0u);
    screen().MenuAction(frameId, "?EXIT")->trigger();
    ASSERT_TRUE(qttest::WaitForTaskThreads());
    EXPECT_TRUE(log_.Has("frame closed"));
    EXPECT_EQ(screen().Find("QtFrame"), 0u);
}

}  // namespace
