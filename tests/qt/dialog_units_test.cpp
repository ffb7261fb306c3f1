// A window's dialog units come from its own font: a quarter of the average width of the letters
// A-Z and a-z across, an eighth of the font's height down. Layouts name a font the machine may
// lack; the window then takes the font every installation has.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScreen>
#include <QWidget>

#include <cmath>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/qt/window_font.h"
#include "qt/qt_test_support.h"

namespace {

using K = wnd::ControlKind;

// The figures below are worked out by hand from the font files of fonts-dejavu-core (scripts/deps.sh
// installs it), read with a TrueType table dump: both fonts have 2048 units to the em, an ascent of
// 1901 and a descent of 483 (hhea, no line gap). At 12 points on the 96 dpi the tests run at, the
// em is 16 pixels, so a font unit is 16/2048 pixel.
//   Height: ascent 1901 * 16/2048 = 14.85 and descent 483 * 16/2048 = 3.77, each rounded to whole
//   pixels: 15 + 4 = 19 pixels, a unit down of 19/8 = 2.375 pixels.
//   DejaVu Sans: the advances (hmtx) of A-Z and a-z add up to 65813 units, 1265.63 a letter, which
//   is 9.888 pixels; a unit across is 2.472 pixels.
//   DejaVu Sans Mono: every letter is 1233 units, 9.633 pixels; a unit across is 2.408 pixels.
// Qt kerns a few neighbouring pairs of the letter row and keeps advances in 64ths of a pixel, which
// moves the average letter by under a hundredth of a pixel: it is checked to 0.02 pixels.
constexpr const char* kSansFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kMonoFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int kPoints = 12;
constexpr int kHeight = 19;
constexpr double kSansLetter = 65813.0 / 52 * 16 / 2048;
constexpr double kMonoLetter = 1233.0 * 16 / 2048;

TEST(QtDialogUnits, ControlsArePlacedInUnitsOfTheWindowsOwnFont) {
    ASSERT_EQ(QApplication::primaryScreen()->logicalDotsPerInchY(), 96.0) << "the hand figures are for 96 dpi";
    for (const char* file : {kSansFile, kMonoFile})
        ASSERT_NE(QFontDatabase::addApplicationFont(QString::fromUtf8(file)), -1) << file << " (fonts-dejavu-core)";
    struct Case {
        const char* named;  // the layout's font
        const char* drawnIn;
        double letter;  // pixels, by hand
    };
    const Case cases[] = {
        {"MS Sans Serif", "DejaVu Sans", kSansLetter},  // not on the machine
        {"", "DejaVu Sans", kSansLetter},
        {"DejaVu Sans Mono", "DejaVu Sans Mono", kMonoLetter},
    };
    // Up to 150 units, where the hand figure and Qt's kerned one stay within a pixel of each other.
    const wnd::Rect rects[] = {{8, 6, 120, 10}, {140, 30, 44, 14}, {3, 101, 150, 46}};
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowId id = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("font \"") + c.named + "\"");
        wnd::WindowState w;
        w.procedure = w.caption = "Units";
        w.kind = wnd::WindowKind::Plain;
        w.font.name = c.named;
        w.font.points = kPoints;
        w.controls = {qttest::MakeControl(1, K::Entry, "?A", rects[0]), qttest::MakeControl(2, K::Button, "?B", rects[1], "&Go"),
                      qttest::MakeControl(3, K::Text, "?C", rects[2])};
        presenter->OpenWindow(++id, 1, w, sink);
        QCoreApplication::processEvents();
        qtp::Screen& screen = presenter->screen();
        QWidget* first = screen.ControlWidget(id, "?A");
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(QFontInfo(first->font()).family(), c.drawnIn);
        EXPECT_EQ(QFontInfo(first->font()).pointSize(), kPoints);
        const qtp::DialogUnits units = qtp::DialogUnits::Of(first->font());
        EXPECT_NEAR(units.letterWidth, c.letter, 0.02);
        EXPECT_EQ(units.height, kHeight);

        const double across = c.letter / 4, down = kHeight / 8.0;
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
