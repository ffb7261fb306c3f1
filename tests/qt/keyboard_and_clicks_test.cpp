// What the keyboard and the mouse do on the Qt presenter's own widgets, driven through the
// Presenter interface with a sink that records what would go to the task: a closed drop-down's
// arrows, Enter and the default button, a button's Alt-letter, the focus mark and a single click
// on a list's column header.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;

class QtKeyboardAndClicks : public qttest::OneWindowTest {
protected:
    void SetUp() override {
        wnd::WindowState w = qttest::PlainWindow("Choosing");
        wnd::ControlState list = qttest::MakeControl(1, wnd::ControlKind::List, "?LIST", {4, 4, 160, 60});
        list.format = "60L(2)|M~Name~@s20@40R(2)|M~Count~@n6@";
        list.alerts[0] = wnd::kKeyMouseLeft;   // a header sorter's single click
        list.alerts[1] = wnd::kKeyMouseLeft2;  // the auto-sizer's double click
        w.controls = {list,
                      qttest::MakeControl(2, wnd::ControlKind::DropCombo, "?DOCTOR", {4, 70, 100, 12}),
                      qttest::MakeControl(3, wnd::ControlKind::DropList, "?PERSON", {4, 86, 100, 12}),
                      qttest::MakeControl(4, wnd::ControlKind::Button, "?GO", {4, 102, 40, 14}, "&Go"),
                      qttest::MakeControl(5, wnd::ControlKind::Check, "?SURE", {50, 102, 40, 14}, "&Sure")};
        w.focus = 2;
        presenter_->OpenWindow(kId, 1, w, sink_);
        presenter_->SetRows(kId, 1, {{"Adams", "1"}, {"Baker", "2"}});
        presenter_->SetRows(kId, 2, {{"Dr Adams"}, {"Dr Baker"}, {"Dr Carter"}});
        presenter_->SetRows(kId, 3, {{"Ann"}, {"Bob"}});
        QCoreApplication::processEvents();
        list_ = qobject_cast<QTreeWidget*>(screen().ControlWidget(kId, "?LIST"));
        ASSERT_NE(list_, nullptr);
        QCoreApplication::processEvents();
        sink_->Take();
    }
    QComboBox* combo(const char* use) { return qobject_cast<QComboBox*>(screen().ControlWidget(kId, use)); }

    QTreeWidget* list_ = nullptr;
};

TEST_F(QtKeyboardAndClicks, TheArrowsInAClosedDropDownChooseItsEntriesOneByOne) {
    for (const char* use : {"?DOCTOR", "?PERSON"}) {
        SCOPED_TRACE(use);
        QComboBox* box = combo(use);
        ASSERT_NE(box, nullptr);
        presenter_->SetFocus(kId, std::string(use) == "?DOCTOR" ? 2 : 3);
        QCoreApplication::processEvents();
        sink_->Take();
        std::vector<int> rows;
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
            QTest::keyClick(box, key);
            for (const auto& e : sink_->Take(Kind::NewSelection)) rows.push_back(e.row);
        }
        EXPECT_EQ(rows, (std::vector<int>{1, 2, 1}));
        EXPECT_FALSE(box->view()->isVisible()) << "the entries are chosen without opening the list";
        EXPECT_EQ(box->currentIndex(), 0);
    }
}

TEST_F(QtKeyboardAndClicks, AnAltLetterPressesItsButtonWhileTheKeyIsHandledNotAfterATimer) {
    // Nothing between the key and the look at the sink turns the event loop: no timer can have run.
    QTest::keyClick(screen().WindowWidget(kId), Qt::Key_G, Qt::AltModifier);
    auto pressed = sink_->Take(Kind::Pressed);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].control, 4);

    QTest::keyClick(screen().WindowWidget(kId), Qt::Key_S, Qt::AltModifier);
    const auto accepted = sink_->Take(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted[0].control, 5);
    EXPECT_EQ(accepted[0].text, "1");

    // Nothing is left held down for a click still to come.
    EXPECT_FALSE(qobject_cast<QPushButton*>(screen().ControlWidget(kId, "?GO"))->isDown());
}

TEST_F(QtKeyboardAndClicks, EnterInAnEntryAcceptsItAndThenPressesTheDefaultButtonIfThereIsOne) {
    QComboBox* box = combo("?DOCTOR");
    presenter_->SetFocus(kId, 2);
    QCoreApplication::processEvents();
    sink_->Take();
    QTest::keyClick(box, Qt::Key_Return);
    auto events = sink_->Take();
    ASSERT_EQ(events.size(), 1u) << "no default button: Enter only accepts";
    EXPECT_EQ(events[0].kind, Kind::Accepted);

    wnd::ControlState go = qttest::MakeControl(4, wnd::ControlKind::Button, "?GO", {4, 102, 40, 14}, "&Go");
    go.isDefault = true;
    presenter_->UpdateControl(kId, go);
    QCoreApplication::processEvents();
    EXPECT_TRUE(qobject_cast<QPushButton*>(screen().ControlWidget(kId, "?GO"))->isDefault()) << "drawn as the default";
    QTest::keyClick(box, Qt::Key_Return);
    events = sink_->Take();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::Accepted);
    EXPECT_EQ(events[0].control, 2);
    EXPECT_EQ(events[1].kind, Kind::Pressed);
    EXPECT_EQ(events[1].control, 4);

    go.disabled = true;  // a default button that cannot be pressed is not
    presenter_->UpdateControl(kId, go);
    QCoreApplication::processEvents();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(sink_->Take(Kind::Pressed).size(), 0u);
}

TEST(QtPrompts, APromptBeforeAnEntryShowsItsMnemonicUnderlinedAndLeadsToTheEntry) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState w;
    w.procedure = "Pages";
    w.caption = "Pages to Print";
    w.kind = wnd::WindowKind::Plain;
    w.controls = {qttest::MakeControl(1, wnd::ControlKind::Prompt, "?PROMPT1", {6, 7, 70, 10}, "&Pages to Print:"),
                  qttest::MakeControl(2, wnd::ControlKind::Entry, "?VALUE1", {78, 6, 96, 11}),
                  qttest::MakeControl(3, wnd::ControlKind::Button, "?OK", {66, 26, 34, 14}, "&Ok")};
    w.focus = 3;
    presenter->OpenWindow(1, 1, w, sink);
    QCoreApplication::processEvents();
    auto* prompt = qobject_cast<QLabel*>(presenter->screen().ControlWidget(1, "?PROMPT1"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text(), "&Pages to Print:") << "the P is underlined";
    EXPECT_EQ(prompt->buddy(), presenter->screen().ControlWidget(1, "?VALUE1"));
    presenter->CloseWindow(1);
    QCoreApplication::processEvents();
}

TEST_F(QtKeyboardAndClicks, TheFocusedButtonCarriesTheFocusMark) {
    auto* go = qobject_cast<QPushButton*>(screen().ControlWidget(kId, "?GO"));
    ASSERT_NE(go, nullptr);
    presenter_->SetFocus(kId, 4);
    QCoreApplication::processEvents();
    ASSERT_TRUE(go->hasFocus());
    QStyleOptionButton option;
    option.initFrom(go);
    EXPECT_TRUE(option.state & QStyle::State_HasFocus);
    EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange) << "the style draws the mark only with this";
}

// A single click on a header sorts (its key reaches the task once the time for a second click has
// passed); a double click only widens the column: its key alone, no click before or after it.
TEST_F(QtKeyboardAndClicks, ASingleClickOnAHeaderAndADoubleClickReachTheTaskAsTwoKeys) {
    QHeaderView* header = list_->header();
    const QPoint second(header->sectionViewportPosition(1) + 5, 5);
    std::vector<wnd::InputEvent> keys;
    auto keysAfterAWhile = [&] {
        keys.clear();
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        keys = sink_->Take(Kind::AlertKey);
    };
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);
    keysAfterAWhile();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key, wnd::kKeyMouseLeft);
    EXPECT_EQ(keys[0].row, 0);
    EXPECT_EQ(keys[0].column, 2);

    // The user's double click: a click, and at once a second press that makes it double.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, second);
    keysAfterAWhile();
    ASSERT_EQ(keys.size(), 1u) << "a double click is one key";
    EXPECT_EQ(keys[0].key, wnd::kKeyMouseLeft2);
    EXPECT_EQ(keys[0].column, 2);

    // A list that alerts no single click hears nothing of one.
    wnd::ControlState plain = qttest::MakeControl(1, wnd::ControlKind::List, "?LIST", {4, 4, 160, 60});
    plain.format = "60L(2)|M~Name~@s20@40R(2)|M~Count~@n6@";
    presenter_->UpdateControl(kId, plain);
    QCoreApplication::processEvents();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);
    keysAfterAWhile();
    EXPECT_TRUE(keys.empty());
}

}  // namespace
