#pragma once
// The preview control: printed pages shown as sheets of paper on a grey desk, scrolled when they
// do not fit. It draws the pages with the same routine the printer uses. GUI thread only.
#include <QAbstractScrollArea>
#include <QRect>
#include <QSize>

#include <memory>
#include <vector>

#include "platform/window/page_set.h"

namespace qtp {

class PagePreview final : public QAbstractScrollArea {
public:
    explicit PagePreview(QWidget* parent);

    // Shows `across` by `down` pages from page `first` (from 1; 0 or past the last page: the first)
    // at `zoom` percent of the paper's real size; 0 fits the pages shown into the visible area,
    // -1 fits one page's width into the visible width. Null pages: the desk alone.
    void Show(std::shared_ptr<const wnd::PageSet> pages, int first, int across, int down, int zoom);

    struct Sheet {
        int page = 0;  // from 1
        QRect at;      // in the viewport's pixels
    };
    // The sheets laid out now, in reading order (whether scrolled into view or not).
    std::vector<Sheet> Sheets() const;

    static constexpr int kMargin = 12;  // pixels of desk round the sheets
    static constexpr int kGap = 12;     // and between them

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void Relayout();
    int FirstIndex() const;  // from 0

    std::shared_ptr<const wnd::PageSet> pages_;
    int first_ = 1, across_ = 1, down_ = 1, zoom_ = 0;
    double scale_ = 0.1;  // device pixels per thousandth of an inch
    QSize sheet_;         // one sheet, in pixels
    QSize content_;       // every sheet shown with the desk round them
};

}  // namespace qtp
