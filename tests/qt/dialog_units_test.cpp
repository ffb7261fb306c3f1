// A window's dialog units come from its own font: a quarter of the average width of the letters
// A-Z and a-z across, an eighth of the font's height down. Layouts name a font the machine may
// lack; the window then takes the font every installation has.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QWidget>

#include <cmath>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "qt/qt_test_support.h"

namespace {

using K = wnd::ControlKind;

TEST(QtDialogUnits, ControlsArePlacedInUnitsOfTheWindowsOwnFont) {
    struct Case {
        const char* named;  // the layout's font
        int points;
        const char* drawnIn;
    };
    const Case cases[] = {
        {"MS Sans Serif", 8, "DejaVu Sans"},  // not on the machine
        {"", 8, "DejaVu Sans"},
        {"DejaVu Sans Mono", 12, "DejaVu Sans Mono"},
    };
    const wnd::Rect rects[] = {{8, 6, 120, 10}, {140, 30, 44, 14}, {3, 101, 231, 46}};
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowId id = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.named) + " " + std::to_string(c.points));
        wnd::WindowState w;
        w.procedure = w.caption = "Units";
        w.kind = wnd::WindowKind::Plain;
        w.font.name = c.named;
        w.font.points = c.points;
        w.controls = {qttest::MakeControl(1, K::Entry, "?A", rects[0]), qttest::MakeControl(2, K::Button, "?B", rects[1], "&Go"),
                      qttest::MakeControl(3, K::Text, "?C", rects[2])};
        presenter->OpenWindow(++id, 1, w, sink);
        QCoreApplication::processEvents();
        qtp::Screen& screen = presenter->screen();
        QWidget* first = screen.ControlWidget(id, "?A");
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(QFontInfo(first->font()).family(), c.drawnIn);
        EXPECT_EQ(QFontInfo(first->font()).pointSize(), c.points);

        const double across = qttest::UnitAcross(first->font()), down = qttest::UnitDown(first->font());
        for (int n = 1; n <= 3; ++n) {
            const wnd::Rect& r = rects[n - 1];
            const QRect got = screen.ControlWidget(id, w.controls[static_cast<std::size_t>(n - 1)].use.c_str())->geometry();
            SCOPED_TRACE(n);
            EXPECT_NEAR(got.x(), r.x * across, 1);
            EXPECT_NEAR(got.y(), r.y * down, 1);
            EXPECT_NEAR(got.width(), r.width * across, 1);
            EXPECT_NEAR(got.height(), r.height * down, 1);
        }
        presenter->CloseWindow(id);
        QCoreApplication::processEvents();
    }
}

}  // namespace
