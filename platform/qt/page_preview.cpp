#include "platform/qt/page_preview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "platform/qt/page_painter.h"

namespace qtp {

namespace {

const QColor kDesk(128, 128, 128);
const QColor kEdge(64, 64, 64);
const QColor kShadow(96, 96, 96);
constexpr int kShadowOffset = 3;
constexpr double kSmallestScale = 0.005;  // a letter page 43 pixels wide
constexpr double kLargestScale = 2.0;     // 17000 pixels: any larger would only overflow the view

}  // namespace

PagePreview::PagePreview(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    Relayout();
}

void PagePreview::Show(std::shared_ptr<const wnd::PageSet> pages, int first, int across, int down, int zoom) {
    const bool otherPages = pages != pages_ || first != first_;
    pages_ = std::move(pages);
    first_ = first;
    across_ = std::max(1, across);
    down_ = std::max(1, down);
    zoom_ = zoom;
    Relayout();
    // Other pages are shown from their top; a new zoom or arrangement keeps the place.
    if (otherPages) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
}

int PagePreview::FirstIndex() const {
    const int count = pages_ ? static_cast<int>(pages_->pages.size()) : 0;
    return first_ >= 1 && first_ <= count ? first_ - 1 : 0;
}

// The scale follows the zoom; for the fitting zooms it follows the size the viewport has without
// scroll bars, so showing or hiding a bar never changes it.
void PagePreview::Relayout() {
    const double paperWidth = std::max(1, pages_ ? pages_->paperWidth : wnd::PageSet{}.paperWidth);
    const double paperHeight = std::max(1, pages_ ? pages_->paperHeight : wnd::PageSet{}.paperHeight);
    const QSize room = maximumViewportSize();
    const double freeWidth = room.width() - 2 * kMargin - (across_ - 1) * kGap;
    const double freeHeight = room.height() - 2 * kMargin - (down_ - 1) * kGap;
    double scale = 0;
    if (zoom_ > 0) {
        scale = logicalDpiX() / 1000.0 * zoom_ / 100.0;
    } else if (zoom_ == 0) {
        scale = std::min(freeWidth / (across_ * paperWidth), freeHeight / (down_ * paperHeight));
    } else {
        scale = (room.width() - 2 * kMargin) / paperWidth;
        // Pages taller than the view bring a vertical scroll bar, which takes its share of the width.
        if (2 * kMargin + down_ * paperHeight * scale + (down_ - 1) * kGap > room.height())
            scale = (room.width() - 2 * kMargin - verticalScrollBar()->sizeHint().width()) / paperWidth;
    }
    scale_ = std::clamp(scale, kSmallestScale, kLargestScale);
    sheet_ = QSize(std::max(1, static_cast<int>(std::lround(paperWidth * scale_))),
                   std::max(1, static_cast<int>(std::lround(paperHeight * scale_))));
    content_ = QSize(2 * kMargin + across_ * sheet_.width() + (across_ - 1) * kGap,
                     2 * kMargin + down_ * sheet_.height() + (down_ - 1) * kGap);

    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content_.width() - view.width()));
    horizontalScrollBar()->setPageStep(std::max(1, view.width()));
    horizontalScrollBar()->setSingleStep(std::max(1, view.width() / 20));
    verticalScrollBar()->setRange(0, std::max(0, content_.height() - view.height()));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
    verticalScrollBar()->setSingleStep(std::max(1, view.height() / 20));
    viewport()->update();
}

std::vector<PagePreview::Sheet> PagePreview::Sheets() const {
    std::vector<Sheet> out;
    if (!pages_) return out;
    const QSize view = viewport()->size();
    // Pages smaller than the view sit in its middle.
    const QPoint origin(std::max(0, (view.width() - content_.width()) / 2) - horizontalScrollBar()->value() + kMargin,
                        std::max(0, (view.height() - content_.height()) / 2) - verticalScrollBar()->value() + kMargin);
    const int count = static_cast<int>(pages_->pages.size());
    for (int i = 0, index = FirstIndex(); i < across_ * down_ && index < count; ++i, ++index) {
        const QPoint at = origin + QPoint((i % across_) * (sheet_.width() + kGap), (i / across_) * (sheet_.height() + kGap));
        out.push_back(Sheet{index + 1, QRect(at, sheet_)});
    }
    return out;
}

void PagePreview::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kDesk);
    for (const Sheet& sheet : Sheets()) {
        if (!sheet.at.adjusted(0, 0, kShadowOffset, kShadowOffset).intersects(event->rect())) continue;
        painter.fillRect(sheet.at.translated(kShadowOffset, kShadowOffset), kShadow);
        painter.fillRect(sheet.at, Qt::white);
        painter.save();
        painter.setClipRect(sheet.at);
        painter.translate(sheet.at.topLeft());
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        PaintPage(painter, pages_->pages[static_cast<std::size_t>(sheet.page - 1)], scale_);
        painter.restore();
        painter.setPen(QPen(kEdge, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(sheet.at.adjusted(0, 0, -1, -1));
    }
}

void PagePreview::resizeEvent(QResizeEvent*) { Relayout(); }

void PagePreview::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace qtp
