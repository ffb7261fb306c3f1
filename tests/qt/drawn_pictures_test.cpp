// The program's own pictures: the frame's wallpaper and the pictures picture controls name, drawn
// in rather than read from files, and shown by the picture controls that name them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>

#include <string>
#include <vector>

#include "platform/qt/picture_book.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/qt/wallpaper.h"
#include "qt/qt_test_support.h"

namespace {

// How many pixels hold ink (neither transparent nor white).
int inked(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            n += qAlpha(px) > 128 && (qRed(px) < 240 || qGreen(px) < 240 || qBlue(px) < 240);
        }
    return n;
}

TEST(QtDrawnPictures, EveryPictureTheLayoutsNameIsDrawnToItsSizeInAnyCaseAndNoTwoLookAlike) {
    const char* names[] = {"daily_planner_writing_tm.gif", "911_tm.gif", "doctor_examining_pati_a_tm.gif",
                           "nurse_vuno_pushing_nu_a_tm.gif", "looking_at_germ_throu_a_tm.gif", "cat_body_sit_sw.gif",
                           "SYRINGE_WITH_FLU_VACC_A_TM.GIF", "doctor_check_up_chart_tm.gif", "blood_pressure_heart_tm.gif",
                           "meterani.GIF"};
    std::vector<QImage> drawn;
    for (const char* name : names) {
        const QPixmap pm = qtp::DrawnPicture(name, QSize(126, 90));
        ASSERT_FALSE(pm.isNull()) << name;
        EXPECT_EQ(pm.size(), QSize(126, 90)) << name;
        const QImage image = pm.toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_GT(inked(image), 126 * 90 / 10) << name << " is hardly drawn";
        for (std::size_t i = 0; i < drawn.size(); ++i) EXPECT_NE(image, drawn[i]) << name << " looks like " << names[i];
        drawn.push_back(image);
    }
    EXPECT_TRUE(qtp::DrawnPicture("photo.gif", QSize(40, 40)).isNull());
    EXPECT_TRUE(qtp::DrawnPicture("911_tm.gif", QSize()).isNull());
}

TEST(QtDrawnPictures, TheWallpaperIsDrawnInAndShownWholeInTheFramesAreaOnWhite) {
    const QImage wall = qtp::Wallpaper("PRESCRIPT.BMP");
    ASSERT_EQ(wall.size(), QSize(800, 500));
    EXPECT_EQ(wall.pixel(2, 2), qRgb(255, 255, 255)) << "a white ground";
    EXPECT_GT(inked(wall), 800 * 500 / 10);
    EXPECT_TRUE(qtp::Wallpaper("other.bmp").isNull());

    // The frame's layout names it; the frame's area shows it even where no such file exists.
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState frame;
    frame.procedure = "Frame";
    frame.caption = "Frame";
    frame.kind = wnd::WindowKind::AppFrame;
    frame.wallpaper = "prescript.bmp";
    wnd::WindowState pictured;
    pictured.procedure = "Pictured";
    pictured.caption = "Pictured";
    pictured.kind = wnd::WindowKind::Plain;
    pictured.controls = {qttest::MakeControl(1, wnd::ControlKind::Image, "?IMAGE5", {4, 4, 84, 40}, "blood_pressure_heart_tm.gif")};
    presenter->OpenWindow(1, 1, frame, sink);
    presenter->OpenWindow(2, 1, pictured, sink);
    QCoreApplication::processEvents();
    qtp::Screen& screen = presenter->screen();
    auto* area = qobject_cast<QMdiArea*>(screen.Frame()->centralWidget());
    ASSERT_NE(area, nullptr);
    const QImage ground = area->background().textureImage();
    ASSERT_FALSE(ground.isNull());
    EXPECT_EQ(ground.size(), area->viewport()->size());
    EXPECT_GT(inked(ground), 0);
    EXPECT_LE(inked(ground), ground.width() * ground.height() / 2) << "the rest of the ground is white";

    auto* image = qobject_cast<QLabel*>(screen.ControlWidget(2, "?IMAGE5"));
    ASSERT_NE(image, nullptr);
    const QImage shown = image->pixmap().toImage();
    EXPECT_EQ(shown, qtp::DrawnPicture("blood_pressure_heart_tm.gif", shown.size()).toImage()) << "the named picture, not the program's icon";
    presenter->CloseWindow(2);
    presenter->CloseWindow(1);
    QCoreApplication::processEvents();
}

// A button shows the picture its layout names, whether a standard one or one the program drew
// ("SDown.ico" beside its text), never the ellipsis of a button without one.
TEST(QtDrawnPictures, AButtonShowsTheStandardOrProgramPictureItsLayoutNames) {
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    wnd::WindowState w = qttest::PlainWindow("Buttons");
    w.controls = {qttest::MakeControl(1, wnd::ControlKind::Button, "?BUTTON5", {4, 4, 96, 14}, "Push Down Button", "SDown.ico"),
                  qttest::MakeControl(2, wnd::ControlKind::Button, "?BUTTON7", {4, 24, 12, 12}, "", "WACHANGE.ICO"),
                  qttest::MakeControl(3, wnd::ControlKind::Button, "?BUTTON4", {4, 40, 12, 12}, "", "")};
    presenter->OpenWindow(3, 1, w, sink);
    QCoreApplication::processEvents();
    auto button = [&](const char* use) { return qobject_cast<QPushButton*>(presenter->screen().ControlWidget(3, use)); };
    ASSERT_TRUE(button("?BUTTON5") && button("?BUTTON7") && button("?BUTTON4"));
    EXPECT_FALSE(button("?BUTTON5")->icon().isNull());
    EXPECT_EQ(button("?BUTTON5")->text(), "Push Down Button");
    const QImage drawn = button("?BUTTON5")->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_GT(inked(drawn), 16 * 16 / 8) << "the picture is drawn";
    EXPECT_FALSE(button("?BUTTON7")->icon().isNull());
    EXPECT_TRUE(button("?BUTTON7")->text().isEmpty());
    EXPECT_EQ(button("?BUTTON4")->text(), "...") << "a button with neither text nor picture";
    presenter->CloseWindow(3);
    QCoreApplication::processEvents();
}

}  // namespace
