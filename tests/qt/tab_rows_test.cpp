// A sheet whose tab texts are wider than it takes more rows of tabs: every text reads whole, with
// no scroll arrows, and the page and what stands below the sheet move down out of the tabs' way.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTabWidget>
#include <QToolButton>

#include <string>
#include <vector>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/qt/tab_rows.h"
#include "qt/qt_test_support.h"

namespace {

using K = wnd::ControlKind;

QRect inBody(QWidget* w, QWidget* body) { return QRect(w->mapTo(body, QPoint()), w->size()); }

TEST(QtTabRows, TenLongTabTextsReadWholeInRowsAndThePageAndTheFootMoveDown) {
    const char* texts[] = {"1) General Information",         "2) Emergency Contacts",     "3) Medical Conditions",
                           "4) Medical Equipment",           "5) Drug and Food Allergies", "6) Other Allergies and Conditions",
                           "7) Immunizations",               "8) Doctors Visits",          "9) Blood Pressure Monitoring",
                           "10) Blood Glucose Monitoring"};
    wnd::WindowState w = qttest::PlainWindow("Profile");
    w.font.name = "MS Sans Serif";
    w.font.points = 8;
    w.at = {0, 0, 440, 300};
    w.controls.push_back(qttest::MakeControl(1, K::Sheet, "?CURRENTTAB", {4, 4, 432, 258}));
    for (int i = 0; i < 10; ++i) {
        w.controls.push_back(qttest::MakeControl(2 + i, K::Tab, "?TAB", {0, 0, 0, 0}, texts[i]));
        w.controls.back().parent = 1;
    }
    w.controls.push_back(qttest::MakeControl(12, K::Entry, "?PER:LASTNAME", {80, 22, 120, 11}));
    w.controls.back().parent = 2;
    w.controls.push_back(qttest::MakeControl(13, K::Button, "?OK", {296, 266, 44, 14}, "&OK"));
    auto presenter = std::make_shared<qtp::QtPresenter>();
    auto sink = std::make_shared<qttest::RecordingSink>();
    presenter->OpenWindow(5, 1, w, sink);
    QCoreApplication::processEvents();
    qtp::Screen& screen = presenter->screen();
    auto* sheet = qobject_cast<QTabWidget*>(screen.ControlWidget(5, "?CURRENTTAB"));
    ASSERT_NE(sheet, nullptr);
    auto* bar = dynamic_cast<qtp::TabRows*>(sheet->tabBar());
    ASSERT_NE(bar, nullptr) << "a sheet lays its tabs in rows";
    ASSERT_EQ(sheet->count(), 10);
    EXPECT_GT(bar->RowsAt(sheet->width()), 1);
    for (QToolButton* arrow : bar->findChildren<QToolButton*>()) EXPECT_FALSE(arrow->isVisible()) << "no scroll arrows";
    const QFontMetrics fm(bar->font());
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(texts[i]);
        const QRect place = bar->TabPlace(i);
        EXPECT_GE(place.width(), fm.horizontalAdvance(QString::fromUtf8(texts[i])) + 4) << "the whole text, with a margin";
        EXPECT_TRUE(bar->rect().contains(place)) << "within the bar, which is within the sheet";
    }
    EXPECT_LE(bar->width(), sheet->width());
    // The page begins below every row of tabs; the button below the sheet stays below it.
    QWidget* body = sheet->parentWidget();
    const QRect tabs = inBody(bar, body), entry = inBody(screen.ControlWidget(5, "?PER:LASTNAME"), body);
    const QRect ok = inBody(screen.ControlWidget(5, "?OK"), body);
    EXPECT_GT(entry.top(), tabs.bottom());
    EXPECT_GT(ok.top(), inBody(sheet, body).bottom());
    EXPECT_GE(body->minimumHeight(), ok.bottom()) << "the window holds its foot";

    // Wide enough for one row, it takes one, and the page and the foot move back up.
    wnd::ControlState wide = w.controls[0];
    wide.at = {4, 4, 1400, 258};
    presenter->UpdateControl(5, wide);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->RowsAt(sheet->width()), 1);
    EXPECT_EQ(bar->height(), bar->RowHeight());
    const QRect okNow = inBody(screen.ControlWidget(5, "?OK"), body);
    EXPECT_LT(okNow.top(), ok.top());
    EXPECT_GT(okNow.top(), inBody(sheet, body).bottom());
    presenter->CloseWindow(5);
    QCoreApplication::processEvents();
}

}  // namespace
