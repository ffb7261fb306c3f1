// What the Qt presenter lets the user put into a control: no more characters than the control can
// store, typed or pasted, and none the records' code page lacks, the rest always kept; and the
// texts it shows (message boxes, tips) as the plain text they are.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocumentFragment>

#include <functional>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;

const QString kPill = QString::fromUtf8("\xF0\x9F\x92\x8A");  // not in the code page, two UTF-16 units

// A window with every kind of control the user types text into, each 8 characters wide, and a button.
class QtTypingLimits : public qttest::OneWindowTest {
protected:
    void SetUp() override {
        wnd::WindowState w = qttest::PlainWindow("Limits");
        w.controls = {qttest::MakeControl(1, wnd::ControlKind::Entry, "?ENTRY", {4, 4, 80, 10}),
                      qttest::MakeControl(2, wnd::ControlKind::Text, "?SINGLE", {4, 18, 80, 10}),
                      qttest::MakeControl(3, wnd::ControlKind::Combo, "?COMBO", {4, 32, 80, 10}),
                      qttest::MakeControl(4, wnd::ControlKind::Text, "?NOTES", {4, 46, 120, 40}),
                      qttest::MakeControl(5, wnd::ControlKind::Button, "?OK", {4, 90, 40, 14}, "OK")};
        w.controls[1].single = true;
        for (int n = 0; n < 4; ++n) w.controls[static_cast<std::size_t>(n)].maxChars = 8;
        w.controls[4].tip = "<b>Saves</b> the record";
        w.focus = 1;
        Open(w);
        sink_->Take();
    }
    // Where the keys go and what the control shows, whatever widget it is.
    QWidget* typingTarget(const char* use) {
        QWidget* w = widget(use);
        if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
        return w;
    }
    QString shown(const char* use) {
        QWidget* w = typingTarget(use);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
        if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return plain->toPlainText();
        return {};
    }
    void focus(const char* use) {
        typingTarget(use)->setFocus();
        QCoreApplication::processEvents();
    }
    // Leaves the control with Tab: what it accepted on the way.
    std::string acceptedOnLeaving(const char* use) {
        sink_->Take();
        QTest::keyClick(typingTarget(use), Qt::Key_Tab);
        const auto accepted = sink_->Take(Kind::Accepted);
        return accepted.size() == 1 ? accepted[0].text : "<" + std::to_string(accepted.size()) + " accepted>";
    }

};

const char* const kTyped[] = {"?ENTRY", "?SINGLE", "?COMBO", "?NOTES"};

TEST_F(QtTypingLimits, KeysPastTheWidthAreNotTakenAndLeavingAcceptsWhatIsShown) {
    for (const char* use : kTyped) {
        SCOPED_TRACE(use);
        focus(use);
        QTest::keyClicks(typingTarget(use), "abcdefghijkl");
        EXPECT_EQ(shown(use), "abcdefgh");
        // Typed in the middle of a full control: refused there, the end not pushed out.
        if (auto* edit = qobject_cast<QLineEdit*>(typingTarget(use))) edit->setCursorPosition(2);
        else qobject_cast<QPlainTextEdit*>(typingTarget(use))->moveCursor(QTextCursor::Start);
        QTest::keyClicks(typingTarget(use), "X");
        EXPECT_EQ(shown(use), "abcdefgh");
        EXPECT_TRUE(screen().MessageBoxes().empty());
        EXPECT_EQ(acceptedOnLeaving(use), "abcdefgh");
    }
}

TEST_F(QtTypingLimits, APasteIsCutAtTheWidthAndTheTextAroundItStays) {
    struct Case {
        const char* use;
        const char* before;
        int caret;
        const char* clipboard;
        const char* after;
    };
    const Case cases[] = {
        {"?ENTRY", "", 0, "a paste far too long for the entry", "a paste "},
        {"?ENTRY", "[]", 1, "1234567890", "[123456]"},
        {"?COMBO", "ab", 2, "cdefghijk", "abcdefgh"},
        {"?NOTES", "end", 0, "one\ntwo\nthree", "one\ntend"},  // a line break is one character
        {"?NOTES", "full one", 4, "xyz", "full one"},  // nothing fits: nothing goes in
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.use) + " <- " + c.clipboard);
        focus(c.use);
        QWidget* target = typingTarget(c.use);
        if (auto* edit = qobject_cast<QLineEdit*>(target)) {
            edit->selectAll();
            QTest::keyClicks(edit, c.before);
            edit->setCursorPosition(c.caret);
        } else {
            auto* plain = qobject_cast<QPlainTextEdit*>(target);
            plain->selectAll();
            QTest::keyClicks(plain, c.before);
            QTextCursor cursor = plain->textCursor();
            cursor.setPosition(c.caret);
            plain->setTextCursor(cursor);
        }
        QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(shown(c.use), QString::fromUtf8(c.after));
        EXPECT_EQ(acceptedOnLeaving(c.use), c.after);
    }
}

TEST_F(QtTypingLimits, ACharacterTheCodePageLacksIsLeftOutWhereItIsTypedAndTheRestKept) {
    const std::string note = "The character \xF0\x9F\x92\x8A cannot be stored here.";
    for (const char* use : kTyped) {
        SCOPED_TRACE(use);
        focus(use);
        QWidget* target = typingTarget(use);
        QTest::keyClicks(target, "Pill ");
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, kPill, Qt::NoModifier);  // as an input method types it
        EXPECT_EQ(shown(use), "Pill ");
        EXPECT_EQ(screen().LastNote(), note) << "named as the user sees it";
        // Pasted inside other text: only that character goes.
        QApplication::clipboard()->setText("x" + kPill + "\xC3\xA9");
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(shown(use), QString::fromUtf8("Pill x\xC3\xA9"));
        EXPECT_TRUE(screen().MessageBoxes().empty());
        EXPECT_EQ(acceptedOnLeaving(use), "Pill x\xC3\xA9");
    }
}

TEST_F(QtTypingLimits, MessageBoxesAndTipsShowMarkupAsTheTextItIs) {
    const std::string typed = "<h1>BIG</h1><img src=\"x.png\">";
    wnd::MessageQuestion question;
    question.id = 1;
    question.thread = 1;
    question.caption = "Invalid Entry";
    question.text = "\"" + typed + "\" is not a date.";
    presenter_->AskMessage(question, sink_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().MessageBoxes().empty(); }, qttest::kWaitMs));
    QMessageBox* box = screen().MessageBoxes().front();
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text().remove(QChar(0x2060)).toStdString(), question.text);  // the joiners that keep words whole draw as nothing
    box->button(QMessageBox::Ok)->click();
    QCoreApplication::processEvents();

    // A tip is shown as its own characters, whatever Qt would take it for.
    const QString tip = widget("?OK")->toolTip();
    EXPECT_EQ(QTextDocumentFragment::fromHtml(tip).toPlainText(), "<b>Saves</b> the record");
}

}  // namespace
