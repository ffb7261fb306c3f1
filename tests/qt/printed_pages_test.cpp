// Printed pages on the Qt presenter: the painting routine the preview and the printer share, the
// preview control, and the print dialog that prints to a PDF file. Driven straight through the
// Presenter interface.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QMessageBox>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <string>
#include <vector>

#include "platform/qt/page_painter.h"
#include "platform/qt/page_preview.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/printing.h"
#include "platform/qt/screen.h"
#include "platform/window/report.h"
#include "qt/qt_test_support.h"

#include <sys/stat.h>

namespace {

using Kind = wnd::InputEvent::Kind;
using Item = wnd::PageItem;

Item text(wnd::Rect at, const char* s, char align = 'L', int points = 12, bool wrap = false) {
    Item i;
    i.kind = Item::Kind::Text;
    i.at = at;
    i.text = s;
    i.align = align;
    i.font.points = points;
    i.wrap = wrap;
    return i;
}

Item shape(Item::Kind kind, wnd::Rect at, int pen) {
    Item i;
    i.kind = kind;
    i.at = at;
    i.pen = pen;
    return i;
}

// A letter page painted at `pixelsPerMil` on an image of `dpi` dots per inch.
QImage render(const wnd::Page& page, double pixelsPerMil, int dpi = 96) {
    QImage image(static_cast<int>(8500 * pixelsPerMil), static_cast<int>(11000 * pixelsPerMil), QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    qtp::PaintPage(painter, page, pixelsPerMil);
    return image;
}

bool inked(QRgb pixel) { return qGray(pixel) < 224; }

// The bounding box of the ink inside `within` (empty when none).
QRect ink(const QImage& image, QRect within = {}) {
    if (within.isNull()) within = image.rect();
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (inked(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

int inkOutside(const QImage& image, const QRect& allowed) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += !allowed.contains(x, y) && inked(image.pixel(x, y));
    return n;
}

TEST(QtPagePainter, TextsSitAtTheTopOfTheirRectangleAlignedAndClippedToIt) {
    // At 0.1 pixels per mil the rectangle {1000, 2000, 3000, 400} is pixels (100, 200) 300 by 40.
    const QRect box(100, 200, 300, 40);
    struct Case {
        Item item;
        int left, right;  // where the ink's ends should be, -1 anywhere inside
    };
    const Case cases[] = {
        {text({1000, 2000, 3000, 400}, "Aspirin 100 mg", 'L'), 100, -1},
        {text({1000, 2000, 3000, 400}, "Aspirin 100 mg", 'R'), -1, 399},
        {text({1000, 2000, 3000, 400}, "Aspirin 100 mg", 'C'), -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.text + " " + c.item.align);
        const QImage image = render(wnd::Page{{c.item}}, 0.1);
        const QRect drawn = ink(image);
        ASSERT_FALSE(drawn.isEmpty());
        EXPECT_EQ(inkOutside(image, box), 0);
        EXPECT_LE(drawn.top() - box.top(), 6);  // at the top: only the font's leading above the capitals
        EXPECT_GE(drawn.height(), 10);          // 12 points is a sixth of an inch, 16 pixels a line
        if (c.left >= 0) {
            EXPECT_NEAR(drawn.left(), c.left, 2);
        }
        if (c.right >= 0) {
            EXPECT_NEAR(drawn.right(), c.right, 2);
        }
        if (c.item.align == 'C') {
            EXPECT_NEAR(drawn.center().x(), box.center().x(), 2);
        }
    }

    // Too long for its rectangle (a layout made for a narrower font): narrowed into it, whole, its
    // last letter at the right edge, rather than cut off there.
    const char* longText = "Acetylsalicylic acid, enteric coated, one tablet daily";
    const QImage narrowed = render(wnd::Page{{text({1000, 2000, 3000, 400}, longText)}}, 0.1);
    const QImage free = render(wnd::Page{{text({1000, 2000, 7000, 400}, longText)}}, 0.1);
    EXPECT_EQ(inkOutside(narrowed, box), 0);
    EXPECT_GT(ink(free).right(), box.right());
    EXPECT_NEAR(ink(narrowed).left(), box.left(), 2);
    EXPECT_NEAR(ink(narrowed).right(), box.right(), 3);
    EXPECT_EQ(ink(narrowed).height(), ink(free).height()) << "only narrower, as tall as ever";
}

TEST(QtPagePainter, AWrappedTextBreaksAtWordsAndStopsAtItsHeightAndLinesAndBoxesFollowTheirPens) {
    // Ten points (about 16 pixels a line at 0.1 pixels per mil) in 60 pixels: three whole lines.
    const Item block = text({1000, 1000, 2000, 600},
                            "Take one tablet by mouth every morning with food and plenty of water; do not crush "
                            "or chew; keep out of the reach of children; store below 25 degrees",
                            'L', 10, true);
    QImage image = render(wnd::Page{{block}}, 0.1);
    const QRect drawn = ink(image);
    EXPECT_EQ(inkOutside(image, QRect(100, 100, 200, 60)), 0);
    EXPECT_GE(drawn.height(), 36);   // more than two lines
    EXPECT_GE(drawn.width(), 160);   // each line filled to near the width
    // Whole lines only: the rows of ink fall into three bands with white between them.
    int bands = 0;
    bool inBand = false;
    for (int y = 100; y < 160; ++y) {
        bool any = false;
        for (int x = 100; x < 300 && !any; ++x) any = inked(image.pixel(x, y));
        if (any && !inBand) ++bands;
        inBand = any;
    }
    EXPECT_EQ(bands, 3);

    // A line 20 mils thick from (1000, 5000) 3000 across; a box outlined 10 mils thick.
    image = render(wnd::Page{{shape(Item::Kind::Line, {1000, 5000, 3000, 0}, 20),
                              shape(Item::Kind::Box, {5000, 6000, 2000, 1000}, 10)}}, 0.1);
    EXPECT_EQ(ink(image, QRect(0, 450, 850, 100)), QRect(100, 499, 300, 2));
    const QRect outline = ink(image, QRect(450, 550, 300, 200));
    EXPECT_NEAR(outline.left(), 500, 1);
    EXPECT_NEAR(outline.top(), 600, 1);
    EXPECT_NEAR(outline.right(), 700, 1);
    EXPECT_NEAR(outline.bottom(), 700, 1);
    EXPECT_FALSE(inked(image.pixel(600, 650)));  // an outline, not filled
}

TEST(QtPagePainter, FontsKeepTheirSizeOnThePaperWhateverTheDevicesDpi) {
    Item big = text({1000, 1000, 6000, 1500}, "HHH", 'L', 72);
    const wnd::Page page{{big}};
    const QRect at96 = ink(render(page, 0.1, 96));
    const QRect at300 = ink(render(page, 0.1, 300));
    const QRect tripled = ink(render(page, 0.3, 96));
    EXPECT_EQ(at96, at300);  // the device's own DPI plays no part
    EXPECT_NEAR(tripled.width(), 3 * at96.width(), 3);
    EXPECT_NEAR(tripled.height(), 3 * at96.height(), 3);
    // 72 points is an inch: capitals about seven tenths of it.
    EXPECT_GE(at96.height(), 60);
    EXPECT_LE(at96.height(), 80);

    big.font.bold = true;
    EXPECT_GT(ink(render(wnd::Page{{big}}, 0.1)).width(), at96.width());
}

// The width a text takes as painted: a text of one line wider than its place exactly the place's,
// one that fits its own, trailing blanks not counted.
TEST(QtPagePainter, AOneLineTextTooWideForItsPlaceTakesItsWidth) {
    const Item wide = text({100, 100, 1200, 200}, "Pulmonary Arterial Hypertension", 'L', 10);
    const double natural = qtp::PaintedTextWidth(text({100, 100, 0, 200}, wide.text.c_str(), 'L', 10));
    ASSERT_GT(natural, 1200) << "the case needs a text wider than its place";
    EXPECT_NEAR(qtp::PaintedTextWidth(wide), 1200, 1);
    EXPECT_NEAR(qtp::PaintedTextWidth(text({100, 100, 1200, 200}, "Stroke    ", 'L', 10)),
                qtp::PaintedTextWidth(text({100, 100, 0, 200}, "Stroke", 'L', 10)), 0.5)
        << "a text that fits is drawn as it is, its trailing blanks not counted";
}

// The printed health profile in its report font: every text's widest line within its place and
// within the rules drawn across the page.
TEST(QtPrintedProfile, EveryTextShowsWholeWithinItsPlaceAndTheRules) {
    std::string error;
    ASSERT_TRUE(qttest::LayoutsRegistered(&error)) << error;
    wnd::Report report("profile", "P1$REPORT");
    report.PrintBand(report.Find("?DETAIL"));
    report.EndPage();
    const auto pages = report.TakePages();
    ASSERT_GE(pages->pages.size(), 3u);
    std::vector<std::string> seen;
    for (const wnd::Page& page : pages->pages) {
        double rule = 0;
        for (const Item& i : page.items)
            if (i.kind != Item::Kind::Text) rule = std::max(rule, static_cast<double>(i.at.x + i.at.width));
        ASSERT_GT(rule, 0);
        for (const Item& i : page.items) {
            if (i.kind != Item::Kind::Text || i.text.find_first_not_of(' ') == std::string::npos) continue;
            SCOPED_TRACE(i.text);
            seen.push_back(i.text);
            const double width = qtp::PaintedTextWidth(i);
            if (i.at.width > 0 && !i.wrap) {
                EXPECT_LE(width, i.at.width + 0.5) << "within its place";
            }
            EXPECT_LE(i.at.x + width, rule + 0.5) << "within the rules";
            if (i.at.width > 0) {
                EXPECT_LE(i.at.x + i.at.width, rule) << "its place within the rules";
            }
        }
    }
    for (const char* t : {"Pulmonary Arterial Hypertension", "Hemophilia VWD Blood Dis", "No Known Medical Conditions"})
        EXPECT_NE(std::find(seen.begin(), seen.end(), t), seen.end()) << t;
}

TEST(QtPagePainter, PackedPagesReadBackAndDrawAsTheyWereMade) {
    // Texts recurring within a page and across pages, long ones (stored each time), empty and
    // non-Latin ones; shapes that differ only in one property; a line drawn upward.
    Item bold = text({1000, 1000, 6500, 300}, "Prescription Report", 'C', 14);
    bold.font.bold = true;
    Item italic = bold;
    italic.font.bold = false;
    italic.font.italic = true;
    const std::string notes(300, 'n');
    Item block = text({1200, 2200, 6100, 1100}, "", 'L', 12, true);
    block.text = notes + " Ibuprofen 400 mg: one tablet up to three times a day when needed.";
    Item tick = shape(Item::Kind::Line, {1000, 5000, 400, -600}, 15);
    Item other = text({1000, 1500, 2000, 300}, "Größe ½ – “Zocor”", 'R', 10);
    other.font.name = "Courier New";
    const wnd::Page first{{bold, italic, block, tick, text({1000, 1500, 2000, 300}, "Drug Name"), other,
                           shape(Item::Kind::Box, {900, 900, 6700, 9200}, 20), text({1000, 1500, 2000, 300}, "")}};
    const wnd::Page second{{text({1000, 1500, 2000, 300}, "Drug Name"), block, bold, shape(Item::Kind::Box, {900, 900, 6700, 9200}, 25)}};
    const wnd::Page empty{};

    auto same = [](const wnd::Page& made, const wnd::Page& read) {
        ASSERT_EQ(read.items.size(), made.items.size());
        for (std::size_t i = 0; i < made.items.size(); ++i) {
            SCOPED_TRACE(i);
            const Item& a = made.items[i];
            const Item& b = read.items[i];
            EXPECT_EQ(a.kind, b.kind);
            EXPECT_EQ(std::tie(a.at.x, a.at.y, a.at.width, a.at.height), std::tie(b.at.x, b.at.y, b.at.width, b.at.height));
            EXPECT_EQ(a.text, b.text);
            EXPECT_EQ(a.font, b.font);
            EXPECT_EQ(a.align, b.align);
            EXPECT_EQ(a.wrap, b.wrap);
            EXPECT_EQ(a.pen, b.pen);
        }
        EXPECT_EQ(render(made, 0.1), render(read, 0.1));
    };
    wnd::PageList list;
    list.push_back(first);
    list.push_back(second);
    list.Seal();
    list.push_back(empty);  // pages added after a seal find the shapes and texts kept
    list.push_back(first);
    const wnd::PageList copy = list;
    ASSERT_EQ(copy.size(), 4u);
    same(first, copy[0]);
    same(second, copy[1]);
    same(empty, copy[2]);
    same(first, copy.at(3));
    EXPECT_THROW(copy.at(4), std::out_of_range);
    int pages = 0;
    for (const wnd::Page& page : copy) pages += page.items.empty() ? 0 : 1;
    EXPECT_EQ(pages, 3);
}

// A plain window with a preview control, opened straight through the presenter.
class QtPrintedPages : public qttest::OneWindowTest {
protected:
    void SetUp() override {
        wnd::WindowState w = qttest::PlainWindow("Report");
        w.controls = {qttest::MakeControl(1, wnd::ControlKind::Preview, "?PREVIEW", {4, 4, 300, 200}),
                      qttest::MakeControl(2, wnd::ControlKind::Button, "?PRINT", {4, 210, 40, 14}, "&Print")};
        w.controls[0].zoom = 100;
        w.controls[0].alerts[0] = wnd::kKeyPageDown;
        state_ = w;
        Open(w);
        preview_ = dynamic_cast<qtp::PagePreview*>(presenter_->screen().ControlWidget(kId, "?PREVIEW"));
        ASSERT_NE(preview_, nullptr);

        // Three pages, each naming itself near its top-left corner, and a title box on the first.
        auto set = std::make_shared<wnd::PageSet>();
        set->title = "Medication list";
        for (int n = 1; n <= 3; ++n) {
            wnd::Page page;
            const std::string name = "Page " + std::to_string(n);
            page.items.push_back(text({1000, 1000, 6500, 300}, name.c_str(), 'L', 14));
            page.items.push_back(shape(Item::Kind::Line, {1000, 1400, 6500, 0}, 10));
            if (n == 1) {
                page.items.push_back(shape(Item::Kind::Box, {1000, 2000, 6500, 1500}, 20));
                page.items.push_back(text({1200, 2200, 6100, 1100},
                                          "Aspirin 100 mg: one tablet every morning with food. Ibuprofen 400 mg: "
                                          "one tablet up to three times a day when needed, never on an empty stomach.",
                                          'L', 12, true));
                page.items.push_back(text({1000, 10000, 6500, 300}, "Printed for the household", 'C', 9));
            }
            pages_.push_back(name);
            set->pages.push_back(page);
        }
        set_ = set;
        sink_->Take();
    }
    void Preview(int first, int across, int down, int zoom) {
        wnd::ControlState& c = state_.controls[0];
        c.choice = first;
        c.pagesAcross = across;
        c.pagesDown = down;
        c.zoom = zoom;
        presenter_->UpdateControl(kId, c);
        settle();
    }
    // The view's scroll bars come and go on queued events.
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    QImage shown() const { return preview_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRect visible() const { return preview_->viewport()->rect(); }

    wnd::WindowState state_;
    qtp::PagePreview* preview_ = nullptr;
    std::shared_ptr<const wnd::PageSet> set_;
    std::vector<std::string> pages_;
};

bool grey(QRgb pixel) { return qRed(pixel) == 128 && qGreen(pixel) == 128 && qBlue(pixel) == 128; }
bool white(QRgb pixel) { return pixel == qRgb(255, 255, 255); }

TEST_F(QtPrintedPages, APreviewShowsItsPagesAtTheirRealSizeFromTheChosenPageAndTakesItsAlertedKeys) {
    // Before the pages come: the desk alone.
    EXPECT_TRUE(preview_->Sheets().empty());
    const QImage empty = shown();
    EXPECT_TRUE(grey(empty.pixel(empty.width() / 2, empty.height() / 2)));

    presenter_->SetPages(kId, 1, set_);
    settle();
    auto sheets = preview_->Sheets();
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].page, 1);
    // At 100 percent an inch of paper is an inch of screen.
    EXPECT_NEAR(sheets[0].at.width(), 8.5 * preview_->logicalDpiX(), 1);
    EXPECT_NEAR(sheets[0].at.height(), 11 * preview_->logicalDpiY(), 1);
    QImage image = shown();
    const QPoint corner = sheets[0].at.topLeft();
    EXPECT_TRUE(grey(image.pixel(corner - QPoint(4, 4))));
    EXPECT_TRUE(white(image.pixel(corner + QPoint(20, 20))));
    // "Page 1" in 14 points, an inch from the paper's top-left corner.
    const int inch = preview_->logicalDpiX();
    const QRect title = ink(image, QRect(corner + QPoint(inch / 2, inch / 2), QSize(inch * 2, inch)));
    EXPECT_NEAR(title.left(), corner.x() + inch, 3);
    EXPECT_NEAR(title.top(), corner.y() + inch, 6);
    if (const char* shot = std::getenv("QTP_PREVIEW_SHOT")) preview_->window()->grab().save(shot);

    // The first page shown is the task's choice; none or one past the end is the first.
    const std::pair<int, int> firsts[] = {{2, 2}, {3, 3}, {0, 1}, {4, 1}, {-1, 1}};
    for (const auto& [choice, page] : firsts) {
        Preview(choice, 1, 1, 100);
        sheets = preview_->Sheets();
        ASSERT_EQ(sheets.size(), 1u);
        EXPECT_EQ(sheets[0].page, page) << choice;
    }

    // Page Down is the task's when it alerts it; otherwise the view scrolls.
    Preview(1, 1, 1, 100);
    presenter_->SetFocus(kId, 1);
    QCoreApplication::processEvents();
    sink_->Take();
    QTest::keyClick(preview_, Qt::Key_PageDown);
    auto events = sink_->Take(Kind::AlertKey);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].control, 1);
    EXPECT_EQ(events[0].key, wnd::kKeyPageDown);
    EXPECT_EQ(preview_->verticalScrollBar()->value(), 0);
    state_.controls[0].alerts[0] = 0;
    Preview(1, 1, 1, 100);
    QTest::keyClick(preview_, Qt::Key_PageDown);
    EXPECT_TRUE(sink_->Take(Kind::AlertKey).empty());
    EXPECT_GT(preview_->verticalScrollBar()->value(), 0);
    Preview(2, 1, 1, 100);  // the next page is shown from its top
    EXPECT_EQ(preview_->verticalScrollBar()->value(), 0);
}

TEST_F(QtPrintedPages, FittingZoomsFollowTheVisibleAreaAndPagesStandSideBySide) {
    presenter_->SetPages(kId, 1, set_);
    Preview(1, 2, 1, 0);
    auto sheets = preview_->Sheets();
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].page, 1);
    EXPECT_EQ(sheets[1].page, 2);
    EXPECT_EQ(sheets[0].at.top(), sheets[1].at.top());
    EXPECT_EQ(sheets[0].at.size(), sheets[1].at.size());
    EXPECT_EQ(sheets[1].at.left() - sheets[0].at.right() - 1, qtp::PagePreview::kGap);
    // Both fit the control, and fill its width or its height.
    const QRect both = sheets[0].at | sheets[1].at;
    EXPECT_TRUE(visible().contains(both));
    const int spareWidth = visible().width() - both.width() - 2 * qtp::PagePreview::kMargin;
    const int spareHeight = visible().height() - both.height() - 2 * qtp::PagePreview::kMargin;
    EXPECT_LE(std::min(spareWidth, spareHeight), 2);
    EXPECT_FALSE(preview_->verticalScrollBar()->isVisible());
    const QImage image = shown();
    const QPoint between((sheets[0].at.right() + sheets[1].at.left()) / 2, sheets[0].at.center().y());
    EXPECT_TRUE(grey(image.pixel(between)));
    EXPECT_TRUE(white(image.pixel(sheets[1].at.topLeft() + QPoint(3, 3))));

    // Two across from the last page: the one there is.
    Preview(3, 2, 1, 0);
    sheets = preview_->Sheets();
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].page, 3);

    // A larger control (the task's resizer moved it): larger sheets.
    const int before = preview_->Sheets()[0].at.width();
    state_.controls[0].at = {4, 4, 400, 300};
    Preview(1, 1, 1, 0);
    EXPECT_GT(preview_->Sheets()[0].at.width(), before);
    EXPECT_TRUE(visible().contains(preview_->Sheets()[0].at));

    // A page's width fits the visible width; its foot is scrolled to.
    Preview(1, 1, 1, -1);
    sheets = preview_->Sheets();
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_NEAR(sheets[0].at.width(), visible().width() - 2 * qtp::PagePreview::kMargin, 1);
    EXPECT_GT(sheets[0].at.height(), visible().height());
    EXPECT_TRUE(preview_->verticalScrollBar()->isVisible());
    EXPECT_FALSE(preview_->horizontalScrollBar()->isVisible());
}

TEST_F(QtPrintedPages, ClosingAPreviewLetsItsPagesGo) {
    std::weak_ptr<const wnd::PageSet> held;
    {
        auto pages = std::make_shared<wnd::PageSet>(*set_);
        held = pages;
        presenter_->SetPages(kId, 1, std::move(pages));
    }
    Preview(2, 1, 1, 100);
    ASSERT_FALSE(held.expired());
    ASSERT_EQ(preview_->Sheets().size(), 1u);
    presenter_->CloseWindow(kId);
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(held.expired());
}

// The print dialog's own "print to file": the printer it names and the PDF file.
void printToFile(QPrintDialog& dialog, const QString& path) {
    auto* printers = dialog.findChild<QComboBox*>("printers");
    auto* file = dialog.findChild<QLineEdit*>("filename");
    ASSERT_TRUE(printers && file);
    const int pdf = printers->findText("PDF", Qt::MatchContains);
    ASSERT_GE(pdf, 0);
    printers->setCurrentIndex(pdf);
    file->setText(path);
}

QPrintDialog* openPrintDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible()) return d;
    return nullptr;
}

// The answers to print questions, once at least one has come (pages print on a thread of their
// own and are answered when they are out).
std::vector<wnd::InputEvent> awaitAnswers(qttest::RecordingSink& sink) {
    std::vector<wnd::InputEvent> answers;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        for (wnd::InputEvent& e : sink.Take(Kind::Answer)) answers.push_back(std::move(e));
        return !answers.empty();
    }, qttest::kWaitMs)) << "no print question was answered";
    return answers;
}

// Each page's first line of text, as pdftotext reads it from the file.
std::vector<std::string> pdfTexts(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return {"pdftotext failed"};
    std::vector<std::string> out;
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    for (const QString& page : pages) out.push_back(page.trimmed().section('\n', 0, 0).trimmed().toStdString());
    return out;
}

// A PDF's pages, from its page tree's count.
int pdfPages(const QByteArray& pdf) {
    const auto match = QRegularExpression(R"(/Type\s*/Pages\b[^>]*?/Count\s+(\d+))").match(QString::fromLatin1(pdf));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

TEST_F(QtPrintedPages, ThePrintDialogPrintsTheChosenPagesToAPdfAndOnlyItsThreadWaits) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    wnd::PrintQuestion question;
    question.id = 51;
    question.thread = 1;
    question.window = kId;
    question.pages = set_;
    question.selection = {3, 1};
    presenter_->AskPrint(question, sink_);
    QCoreApplication::processEvents();
    QPrintDialog* dialog = openPrintDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QWidget* window = presenter_->screen().WindowWidget(kId);
    EXPECT_FALSE(window->isEnabled());
    // The printer's name shows whole in its box.
    auto* printers = dialog->findChild<QComboBox*>("printers");
    ASSERT_NE(printers, nullptr);
    EXPECT_GE(printers->width(), printers->sizeHint().width()) << printers->currentText().toStdString();

    const QString path = dir.filePath("report.pdf");
    printToFile(*dialog, path);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    // The pages print on a thread of their own: the click returns at once, and the answer comes
    // while the GUI thread goes on turning its events.
    EXPECT_TRUE(sink_->Take(Kind::Answer).empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !openPrintDialog(); }, qttest::kWaitMs));
    auto answers = awaitAnswers(*sink_);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].question, 51u);
    EXPECT_EQ(answers[0].answer, 1);
    EXPECT_TRUE(window->isEnabled());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_EQ(pdfTexts(path), (std::vector<std::string>{"Page 3", "Page 1"})) << "the chosen pages, in the chosen order";
    EXPECT_TRUE(QString::fromLatin1(pdf).contains(QRegularExpression(R"(/MediaBox \[0 0 612[.0]* 792[.0]*\])")));  // US Letter
    if (const char* keep = std::getenv("QTP_PRINT_PDF")) QFile::copy(path, keep);

    // Cancelled: nothing printed. All pages when the task chose none.
    question.id = 52;
    question.selection.clear();
    presenter_->AskPrint(question, sink_);
    QCoreApplication::processEvents();
    dialog = openPrintDialog();
    ASSERT_NE(dialog, nullptr);
    const QString cancelled = dir.filePath("cancelled.pdf");
    printToFile(*dialog, cancelled);
    dialog->reject();
    QCoreApplication::processEvents();
    answers = sink_->Take(Kind::Answer);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].question, 52u);
    EXPECT_EQ(answers[0].answer, 0);
    EXPECT_FALSE(QFile::exists(cancelled));
    EXPECT_TRUE(window->isEnabled());

    // Landscape paper comes out landscape.
    auto landscape = std::make_shared<wnd::PageSet>(*set_);
    std::swap(landscape->paperWidth, landscape->paperHeight);
    question.pages = landscape;
    question.id = 53;
    presenter_->AskPrint(question, sink_);
    QCoreApplication::processEvents();
    dialog = openPrintDialog();
    ASSERT_NE(dialog, nullptr);
    const QString all = dir.filePath("all.pdf");
    printToFile(*dialog, all);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !openPrintDialog(); }, qttest::kWaitMs));
    answers = awaitAnswers(*sink_);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].answer, 1);
    QFile allFile(all);
    ASSERT_TRUE(allFile.open(QIODevice::ReadOnly));
    const QByteArray allPdf = allFile.readAll();
    EXPECT_EQ(pdfPages(allPdf), 3);
    EXPECT_TRUE(QString::fromLatin1(allPdf).contains(QRegularExpression(R"(/MediaBox \[0 0 792[.0]* 612[.0]*\])")));
}

// The print and page set-up dialogs on screen, in the order they opened.
template <typename D>
std::vector<D*> openDialogs(qtp::Screen& screen) {
    std::vector<D*> out;
    for (QWidget* w : screen.Prints().Dialogs())
        if (auto* d = qobject_cast<D*>(w)) out.push_back(d);
    return out;
}

unsigned fileMode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<unsigned>(st.st_mode & 07777) : 0u;
}

// Two reports' print dialogs and a page set-up open at once: each edits a printer of its own, so
// accepting them one after the other prints both, and the set-up accepted while a print runs
// touches only what the next dialog starts from. What is printed to a file is the owner's alone.
TEST_F(QtPrintedPages, PrintDialogsOpenAtOnceEachPrintTheirOwnPagesToAPrivateFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    presenter_->PerformAction(kId, 0, wnd::StdAction::PrintSetup);
    for (wnd::QuestionId id : {81u, 82u}) {
        wnd::PrintQuestion question;
        question.id = id;
        question.thread = static_cast<int>(id);  // two threads' reports
        question.window = kId;
        question.pages = set_;
        question.selection = {id == 81u ? 1 : 2};
        presenter_->AskPrint(question, sink_);
    }
    QCoreApplication::processEvents();
    const auto setups = openDialogs<QPageSetupDialog>(screen());
    const auto prints = openDialogs<QPrintDialog>(screen());
    ASSERT_EQ(setups.size(), 1u);
    ASSERT_EQ(prints.size(), 2u);
    EXPECT_NE(prints[0]->printer(), prints[1]->printer());
    EXPECT_NE(setups[0]->printer(), prints[0]->printer());
    EXPECT_NE(setups[0]->printer(), prints[1]->printer());

    const QString first = dir.filePath("first.pdf"), second = dir.filePath("second.pdf");
    {  // a file that is there already, readable by all
        QFile old(second);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    ASSERT_TRUE(QFile::setPermissions(second, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    printToFile(*prints[0], first);
    printToFile(*prints[1], second);
    QPointer<QPrintDialog> later = prints[1];
    prints[0]->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    auto answers = awaitAnswers(*sink_);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].question, 81u);
    EXPECT_EQ(answers[0].answer, 1);
    setups[0]->accept();
    ASSERT_TRUE(later);
    // The dialog's own question whether to write over the file there: Yes.
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Yes)->click();
    });
    later->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    answers = awaitAnswers(*sink_);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].question, 82u);
    EXPECT_EQ(answers[0].answer, 1);

    EXPECT_EQ(pdfTexts(first), std::vector<std::string>{"Page 1"});
    EXPECT_EQ(pdfTexts(second), std::vector<std::string>{"Page 2"});
    EXPECT_EQ(fileMode(first), 0600u);
    EXPECT_EQ(fileMode(second), 0600u);
    QTRY_VERIFY(screen().Prints().Dialogs().empty());
}

TEST_F(QtPrintedPages, APrintUnderWayWhenThePresenterEndsIsFinishedAndAnswered) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    wnd::PrintQuestion question;
    question.id = 71;
    question.thread = 1;
    question.window = kId;
    question.pages = set_;
    presenter_->AskPrint(question, sink_);
    QCoreApplication::processEvents();
    QPrintDialog* dialog = openPrintDialog();
    ASSERT_NE(dialog, nullptr);
    const QString path = dir.filePath("ending.pdf");
    printToFile(*dialog, path);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    presenter_.reset();
    const auto answers = sink_->Take(Kind::Answer);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].question, 71u);
    EXPECT_EQ(answers[0].answer, 1);
    EXPECT_EQ(pdfTexts(path), (std::vector<std::string>{"Page 1", "Page 2", "Page 3"}));
    presenter_ = std::make_shared<qtp::QtPresenter>();  // for the tear-down
}

TEST_F(QtPrintedPages, APrintDialogLeftOpenWhenThePresenterEndsStillAnswers) {
    wnd::PrintQuestion question;
    question.id = 61;
    question.thread = 1;
    question.window = kId;
    question.pages = set_;
    presenter_->AskPrint(question, sink_);
    QCoreApplication::processEvents();
    ASSERT_NE(openPrintDialog(), nullptr);
    presenter_.reset();
    EXPECT_EQ(openPrintDialog(), nullptr);
    const auto answers = sink_->Take(Kind::Answer);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].question, 61u);
    EXPECT_EQ(answers[0].answer, 0);
    presenter_ = std::make_shared<qtp::QtPresenter>();  // for the tear-down
}

}  // namespace
