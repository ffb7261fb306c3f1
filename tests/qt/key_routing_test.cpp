// Where the user's keys go: into the window that has the focus (a message box while it is up,
// the window behind it again once it closes), and an Alt-letter to the button it marks, before
// the frame's menu bar marks the same letter. Keys are sent to the focused top-level window, as
// the windowing system sends them, not to a chosen widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QWindow>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;
using wnd::ControlKind;

// Types into whatever window has the keyboard now.
void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWindow* focused = QGuiApplication::focusWindow();
    ASSERT_NE(focused, nullptr) << "no window has the keyboard";
    QTest::keyClick(focused, k, mods);
    QCoreApplication::processEvents();
}

// The frame with a "&Help" menu, and a form in it with "&Help" and "&OK" buttons beside an entry.
class QtKeyRouting : public testing::Test {
protected:
    void SetUp() override {
        wnd::WindowState frame;
        frame.procedure = "Frame";
        frame.kind = wnd::WindowKind::AppFrame;
        frame.controls = {qttest::MakeControl(1, ControlKind::MenuBar, "?MENUBAR", {}),
                          qttest::MakeControl(2, ControlKind::Menu, "?HELPMENU", {}, "&Help"),
                          qttest::MakeControl(3, ControlKind::Item, "?ABOUT", {}, "&About")};
        frame.controls[1].parent = 1;
        frame.controls[2].parent = 2;
        presenter_->OpenWindow(kFrame, 1, frame, frameSink_);
        wnd::WindowState form;
        form.procedure = "Form";
        form.caption = "Form";
        form.kind = wnd::WindowKind::MdiChild;
        form.controls = {qttest::MakeControl(1, ControlKind::Entry, "?NAME", {4, 4, 80, 10}),
                         qttest::MakeControl(2, ControlKind::Button, "?HELP", {4, 20, 40, 14}, "&Help"),
                         qttest::MakeControl(3, ControlKind::Button, "?OK", {50, 20, 40, 14}, "&OK"),
                         qttest::MakeControl(4, ControlKind::Combo, "?DRUG", {4, 38, 80, 10}),
                         qttest::MakeControl(5, ControlKind::Text, "?NOTES", {4, 52, 120, 30})};
        form.focus = 1;
        presenter_->OpenWindow(kForm, 2, form, sink_);
        QCoreApplication::processEvents();
        name_ = qobject_cast<QLineEdit*>(screen().ControlWidget(kForm, "?NAME"));
        ASSERT_NE(name_, nullptr);
        screen().Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == name_; }, qttest::kWaitMs));
        sink_->Take();
    }
    void TearDown() override {
        presenter_->CloseWindow(kForm);
        presenter_->CloseWindow(kFrame);
        QCoreApplication::processEvents();
    }
    qtp::Screen& screen() { return presenter_->screen(); }
    std::vector<int> pressed() {
        std::vector<int> out;
        for (const auto& e : sink_->Take(Kind::Pressed)) out.push_back(e.control);
        return out;
    }

    static constexpr wnd::WindowId kFrame = 1, kForm = 2;
    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
    std::shared_ptr<qttest::RecordingSink> frameSink_ = std::make_shared<qttest::RecordingSink>();
    std::shared_ptr<qttest::RecordingSink> sink_ = std::make_shared<qttest::RecordingSink>();
    QLineEdit* name_ = nullptr;
};

TEST_F(QtKeyRouting, AnAltLetterPressesTheFormsButtonBeforeTheFramesMenu) {
    key(Qt::Key_A);
    key(Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(pressed(), std::vector<int>{2});
    EXPECT_EQ(name_->text(), "a") << "the letter is not typed";
    EXPECT_EQ(screen().Frame()->menuBar()->activeAction(), nullptr) << "the frame's Help menu stays closed";
}

TEST_F(QtKeyRouting, AnAltLetterThatIsNoCommandTypesNothing) {
    struct Case {
        Qt::Key letter;
        std::vector<int> pressed;
    };
    // I and 7 mark nothing in the form; H and O mark its buttons.
    const Case cases[] = {{Qt::Key_I, {}}, {Qt::Key_7, {}}, {Qt::Key_H, {2}}, {Qt::Key_O, {3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(QKeySequence(c.letter).toString().toStdString());
        presenter_->SetFocus(kForm, 1);
        QCoreApplication::processEvents();
        name_->clear();
        key(c.letter, Qt::AltModifier);
        EXPECT_EQ(name_->text(), "") << "nothing typed into the entry";
        EXPECT_EQ(pressed(), c.pressed);
    }
}

TEST_F(QtKeyRouting, KeysGoToAMessageBoxWhileItIsUpAndBackToTheFormOnceItCloses) {
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        presenter_->SetFocus(kForm, 1);  // back from the OK button of the round before
        QCoreApplication::processEvents();
        wnd::MessageQuestion question;
        question.id = static_cast<wnd::QuestionId>(round);
        question.thread = 2;
        question.text = "Something to read";
        presenter_->AskMessage(question, sink_);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().MessageBoxes().empty(); }, qttest::kWaitMs));
        EXPECT_EQ(QApplication::activeWindow(), screen().MessageBoxes().front());
        key(Qt::Key_Z);
        key(Qt::Key_Return);  // the box's OK
        const auto answers = sink_->Take(Kind::Answer);
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers[0].answer, static_cast<int>(wnd::kButtonOk));
        EXPECT_EQ(name_->text(), "") << "nothing typed behind the box";
        EXPECT_EQ(QApplication::focusWidget(), name_);
        key(Qt::Key_O, Qt::AltModifier);
        EXPECT_EQ(pressed(), std::vector<int>{3});
    }
}

// Where a control's keys go and what it shows, whatever widget it is.
QWidget* typingTarget(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
    return w;
}
QString shown(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(typingTarget(w))) return edit->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return plain->toPlainText();
    return "<not a text control>";
}

TEST_F(QtKeyRouting, AnAltLetterTypesNothingUnlessItIsAMnemonicWhichActs) {
    struct Case {
        const char* use;
        Qt::Key letter;
        std::vector<int> pressed;
    };
    const Case cases[] = {
        {"?NAME", Qt::Key_I, {}},  {"?DRUG", Qt::Key_I, {}},  {"?NOTES", Qt::Key_I, {}},
        {"?NAME", Qt::Key_Z, {}},  {"?DRUG", Qt::Key_Z, {}},  {"?NOTES", Qt::Key_Z, {}},
        {"?NAME", Qt::Key_O, {3}}, {"?DRUG", Qt::Key_O, {3}}, {"?NOTES", Qt::Key_O, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.use) + " alt+" + QKeySequence(c.letter).toString().toStdString());
        QWidget* w = screen().ControlWidget(kForm, c.use);
        ASSERT_NE(w, nullptr);
        typingTarget(w)->setFocus();
        QCoreApplication::processEvents();
        const QString before = shown(w);
        sink_->Take();
        key(c.letter, Qt::AltModifier);
        EXPECT_EQ(shown(w), before) << "nothing typed";
        EXPECT_EQ(pressed(), c.pressed);
        EXPECT_EQ(screen().Frame()->menuBar()->activeAction(), nullptr) << "no menu opened";
        if (!c.pressed.empty()) continue;  // the button pressed has the focus now
        key(Qt::Key_X);
        EXPECT_EQ(shown(w), before + "x") << "the control still takes plain letters";
    }
}

TEST_F(QtKeyRouting, TheDesktopsWindowKeysMoveBetweenAndCloseWindows) {
    wnd::WindowState other;
    other.procedure = "Other";
    other.caption = "Other";
    other.kind = wnd::WindowKind::MdiChild;
    other.controls = {qttest::MakeControl(1, ControlKind::Entry, "?WHAT", {4, 4, 80, 10})};
    other.focus = 1;
    auto otherSink = std::make_shared<qttest::RecordingSink>();
    constexpr wnd::WindowId kOther = 3;
    presenter_->OpenWindow(kOther, 3, other, otherSink);
    QCoreApplication::processEvents();
    auto* mdi = screen().Frame()->findChild<QMdiArea*>();
    ASSERT_NE(mdi, nullptr);
    auto activeIs = [&](wnd::WindowId id) {
        QMdiSubWindow* sub = mdi->activeSubWindow();
        return sub && sub->isAncestorOf(screen().ControlWidget(id, id == kForm ? "?NAME" : "?WHAT"));
    };
    for (QMdiSubWindow* sub : mdi->subWindowList())
        if (sub->isAncestorOf(name_)) mdi->setActiveSubWindow(sub);
    QCoreApplication::processEvents();
    ASSERT_TRUE(activeIs(kForm));
    struct Step {
        Qt::KeyboardModifiers mods;
        Qt::Key key;
        wnd::WindowId active;
    };
    const Step steps[] = {{Qt::ControlModifier, Qt::Key_F6, kOther},
                          {Qt::ControlModifier, Qt::Key_F6, kForm},
                          {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F6, kOther},
                          {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F6, kForm},
                          {Qt::ControlModifier, Qt::Key_Tab, kOther}};
    for (const Step& s : steps) {
        key(s.key, s.mods);
        EXPECT_TRUE(activeIs(s.active)) << QKeySequence(s.key | s.mods).toString().toStdString();
    }
    // Ctrl+F4 asks the active window's task to close, as its close box does; the window stays
    // until the task closes it.
    otherSink->Take();
    sink_->Take();
    key(Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(otherSink->Take(Kind::CloseRequest).size(), 1u);
    EXPECT_TRUE(sink_->Take(Kind::CloseRequest).empty());
    EXPECT_TRUE(activeIs(kOther));
    presenter_->CloseWindow(kOther);
    QCoreApplication::processEvents();
}

}  // namespace
