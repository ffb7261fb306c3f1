// Windows the task opens maximised: a plain window fills the screen, an MDI child the frame; a
// plain window shows its whole caption.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include <cmath>

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

// A form taller than the frame's free area: the frame keeps the size the user gave it, the form
// moves up to the area's top, and the area scrolls to its foot (OK and Cancel).
TEST(QtMaximised, AChildLargerThanTheFramesAreaLeavesTheFrameAsItIsAndTheAreaScrollsToItsFoot) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState frame;
    frame.procedure = frame.caption = "Frame";
    frame.kind = wnd::WindowKind::AppFrame;
    frame.at = {0, 0, 240, 120};
    presenter->OpenWindow(1, 1, frame, sink);
    QCoreApplication::processEvents();
    qtp::Screen& screen = presenter->screen();
    auto* area = screen.Frame()->findChild<QMdiArea*>();
    ASSERT_NE(area, nullptr);
    const QSize before = screen.Frame()->size();

    wnd::WindowState form;
    form.procedure = form.caption = "Tall";
    form.kind = wnd::WindowKind::MdiChild;
    form.at = {20, 30, 200, 140};
    form.controls = {qttest::MakeControl(1, wnd::ControlKind::Button, "?OK", {150, 120, 40, 14}, "&OK")};
    presenter->OpenWindow(2, 1, form, sink);
    QCoreApplication::processEvents();
    auto* child = qobject_cast<QMdiSubWindow*>(screen.WindowWidget(2));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(screen.Frame()->size(), before) << "the frame keeps its size";
    EXPECT_EQ(child->y(), 0) << "the form moved up to the area's top";
    QScrollBar* down = area->verticalScrollBar();
    ASSERT_GT(down->maximum(), 0) << "the area scrolls";
    down->setValue(down->maximum());
    QCoreApplication::processEvents();
    QWidget* ok = screen.ControlWidget(2, "?OK");
    EXPECT_TRUE(area->viewport()->rect().contains(QRect(ok->mapTo(area->viewport(), QPoint()), ok->size()))) << "OK can be reached";
    for (wnd::WindowId id : {2, 1}) presenter->CloseWindow(id);
    QCoreApplication::processEvents();
}

// The task's resizer moves every control in window units; controls in a tab page or an option keep
// their place in the window when their container moved too.
TEST(QtMaximised, ControlsInsideATabPageOrAnOptionFollowTheirContainerWhenItMoves) {
    using K = wnd::ControlKind;
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState w;
    w.procedure = w.caption = "Sheet";
    w.kind = wnd::WindowKind::Plain;
    w.controls = {qttest::MakeControl(1, K::Sheet, "?SHEET", {4, 4, 200, 120}),
                  qttest::MakeControl(2, K::Tab, "?TAB1", {0, 0, 0, 0}, "One"),
                  qttest::MakeControl(3, K::Entry, "?NAME", {20, 40, 60, 10}),
                  qttest::MakeControl(4, K::Option, "?KIND", {100, 40, 60, 40}, "Kind"),
                  qttest::MakeControl(5, K::Radio, "?KIND:1", {108, 52, 40, 10}, "M"),
                  qttest::MakeControl(6, K::Radio, "?KIND:2", {108, 64, 40, 10}, "F")};
    w.controls[1].parent = 1;
    w.controls[2].parent = 2;
    w.controls[3].parent = 2;
    w.controls[4].parent = 4;
    w.controls[5].parent = 4;
    presenter->OpenWindow(3, 1, w, sink);
    QCoreApplication::processEvents();
    qtp::Screen& screen = presenter->screen();
    QWidget* body = screen.ControlWidget(3, "?SHEET")->parentWidget();
    const QFont font = screen.ControlWidget(3, "?NAME")->font();
    auto at = [&](const wnd::Rect& r) {
        return QPoint(static_cast<int>(std::lround(r.x * qttest::UnitAcross(font))), static_cast<int>(std::lround(r.y * qttest::UnitDown(font))));
    };
    // How far each control sits from where its window units put it (a page's frame inside its
    // sheet is the style's, so not quite nothing); moving the containers must not change it.
    const char* inside[] = {"?NAME", "?KIND", "?KIND:1", "?KIND:2"};
    auto offsets = [&](const wnd::Rect* rects) {
        std::vector<QPoint> out;
        for (int i = 0; i < 4; ++i) out.push_back(screen.ControlWidget(3, inside[i])->mapTo(body, QPoint()) - at(rects[i]));
        return out;
    };
    const wnd::Rect designed[] = {w.controls[2].at, w.controls[3].at, w.controls[4].at, w.controls[5].at};
    const std::vector<QPoint> before = offsets(designed);

    // Twice the size: the sheet and the option grow and move; what they hold moves with them.
    const wnd::Rect sheet = {8, 8, 400, 240};
    const wnd::Rect moved[] = {{40, 80, 60, 10}, {200, 80, 120, 80}, {216, 104, 40, 10}, {216, 128, 40, 10}};
    for (int n : {1, 3, 4, 5, 6}) {
        wnd::ControlState c = w.controls[static_cast<std::size_t>(n - 1)];
        c.at = n == 1 ? sheet : moved[n - 3];
        presenter->UpdateControl(3, c);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(screen.ControlWidget(3, "?SHEET")->pos(), at(sheet));
    const std::vector<QPoint> after = offsets(moved);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(after[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i)]) << inside[i];
    presenter->CloseWindow(3);
    QCoreApplication::processEvents();
}

}  // namespace
