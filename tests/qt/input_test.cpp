// The presenter's own input rules, driven straight through the Presenter interface with a sink that
// records what would go to the task: key codes, alert keys and aliases, Tab order, Enter, and the
// revision rule that drops the task's answers to keystrokes the user has typed past.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <mutex>
#include <vector>

#include "platform/qt/key_map.h"
#include "platform/qt/list_format.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;

TEST(QtKeys, QtKeysMapToThePlatformCodes) {
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        wnd::KeyCode code;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::NoModifier, 'A'},
        {Qt::Key_H, Qt::ControlModifier, wnd::kKeyCtrlH},
        {Qt::Key_Tab, Qt::NoModifier, wnd::kKeyTab},
        {Qt::Key_Backtab, Qt::NoModifier, wnd::kKeyShiftTab},      // Shift+Tab as Qt reports it
        {Qt::Key_Backtab, Qt::ShiftModifier, wnd::kKeyShiftTab},
        {Qt::Key_Return, Qt::NoModifier, wnd::kKeyEnter},
        {Qt::Key_Enter, Qt::KeypadModifier, wnd::kKeyEnter},
        {Qt::Key_F12, Qt::NoModifier, wnd::kKeyF12},
        {Qt::Key_F5, Qt::ShiftModifier | Qt::ControlModifier, 0x74 | wnd::kShift | wnd::kCtrl},
        {Qt::Key_Menu, Qt::NoModifier, wnd::kKeyApps},
        {Qt::Key_Delete, Qt::AltModifier, wnd::kKeyDelete | wnd::kAlt},
        {Qt::Key_Shift, Qt::ShiftModifier, 0},                       // a modifier on its own
        {Qt::Key_Eacute, Qt::NoModifier, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(qtp::KeyFromQt(c.key, c.mods), c.code) << wnd::KeyName(c.code);
}

TEST(QtListFormat, ColumnsCarryWidthAlignmentIndentHeaderAndPicture) {
    const auto cols = qtp::ParseListFormat("80L(2)|M~Name~@s30@40R(1)~Count~@n6@20C");
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_EQ(cols[0].width, 80);
    EXPECT_EQ(cols[0].align, 'L');
    EXPECT_EQ(cols[0].indent, 2);
    EXPECT_TRUE(cols[0].resizable);
    EXPECT_EQ(cols[0].header, "Name");
    EXPECT_EQ(cols[0].picture, "@s30");
    EXPECT_EQ(cols[1].align, 'R');
    EXPECT_FALSE(cols[1].resizable);
    EXPECT_EQ(cols[1].header, "Count");
    EXPECT_EQ(cols[2].width, 20);
    EXPECT_EQ(cols[2].align, 'C');
    EXPECT_TRUE(qtp::ParseListFormat("").empty());
    EXPECT_TRUE(qtp::ParseListFormat("80L~unterminated").empty());
}

// A plain window with two entries and a button, opened straight through the presenter.
class QtInput : public qttest::OneWindowTest {
protected:
    void SetUp() override {
        wnd::WindowState w = qttest::PlainWindow("Keys");
        w.controls = {qttest::MakeControl(1, wnd::ControlKind::Entry, "?FIRST", {4, 4, 60, 10}),
                      qttest::MakeControl(2, wnd::ControlKind::Entry, "?SECOND", {4, 20, 60, 10}),
                      qttest::MakeControl(3, wnd::ControlKind::Button, "?GO", {4, 36, 40, 14})};
        w.controls[0].alerts[0] = 0x74;              // F5 on the first entry
        w.alertKeys = {wnd::kKeyF12};                // F12 wherever the focus is
        w.aliases = {{wnd::kKeyDown, wnd::kKeyTab}};  // Down acts as Tab
        w.focus = 1;
        Open(w);
        first_ = qobject_cast<QLineEdit*>(screen().ControlWidget(kId, "?FIRST"));
        second_ = qobject_cast<QLineEdit*>(screen().ControlWidget(kId, "?SECOND"));
        ASSERT_TRUE(first_ && second_);
        QCoreApplication::processEvents();
        sink_->Take();  // the window's activation
    }

    QLineEdit* first_ = nullptr;
    QLineEdit* second_ = nullptr;
};

TEST_F(QtInput, AnAnswerToAnOlderKeystrokeIsDroppedAndTheLatestOneShown) {
    QTest::keyClicks(first_, "abc");  // revisions 1, 2, 3
    presenter_->SetText(kId, 1, "A", 1);
    presenter_->SetText(kId, 1, "AB", 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(first_->text(), "abc");
    presenter_->SetText(kId, 1, "ABC", 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(first_->text(), "ABC");

    // Enter accepts what is shown, with the revision it answers.
    QTest::keyClick(first_, Qt::Key_Return);
    const auto events = sink_->Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, Kind::Accepted);
    EXPECT_EQ(events[0].control, 1);
    EXPECT_EQ(events[0].text, "ABC");
    EXPECT_EQ(events[0].revision, 3u);
    EXPECT_EQ(events[0].window, kId);
}

TEST_F(QtInput, AlertedKeysGoToTheTaskInsteadOfTheWidgetAndAliasesAndTabMoveTheFocus) {
    QTest::keyClick(first_, Qt::Key_F5);
    QTest::keyClick(second_, Qt::Key_F5);  // not alerted on the second entry
    QTest::keyClick(second_, Qt::Key_F12);
    auto events = sink_->Take();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::AlertKey);
    EXPECT_EQ(events[0].control, 1);
    EXPECT_EQ(events[0].key, 0x74);
    EXPECT_EQ(events[1].kind, Kind::AlertKey);
    EXPECT_EQ(events[1].control, 2);
    EXPECT_EQ(events[1].key, wnd::kKeyF12);

    // Typed text is accepted when Down (an alias of Tab) leaves the entry; Shift+Tab goes back.
    QTest::keyClicks(first_, "x");
    QTest::keyClick(first_, Qt::Key_Down);
    QTest::keyClick(second_, Qt::Key_Backtab, Qt::ShiftModifier);
    events = sink_->Take();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, Kind::Accepted);
    EXPECT_EQ(events[0].text, "x");
    EXPECT_EQ(events[1].kind, Kind::FocusChanged);
    EXPECT_EQ(events[1].control, 2);
    EXPECT_EQ(events[2].kind, Kind::FocusChanged);
    EXPECT_EQ(events[2].control, 1);

    // Enter on a button presses it, and nothing else.
    presenter_->SetFocus(kId, 3);
    QCoreApplication::processEvents();
    QTest::keyClick(screen().ControlWidget(kId, "?GO"), Qt::Key_Return);
    events = sink_->Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, Kind::Pressed);
    EXPECT_EQ(events[0].control, 3);
}

TEST_F(QtInput, TheCloseBoxAsksTheTaskAndAnInertWindowAsksNothing) {
    QWidget* window = screen().WindowWidget(kId);
    ASSERT_NE(window, nullptr);
    window->close();
    auto events = sink_->Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, Kind::CloseRequest);
    EXPECT_TRUE(window->isVisible());  // the task closes it, or not

    presenter_->SetInert(kId, true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isEnabled());
    window->close();
    EXPECT_TRUE(sink_->Take().empty());
}

TEST_F(QtInput, APopupAnswersTheChosenItemCountedWithoutSeparatorsAndHoldsOnlyItsThread) {
    wnd::PopupQuestion popup;
    popup.id = 11;
    popup.thread = 1;
    popup.window = kId;
    popup.items = {"&Edit", "-", "&Delete"};
    presenter_->AskPopup(popup, sink_);
    QCoreApplication::processEvents();
    const auto menus = screen().PopupMenus();
    ASSERT_EQ(menus.size(), 1u);
    QWidget* window = screen().WindowWidget(kId);
    // The asking thread's window waits, keeping its look: its close box asks nothing meanwhile.
    EXPECT_TRUE(window->isEnabled());
    window->close();
    EXPECT_TRUE(sink_->Take().empty());
    QAction* chosen = nullptr;
    for (QAction* a : menus[0]->actions())
        if (a->text() == "&Delete") chosen = a;
    ASSERT_NE(chosen, nullptr);
    chosen->trigger();
    menus[0]->hide();
    QCoreApplication::processEvents();
    const auto events = sink_->Take();
    ASSERT_EQ(events.size(), 1u);  // answered once, though the menu also closed
    EXPECT_EQ(events[0].kind, Kind::Answer);
    EXPECT_EQ(events[0].question, 11u);
    EXPECT_EQ(events[0].answer, 2);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(QtInput, PrintSetUpIsShownWithoutBlockingAnyWindow) {
    presenter_->PerformAction(kId, 0, wnd::StdAction::PrintSetup);
    QCoreApplication::processEvents();
    QPageSetupDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QPageSetupDialog*>(w); d && d->isVisible()) dialog = d;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    dialog->reject();
}

TEST_F(QtInput, ResizingByTheUserIsReportedInDialogUnits) {
    QWidget* window = screen().WindowWidget(kId);
    ASSERT_NE(window, nullptr);
    sink_->Take();
    // Measured in the font the window's controls are drawn in, which need not be the desktop's.
    const QFont font = first_->font();
    window->resize(qttest::PixelsAcross(font, 200), QFontMetrics(font).height() * 20);  // 200 by 160 dialog units
    QCoreApplication::processEvents();
    std::vector<wnd::InputEvent> resized;
    for (auto& e : sink_->Take())
        if (e.kind == Kind::Resized) resized.push_back(e);
    ASSERT_EQ(resized.size(), 1u);
    EXPECT_EQ(resized[0].width, 200);
    EXPECT_EQ(resized[0].height, 160);
}

}  // namespace
