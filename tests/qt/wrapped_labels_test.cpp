// A text that wraps in its label breaks only between words: never inside a web address, a folder's
// path or a hyphened word.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextLayout>

#include <string>
#include <vector>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

// Where the label's text ends its lines, laid out as the label lays it out (words wrapped within
// its contents' width).
std::vector<qsizetype> lineEnds(const QLabel& label) {
    QTextLayout layout(label.text(), label.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    std::vector<qsizetype> ends;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label.contentsRect().width());
        ends.push_back(line.textStart() + line.textLength());
    }
    layout.endLayout();
    if (!ends.empty()) ends.pop_back();  // the last line ends with the text
    return ends;
}

TEST(QtWrappedLabels, ALineEndsOnlyBetweenWordsAndTheWordsReadAsTyped) {
    const struct {
        const char* text;
        wnd::Rect at;
    } labels[] = {
        {"You must have a connection to the Internet in order to use the button below. If you do not have a "
         "connection, then go to www.varnholt.example/donations.  Thank you for your help.",
         {8, 54, 252, 34}},
        {"The immunization schedule schedule.pdf is not in the folder /home/someone/family/health/records/2026.", {8, 8, 120, 40}},
        {"Always keep a current copy of your profile with your other emergency-evacuation documents.", {8, 8, 150, 20}},
    };
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    for (const auto& l : labels) {
        SCOPED_TRACE(l.text);
        wnd::WindowState w = qttest::PlainWindow("Wrapped");
        w.controls = {qttest::MakeControl(1, wnd::ControlKind::String, "?TEXT", l.at, l.text)};
        presenter->OpenWindow(9, 1, w, sink);
        QCoreApplication::processEvents();
        auto* label = qobject_cast<QLabel*>(presenter->screen().ControlWidget(9, "?TEXT"));
        ASSERT_NE(label, nullptr);
        ASSERT_TRUE(label->wordWrap());
        const QString text = label->text();
        const std::vector<qsizetype> ends = lineEnds(*label);
        EXPECT_FALSE(ends.empty()) << "the text wraps";
        for (qsizetype end : ends) EXPECT_TRUE(text[end - 1].isSpace()) << "a line ends inside a word: " << text.left(end).toStdString();
        QString read = text;
        read.remove(QChar(0x2060));  // the joiners the label keeps its words with draw as nothing
        EXPECT_EQ(read.toStdString(), l.text);
        presenter->CloseWindow(9);
        QCoreApplication::processEvents();
    }
}

// A message box breaks its lines between words too: the immunisation schedule's message keeps its
// folder whole.
TEST(QtWrappedLabels, AMessageKeepsItsFolderWhole) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    const std::string text = "The immunization schedule IZSchedule_2006.pdf is not in the folder "
                             "/home/someone/family/health/records/2026/scanned-documents/immunization-and-vaccination-schedules/"
                             "for-the-whole-family.|Place the document there to view it from this page.";
    wnd::MessageQuestion question;
    question.id = 1;
    question.thread = 1;
    question.caption = "Immunization Schedule";
    question.text = text;
    presenter->AskMessage(question, sink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !presenter->screen().MessageBoxes().empty(); }, qttest::kWaitMs));
    QMessageBox* box = presenter->screen().MessageBoxes().front();
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(label->wordWrap());
    const std::vector<qsizetype> ends = lineEnds(*label);
    EXPECT_FALSE(ends.empty()) << "the text wraps";
    for (qsizetype end : ends) EXPECT_TRUE(label->text()[end - 1].isSpace()) << "a line ends inside a word: " << label->text().left(end).toStdString();
    box->button(QMessageBox::Ok)->click();
    QCoreApplication::processEvents();
}

}  // namespace
