// What one user at one screen sees of the frame while working in its windows: the status bar's
// message for the focused control, the Window menu's mark, a list without a seeker ignoring typed
// letters, the old value selected after a refusal, and a maximised window told its size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;

class QtFrameBehaviour : public testing::Test {
protected:
    void SetUp() override {
        wnd::WindowState frame;
        frame.procedure = frame.caption = "Frame";
        frame.kind = wnd::WindowKind::AppFrame;
        frame.controls = {qttest::MakeControl(1, wnd::ControlKind::MenuBar, "?MENUBAR", {}),
                          qttest::MakeControl(2, wnd::ControlKind::Menu, "?WINDOWMENU", {}, "&Window")};
        frame.controls[1].parent = 1;
        presenter_->OpenWindow(1, 1, frame, sink_);
        QCoreApplication::processEvents();
        bar_ = screen().Frame()->statusBar();
    }
    void TearDown() override {
        for (wnd::WindowId id : opened_) presenter_->CloseWindow(id);
        presenter_->CloseWindow(1);
        QCoreApplication::processEvents();
    }
    // An MDI child of the frame, on a thread of its own.
    void Child(wnd::WindowId id, const char* caption, std::vector<wnd::ControlState> controls, int focus = 1) {
        wnd::WindowState w = qttest::PlainWindow(caption);
        w.kind = wnd::WindowKind::MdiChild;
        w.controls = std::move(controls);
        w.focus = focus;
        presenter_->OpenWindow(id, static_cast<int>(id), w, sink_);
        opened_.push_back(id);
        QCoreApplication::processEvents();
    }
    qtp::Screen& screen() { return presenter_->screen(); }

    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
    std::shared_ptr<qttest::RecordingSink> sink_ = std::make_shared<qttest::RecordingSink>();
    std::vector<wnd::WindowId> opened_;
    QStatusBar* bar_ = nullptr;
};

// A two-line message shows whole on one line; the bar follows the focus to a control with a
// message and clears for one without, and when a nested window ends.
TEST_F(QtFrameBehaviour, TheStatusBarShowsTheFocusedControlsWholeMessageAndNothingStale) {
    auto cost = qttest::MakeControl(1, wnd::ControlKind::Entry, "?COST", {4, 4, 60, 10});
    cost.message = "Enter the direct cost for this drug. This may be\nthe co-pay of your plan.";
    auto name = qttest::MakeControl(2, wnd::ControlKind::Entry, "?NAME", {4, 20, 60, 10});
    auto taken = qttest::MakeControl(3, wnd::ControlKind::Check, "?TAKEN", {4, 36, 60, 10}, "Taken");
    taken.message = "Check this box if this is a drug currently taken,\r\nor clear it.";
    Child(10, "Form", {cost, name, taken});
    screen().WindowWidget(10)->activateWindow();
    presenter_->SetFocus(10, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar_->currentMessage().toStdString(), "Enter the direct cost for this drug. This may be the co-pay of your plan.");
    screen().ControlWidget(10, "?NAME")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar_->currentMessage().toStdString(), "") << "a control without a message clears the bar";
    screen().ControlWidget(10, "?TAKEN")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar_->currentMessage().toStdString(), "Check this box if this is a drug currently taken, or clear it.");

    // A nested window's message goes with it.
    auto day = qttest::MakeControl(1, wnd::ControlKind::Button, "?DAY", {4, 4, 40, 12}, "1");
    day.message = "Date Filled?";
    Child(11, "Calendar", {day});
    presenter_->SetFocus(11, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar_->currentMessage().toStdString(), "Date Filled?");
    presenter_->CloseWindow(11);
    opened_.pop_back();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar_->currentMessage().toStdString(), "");
}

// The Window menu marks the window the user works in.
TEST_F(QtFrameBehaviour, TheWindowMenuMarksTheActiveWindow) {
    Child(10, "List Prescriptions", {qttest::MakeControl(1, wnd::ControlKind::Entry, "?A", {4, 4, 60, 10})});
    Child(11, "List Doctors", {qttest::MakeControl(1, wnd::ControlKind::Entry, "?B", {4, 4, 60, 10})});
    auto* mdi = screen().Frame()->findChild<QMdiArea*>();
    ASSERT_NE(mdi, nullptr);
    for (wnd::WindowId active : {11u, 10u, 11u}) {
        auto* sub = qobject_cast<QMdiSubWindow*>(screen().WindowWidget(active));
        mdi->setActiveSubWindow(sub);
        QCoreApplication::processEvents();
        QMenu* menu = screen().MenuAction(1, "?WINDOWMENU")->menu();
        ASSERT_NE(menu, nullptr);
        emit menu->aboutToShow();
        std::vector<std::string> checked;
        for (QAction* a : menu->actions())
            if (a->isCheckable() && a->isChecked()) checked.push_back(a->text().toStdString());
        ASSERT_EQ(checked.size(), 1u);
        EXPECT_NE(checked[0].find(sub->windowTitle().toStdString()), std::string::npos) << checked[0];
    }
}

// Qt's own search by typed letters would move a list that has no seeker; a list that alerts its
// letters (its seeker's) gets them as keys.
TEST_F(QtFrameBehaviour, TypedLettersMoveAListOnlyThroughItsSeeker) {
    auto plain = qttest::MakeControl(1, wnd::ControlKind::List, "?PHARMACIES", {4, 4, 120, 60});
    plain.format = "80L(2)|M~Name~@s20@";
    auto seeking = qttest::MakeControl(2, wnd::ControlKind::List, "?DRUGS", {4, 70, 120, 60});
    seeking.format = plain.format;
    seeking.alerts[0] = 'A';
    Child(10, "Lists", {plain, seeking});
    for (int n : {1, 2}) presenter_->SetRows(10, n, {{"Zeta"}, {"Alpha"}, {"Beta"}});
    QCoreApplication::processEvents();
    auto* list = qobject_cast<QTreeWidget*>(screen().ControlWidget(10, "?PHARMACIES"));
    ASSERT_NE(list, nullptr);
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(0));
    QCoreApplication::processEvents();
    sink_->Take();
    QTest::keyClicks(list, "A");
    QTest::keyClicks(list, "b");
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0)) << "Zeta stays highlighted";
    EXPECT_TRUE(sink_->Take(Kind::NewSelection).empty());

    auto* drugs = qobject_cast<QTreeWidget*>(screen().ControlWidget(10, "?DRUGS"));
    drugs->setFocus();
    QCoreApplication::processEvents();
    sink_->Take();
    QTest::keyClick(drugs, Qt::Key_A);
    const auto keys = sink_->Take(Kind::AlertKey);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key, 'A');
}

// The task refuses a typed value and shows the old one again: it is selected, so the next key
// replaces it, whether the task's focus comes before or after its text.
TEST_F(QtFrameBehaviour, AfterARefusalTheOldValueIsSelectedAndTheNextKeyReplacesIt) {
    Child(10, "Form", {qttest::MakeControl(1, wnd::ControlKind::Entry, "?COST", {4, 4, 60, 10}, "0.00"),
                       qttest::MakeControl(2, wnd::ControlKind::Entry, "?NOTE", {4, 20, 60, 10})});
    auto* cost = qobject_cast<QLineEdit*>(screen().ControlWidget(10, "?COST"));
    ASSERT_NE(cost, nullptr);
    screen().WindowWidget(10)->activateWindow();
    for (bool focusFirst : {false, true}) {
        SCOPED_TRACE(focusFirst ? "focus, then text" : "text, then focus");
        cost->setFocus();
        cost->selectAll();
        QTest::keyClicks(cost, "abc");
        QTest::keyClick(cost, Qt::Key_Tab);  // left: the task refuses it
        const auto accepted = sink_->Take(Kind::Accepted);
        ASSERT_FALSE(accepted.empty());
        if (focusFirst) presenter_->SetFocus(10, 1);
        presenter_->SetText(10, 1, "0.00", accepted.back().revision);
        if (!focusFirst) presenter_->SetFocus(10, 1);
        QCoreApplication::processEvents();
        EXPECT_EQ(cost->text().toStdString(), "0.00");
        EXPECT_EQ(cost->selectedText().toStdString(), "0.00");
        QTest::keyClicks(cost, "7");
        EXPECT_EQ(cost->text().toStdString(), "7");
    }
}

// A window opened maximised lays its controls out for the maximised size: the task hears of it.
TEST_F(QtFrameBehaviour, AMaximisedWindowTellsTheTaskItsSize) {
    wnd::WindowState w = qttest::PlainWindow("Quick Listing");
    w.kind = wnd::WindowKind::MdiChild;
    w.maximised = true;
    w.at = {0, 0, 200, 120};
    w.controls = {qttest::MakeControl(1, wnd::ControlKind::Preview, "?PREVIEW", {4, 4, 190, 110})};
    presenter_->OpenWindow(10, 10, w, sink_);
    opened_.push_back(10);
    std::vector<wnd::InputEvent> resized;
    QTRY_VERIFY([&] {
        for (auto& e : sink_->Take(Kind::Resized)) resized.push_back(e);
        return !resized.empty();
    }());
    EXPECT_GT(resized.back().width, 200);
    EXPECT_GT(resized.back().height, 120);
}

}  // namespace
