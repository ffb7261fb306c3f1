// Windows the task opens maximised: a plain window fills the screen, an MDI child the frame; a
// plain window shows its whole caption.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

TEST(QtMaximised, APlainWindowFillsTheScreenAndAnMdiChildTheFrame) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    auto window = [](const char* name, wnd::WindowKind kind, bool maximised) {
        wnd::WindowState w;
        w.procedure = name;
        w.caption = name;
        w.kind = kind;
        w.maximised = maximised;
        w.controls = {qttest::MakeControl(1, wnd::ControlKind::Entry, "?NAME", {4, 4, 60, 10})};
        return w;
    };
    presenter->OpenWindow(1, 1, window("Frame", wnd::WindowKind::AppFrame, false), sink);
    presenter->OpenWindow(2, 1, window("Child", wnd::WindowKind::MdiChild, true), sink);
    presenter->OpenWindow(4, 1, window("Plain", wnd::WindowKind::Plain, true), sink);
    presenter->OpenWindow(5, 1, window("Small", wnd::WindowKind::Plain, false), sink);
    QCoreApplication::processEvents();
    qtp::Screen& screen = presenter->screen();

    auto* child = qobject_cast<QMdiSubWindow*>(screen.WindowWidget(2));
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->isMaximized());
    EXPECT_EQ(child->size(), child->mdiArea()->viewport()->size());
    EXPECT_FALSE(screen.Frame()->isMaximized());

    ASSERT_NE(screen.WindowWidget(4), nullptr);
    EXPECT_TRUE(screen.WindowWidget(4)->isMaximized());
    EXPECT_FALSE(screen.WindowWidget(5)->isMaximized());

    // A plain window narrower than its caption is widened until the caption shows whole.
    auto chooser = window("Choose Person's Name for Quick List Report", wnd::WindowKind::Plain, false);
    chooser.at = {0, 0, 231, 46};
    presenter->OpenWindow(6, 1, chooser, sink);
    QCoreApplication::processEvents();
    QFont title = QApplication::font();
    title.setBold(true);
    const QFontMetrics tm(title);  // the caption, and room for the icon and three buttons beside it
    EXPECT_GE(screen.WindowWidget(6)->width(), tm.horizontalAdvance(QString::fromStdString(chooser.caption)) + 4 * tm.height());
    for (wnd::WindowId id : {6, 5, 4, 2, 1}) presenter->CloseWindow(id);
    QCoreApplication::processEvents();
}

}  // namespace
