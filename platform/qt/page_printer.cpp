#include "platform/qt/page_printer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "platform/qt/page_painter.h"
#include "platform/window/page_set.h"

namespace qtp {

void UsePaperOf(QPrinter& printer, const wnd::PageSet& pages) {
    if (pages.paperWidth <= 0 || pages.paperHeight <= 0) return;
    const double width = pages.paperWidth / 1000.0, height = pages.paperHeight / 1000.0;
    // A standard size within a few points is named as such (8.5 by 11 inches is Letter).
    const QPageSize size(QSizeF(std::min(width, height), std::max(width, height)), QPageSize::Inch, QString(),
                         QPageSize::FuzzyMatch);
    printer.setPageSize(size);
    printer.setPageOrientation(width > height ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool PrintPages(QPrinter& printer, const wnd::PageSet& pages, const std::vector<int>& selection) {
    std::vector<std::size_t> chosen;  // from 0
    if (selection.empty()) {
        for (std::size_t i = 0; i < pages.pages.size(); ++i) chosen.push_back(i);
    } else {
        for (int n : selection)
            if (n >= 1 && static_cast<std::size_t>(n) <= pages.pages.size()) chosen.push_back(static_cast<std::size_t>(n - 1));
    }
    if (chosen.empty()) return false;
    printer.setDocName(QString::fromUtf8(pages.title.data(), static_cast<qsizetype>(pages.title.size())));  // the job's name

    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const int resolution = printer.resolution();
    // The painter starts at the printable area's corner (the paper's, when the printer prints the
    // full page); the items are placed from the paper's corner.
    const QPageLayout layout = printer.pageLayout();
    const QPoint corner = layout.paintRectPixels(resolution).topLeft() - layout.fullRectPixels(resolution).topLeft();
    // Pages laid out for larger paper than the printer's (a page set-up's landscape for a report
    // made upright) are drawn smaller to fit it whole, rather than cut off at its edge.
    double scale = 1.0;
    if (pages.paperWidth > 0 && pages.paperHeight > 0) {
        const QSizeF paper = layout.fullRect(QPageLayout::Inch).size() * 1000.0;
        scale = std::min({1.0, paper.width() / pages.paperWidth, paper.height() / pages.paperHeight});
    }
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.translate(-corner);
        PaintPage(painter, pages.pages[chosen[i]], resolution / 1000.0 * scale);
        painter.restore();
    }
    return painter.end();
}

void CarryOver(const QPrinter& from, QPrinter& to) {
    to.setOutputFormat(from.outputFormat());
    if (from.outputFormat() == QPrinter::NativeFormat) to.setPrinterName(from.printerName());
    to.setOutputFileName(from.outputFileName());
    to.setPageLayout(from.pageLayout());
    to.setCopyCount(from.copyCount());
    to.setCollateCopies(from.collateCopies());
    to.setDuplex(from.duplex());
    to.setColorMode(from.colorMode());
    to.setPageOrder(from.pageOrder());
    to.setFullPage(from.fullPage());
}

}  // namespace qtp
