// Where the user's keys go: into the window that has the focus (a message box while it is up,
// the window behind it again once it closes), and an Alt-letter to the button it marks, before
// the frame's menu bar marks the same letter. Keys are sent to the focused top-level window, as
// the windowing system sends them, not to a chosen widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeySequence>
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
                         qttest::MakeControl(3, ControlKind::Button, "?OK", {50, 20, 40, 14}, "&OK")};
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

}  // namespace
