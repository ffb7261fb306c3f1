// The Qt presenter's desktop services, driven straight through the Presenter interface: the help
// viewer (non-modal, pages linked to one another, contents, index, keyword and search), a line
// break the task types into a box of several lines, the focus the task moves accepting what was
// typed, and the clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>

#include "platform/qt/help_viewer.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/window/help_file.h"
#include "qt/qt_test_support.h"

namespace {

using Kind = wnd::InputEvent::Kind;
using C = wnd::HelpRequest::Command;

constexpr const char* kFile = "QtTest-Help.html";

void registerPages() {
    static const bool done = [] {
        wnd::RegisterHelpPage(kFile, "contents.htm", R"(<html><head><title>Test Help</title></head><body>
            <p><a href="First%20Page.htm">First</a> <a href="Second.htm">Second</a></p></body></html>)");
        wnd::RegisterHelpPage(kFile, "First Page.htm", R"(<html><head><title>The First Page</title>
            <meta name="keywords" content="alpha, shared"></head>
            <body><p>About refills. Go to <a href="Second.htm">the second page</a>.</p></body></html>)");
        wnd::RegisterHelpPage(kFile, "Second.htm", R"(<html><head><title>The Second Page</title>
            <meta name="keywords" content="shared"></head><body><p>About doctors and refills.</p></body></html>)");
        return true;
    }();
    (void)done;
}

class QtHelp : public testing::Test {
protected:
    void SetUp() override { registerPages(); }
    qtp::HelpViewer* Show(C command, const char* topic = "", const char* keyword = "") {
        wnd::HelpRequest r;
        r.command = command;
        r.file = kFile;
        r.topic = topic;
        r.keyword = keyword;
        presenter_->ShowHelp(r);
        QCoreApplication::processEvents();
        return presenter_->screen().Help(kFile);
    }
    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
};

TEST_F(QtHelp, APageOpensBesideTheWindowsAndItsLinksLeadToOtherPages) {
    qtp::HelpViewer* viewer = Show(C::Topic, "First Page.htm");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->windowModality(), Qt::NonModal);
    EXPECT_EQ(viewer->CurrentTopic(), "First Page.htm");
    EXPECT_TRUE(viewer->CurrentText().contains("About refills."));
    viewer->FollowLink("Second.htm");
    EXPECT_EQ(viewer->CurrentTopic(), "Second.htm");
    EXPECT_TRUE(viewer->CurrentText().contains("About doctors"));

    EXPECT_EQ(Show(C::Topic, "Nowhere.htm"), viewer) << "one viewer for the file";
    EXPECT_TRUE(viewer->CurrentText().contains("Page not found"));
    Show(C::Topic);
    EXPECT_EQ(viewer->CurrentTopic(), "contents.htm") << "no topic: the opening page";
}

// The contents marks the page shown, however it came to be shown, and nothing for a page it
// does not list.
TEST_F(QtHelp, TheContentsMarksThePageShown) {
    qtp::HelpViewer* viewer = Show(C::Topic, "First Page.htm");
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->MarkedContents(), "First Page.htm");
    viewer->FollowLink("Second.htm");
    EXPECT_EQ(viewer->MarkedContents(), "Second.htm");
    Show(C::Contents);
    EXPECT_EQ(viewer->MarkedContents(), "contents.htm");
    Show(C::Topic, "Nowhere.htm");
    EXPECT_EQ(viewer->MarkedContents(), "");
}

TEST_F(QtHelp, ContentsIndexKeywordAndSearchEachOpenTheirPane) {
    qtp::HelpViewer* viewer = Show(C::Contents);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->CurrentPane(), qtp::HelpViewer::kContentsPane);
    EXPECT_EQ(viewer->CurrentTopic(), "contents.htm");

    Show(C::Index, "", "sha");
    EXPECT_EQ(viewer->CurrentPane(), qtp::HelpViewer::kIndexPane);
    EXPECT_EQ(viewer->IndexKeyword(), "shared");

    Show(C::Keyword, "", "alpha");  // one page under it: that page
    EXPECT_EQ(viewer->CurrentTopic(), "First Page.htm");
    Show(C::Keyword, "Second.htm", "omega");  // none: the given page and the index at the keyword
    EXPECT_EQ(viewer->CurrentTopic(), "Second.htm");
    EXPECT_EQ(viewer->CurrentPane(), qtp::HelpViewer::kIndexPane);

    Show(C::Search);
    EXPECT_EQ(viewer->CurrentPane(), qtp::HelpViewer::kSearchPane);
    EXPECT_EQ(viewer->Search("refills"), (QStringList{"First Page.htm", "Second.htm"}));
    EXPECT_EQ(viewer->Search("refills doctors"), QStringList{"Second.htm"});
    EXPECT_TRUE(viewer->Search("nurses").isEmpty());
}

TEST(QtDesktop, ALineBreakTypedByTheTaskAndAFocusMoveThatAcceptsTheBox) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    constexpr wnd::WindowId id = 9;
    wnd::WindowState w;
    w.procedure = "Notes";
    w.caption = "Notes";
    w.kind = wnd::WindowKind::Plain;
    w.controls = {qttest::MakeControl(1, wnd::ControlKind::Text, "?NOTES", {4, 4, 120, 40}),
                  qttest::MakeControl(2, wnd::ControlKind::Entry, "?NAME", {4, 50, 60, 10})};
    w.focus = 1;
    presenter->OpenWindow(id, 1, w, sink);
    QCoreApplication::processEvents();
    auto* notes = qobject_cast<QPlainTextEdit*>(presenter->screen().ControlWidget(id, "?NOTES"));
    ASSERT_NE(notes, nullptr);
    notes->setFocus();
    QTest::keyClicks(notes, "ab");
    QTextCursor cursor = notes->textCursor();
    cursor.setPosition(1);
    notes->setTextCursor(cursor);
    sink->Take();

    presenter->TypeKey(id, 1, wnd::kShift | wnd::kKeyEnter);
    presenter->TypeKey(id, 2, wnd::kShift | wnd::kKeyEnter);  // an entry takes no line break
    QCoreApplication::processEvents();
    EXPECT_EQ(notes->toPlainText(), "a\nb") << "at the caret";
    EXPECT_TRUE(sink->Take(Kind::Accepted).empty()) << "the box is still being typed into";

    presenter->SetFocus(id, 2);
    QCoreApplication::processEvents();
    const auto accepted = sink->Take(Kind::Accepted);
    ASSERT_EQ(accepted.size(), 1u) << "the box the task took the focus from accepts what was typed";
    EXPECT_EQ(accepted[0].control, 1);
    EXPECT_EQ(accepted[0].text, "a\nb");

    presenter->SetClipboardText("one\r\ntwo");
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::clipboard()->text(), "one\r\ntwo");
    presenter->CloseWindow(id);
    QCoreApplication::processEvents();
}

}  // namespace
