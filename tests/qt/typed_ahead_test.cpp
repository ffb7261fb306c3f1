// Keys and clicks typed ahead on the Qt presenter, with the task side played by the test: two
// windows on two task threads, each with a sink that counts what it takes in, and the threads'
// waits told to the presenter as their queues tell it. Input that may open or close a window
// holds what follows for that thread's windows until the thread waits again; then the keys go
// where the keyboard is and the clicks to the widgets they were made on. Another thread's windows
// never wait for it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;

// A task thread's queue as far as the presenter sees it: what it took in, and how many.
class CountingSink final : public wnd::InputSink {
public:
    void Deliver(wnd::InputEvent e) override { events.push_back(std::move(e)); }
    std::uint64_t Received() override { return events.size(); }
    std::vector<wnd::InputEvent> Of(Kind kind) const {
        std::vector<wnd::InputEvent> out;
        for (const auto& e : events)
            if (e.kind == kind) out.push_back(e);
        return out;
    }
    std::vector<wnd::InputEvent> events;
};

class QtTypedAhead : public testing::Test {
protected:
    static constexpr wnd::WindowId kA = 21, kB = 22;
    static constexpr int kThreadA = 2, kThreadB = 3;

    void SetUp() override {
        presenter_->OpenWindow(kA, kThreadA, window("Window A", 20), a_);
        presenter_->OpenWindow(kB, kThreadB, window("Window B", 300), b_);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        presenter_->CloseWindow(kA);
        presenter_->CloseWindow(kB);
        QCoreApplication::processEvents();
    }
    static wnd::WindowState window(const std::string& name, int x) {
        wnd::WindowState w = qttest::PlainWindow(name);
        w.at = {x, 20, 0, 0};
        wnd::ControlState lookup = qttest::MakeControl(2, wnd::ControlKind::Combo, "?LOOKUP", {4, 20, 100, 12});
        lookup.immediate = true;
        w.controls = {qttest::MakeControl(1, wnd::ControlKind::Entry, "?NAME", {4, 4, 100, 12}), lookup,
                      qttest::MakeControl(3, wnd::ControlKind::Check, "?SURE", {4, 36, 60, 12}, "&Sure"),
                      qttest::MakeControl(4, wnd::ControlKind::Button, "?GO", {4, 52, 40, 14}, "&Go")};
        w.focus = 1;
        return w;
    }
    // The window takes the keyboard, as a click on it does with a window manager.
    void Activate(wnd::WindowId id) {
        QWidget* w = screen().WindowWidget(id);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    // A click as the window system makes it: given to the widget's top-level window, near the
    // widget's left end (a check box takes clicks on its box and caption only).
    static void clickThroughWindow(QWidget* w) {
        QWidget* top = w->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, w->mapTo(top, QPoint(6, w->height() / 2)));
    }
    // The thread waits again, everything it took in handled.
    void Waits(int thread, CountingSink& sink) {
        presenter_->Waiting(thread, sink.Received());
        QCoreApplication::processEvents();
    }
    qtp::Screen& screen() { return presenter_->screen(); }
    QWidget* widget(wnd::WindowId id, const char* use) { return screen().ControlWidget(id, use); }
    QLineEdit* entry(wnd::WindowId id, const char* use) {
        QWidget* w = widget(id, use);
        if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
        return qobject_cast<QLineEdit*>(w);
    }

    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
    std::shared_ptr<CountingSink> a_ = std::make_shared<CountingSink>(), b_ = std::make_shared<CountingSink>();
};

TEST_F(QtTypedAhead, AfterAPressKeysAndClicksWaitForTheThreadAndGoWhereTheKeyboardIsThen) {
    Activate(kA);
    // The press gives the button the focus: the task hears of it, and the release waits for that.
    QTest::mouseClick(widget(kA, "?GO"), Qt::LeftButton);
    EXPECT_TRUE(a_->Of(Kind::Pressed).empty());
    Waits(kThreadA, *a_);
    ASSERT_EQ(a_->Of(Kind::Pressed).size(), 1u);
    // Typed at once where the keyboard is (the button), and a click on the window's check box.
    QTest::keyClicks(QApplication::focusWidget(), "xy");
    clickThroughWindow(widget(kA, "?SURE"));
    QCoreApplication::processEvents();
    EXPECT_EQ(entry(kA, "?NAME")->text(), "");
    EXPECT_TRUE(a_->Of(Kind::Accepted).empty()) << "the click waits too";
    EXPECT_EQ(QApplication::focusWidget(), widget(kA, "?GO")) << "and gives no focus meanwhile";
    // Another thread's window takes its input at once.
    QTest::keyClicks(entry(kB, "?NAME"), "ab");
    EXPECT_EQ(entry(kB, "?NAME")->text(), "ab");
    // The task puts the focus into the entry and waits: the keys go there, then the click.
    presenter_->SetFocus(kA, 1);
    Waits(kThreadA, *a_);
    EXPECT_EQ(entry(kA, "?NAME")->text(), "xy");
    // The click leaves the entry for the check box, in the order typed; once the task has heard
    // of that, the button let go checks the box.
    auto accepted = a_->Of(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted.front().text, "xy");
    EXPECT_EQ(a_->events.back().kind, Kind::FocusChanged);
    EXPECT_EQ(a_->events.back().control, 3);
    Waits(kThreadA, *a_);
    accepted = a_->Of(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 2u);
    EXPECT_EQ(accepted.back().control, 3);
    EXPECT_EQ(accepted.back().text, "1");
}

TEST_F(QtTypedAhead, AfterAKeystrokeInALookupTypingGoesOnButTabWaitsForTheCompletion) {
    Activate(kA);
    presenter_->SetFocus(kA, 2);
    QCoreApplication::processEvents();
    a_->events.clear();
    QLineEdit* lookup = entry(kA, "?LOOKUP");
    ASSERT_NE(lookup, nullptr);
    QTest::keyClicks(lookup, "Me");
    EXPECT_EQ(lookup->text(), "Me") << "the characters are not held";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_TRUE(a_->Of(Kind::Accepted).empty()) << "Tab waits for the answer to the keystrokes";
    // The lookup's answer to the last keystroke completes the name; then the thread waits.
    const auto typed = a_->Of(Kind::Typed);
    ASSERT_EQ(typed.size(), 2u);
    presenter_->SetEntry(kA, 2, "Med01", 2, 5, typed.back().revision);
    Waits(kThreadA, *a_);
    const auto accepted = a_->Of(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_EQ(accepted.front().text, "Med01");
    EXPECT_EQ(accepted.front().control, 2);
}

TEST_F(QtTypedAhead, KeysHeldForAThreadGoToItsWindowWhenAClickOnAnotherOvertookThem) {
    Activate(kA);
    QTest::mouseClick(widget(kA, "?GO"), Qt::LeftButton);
    Waits(kThreadA, *a_);
    ASSERT_EQ(a_->Of(Kind::Pressed).size(), 1u);
    presenter_->SetFocus(kA, 1);
    QTest::keyClicks(QApplication::focusWidget(), "late");
    // The user goes on in the other window, which waits for nothing.
    Activate(kB);
    QTest::mouseClick(entry(kB, "?NAME"), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), "b");
    Waits(kThreadB, *b_);
    EXPECT_EQ(entry(kB, "?NAME")->text(), "b");
    Waits(kThreadA, *a_);
    EXPECT_EQ(entry(kA, "?NAME")->text(), "late");
    EXPECT_EQ(entry(kB, "?NAME")->text(), "b");
}

}  // namespace
