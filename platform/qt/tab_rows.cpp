#include "platform/qt/tab_rows.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>

#include <algorithm>

namespace qtp {

TabRows::TabRows(QWidget* parent) : QTabBar(parent) {
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setExpanding(false);
    setDrawBase(false);
}

int TabRows::RowHeight() const {
    int height = 0;
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i)) height = std::max(height, QTabBar::tabSizeHint(i).height());
    return height > 0 ? height : fontMetrics().height() + 8;
}

int TabRows::Width() const {
    const QWidget* sheet = parentWidget();
    return sheet ? sheet->width() : width();
}

std::vector<QRect> TabRows::Layout(int width, int* rowCount) const {
    const int n = count();
    std::vector<QRect> places(static_cast<std::size_t>(n));
    std::vector<int> natural(static_cast<std::size_t>(n), 0), compact(static_cast<std::size_t>(n), 0);
    int total = 0;
    const QFontMetrics fm = fontMetrics();
    for (int i = 0; i < n; ++i) {
        if (!isTabVisible(i)) continue;
        natural[static_cast<std::size_t>(i)] = QTabBar::tabSizeHint(i).width();
        // Narrower than the style's, still with room either side of the text.
        compact[static_cast<std::size_t>(i)] =
            std::min(natural[static_cast<std::size_t>(i)], fm.size(Qt::TextShowMnemonic, tabText(i)).width() + fm.height());
        total += natural[static_cast<std::size_t>(i)];
    }
    const int rowHeight = RowHeight();
    // One row when the style's tabs fit it (or before the sheet has a width).
    if (width <= 0 || total <= width) {
        int x = 0;
        for (int i = 0; i < n; ++i) {
            if (!natural[static_cast<std::size_t>(i)]) continue;
            places[static_cast<std::size_t>(i)] = QRect(x, 0, natural[static_cast<std::size_t>(i)], rowHeight);
            x += natural[static_cast<std::size_t>(i)];
        }
        if (rowCount) *rowCount = 1;
        return places;
    }
    // Rows filled in turn; a tab wider than the sheet has a row of its own.
    std::vector<std::vector<int>> rows(1);
    int used = 0;
    for (int i = 0; i < n; ++i) {
        const int w = compact[static_cast<std::size_t>(i)];
        if (!w) continue;
        if (!rows.back().empty() && used + w > width) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        used += w;
    }
    // The row of the tab in front goes last, next to the page; each row fills the width.
    const int current = currentIndex();
    const auto front = std::find_if(rows.begin(), rows.end(), [current](const std::vector<int>& r) {
        return std::find(r.begin(), r.end(), current) != r.end();
    });
    if (front != rows.end()) std::rotate(front, front + 1, rows.end());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int sum = 0;
        for (int i : rows[r]) sum += compact[static_cast<std::size_t>(i)];
        const int spare = std::max(0, width - sum);
        int x = 0;
        for (std::size_t k = 0; k < rows[r].size(); ++k) {
            const int i = rows[r][k];
            // The spare room shared out, the last tab taking what rounding leaves.
            const int share = static_cast<int>(spare * (k + 1) / rows[r].size()) - static_cast<int>(spare * k / rows[r].size());
            const int w = compact[static_cast<std::size_t>(i)] + share;
            places[static_cast<std::size_t>(i)] = QRect(x, static_cast<int>(r) * rowHeight, w, rowHeight);
            x += w;
        }
    }
    if (rowCount) *rowCount = static_cast<int>(rows.size());
    return places;
}

int TabRows::RowsAt(int width) const {
    int rows = 1;
    Layout(width, &rows);
    return rows;
}

QRect TabRows::TabPlace(int index) const {
    const auto places = Layout(Width(), nullptr);
    return index >= 0 && index < static_cast<int>(places.size()) ? places[static_cast<std::size_t>(index)] : QRect();
}

QSize TabRows::sizeHint() const {
    int rows = 1;
    const auto places = Layout(Width(), &rows);
    int right = 0;
    for (const QRect& r : places) right = std::max(right, r.right() + 1);
    return {right, rows * RowHeight()};
}

QSize TabRows::minimumSizeHint() const { return {0, sizeHint().height()}; }

void TabRows::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const auto places = Layout(Width(), nullptr);
    const int current = currentIndex();
    // The tab in front last, so it is drawn over its neighbours as the style expects.
    std::vector<int> order;
    for (int i = 0; i < count(); ++i)
        if (i != current) order.push_back(i);
    if (current >= 0) order.push_back(current);
    for (int i : order) {
        const QRect place = places[static_cast<std::size_t>(i)];
        if (place.isEmpty()) continue;
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.rect = place;
        option.text = tabText(i);  // whole: never elided
        option.state &= ~QStyle::State_MouseOver;  // the bar's own hover follows its single row
        // Where it stands in its row, and whether a neighbour there is in front.
        auto sameRow = [&](int j) {
            return j >= 0 && j < count() && !places[static_cast<std::size_t>(j)].isEmpty() &&
                   places[static_cast<std::size_t>(j)].top() == place.top();
        };
        int before = i - 1, after = i + 1;
        while (before >= 0 && places[static_cast<std::size_t>(before)].isEmpty()) --before;
        while (after < count() && places[static_cast<std::size_t>(after)].isEmpty()) ++after;
        const bool first = !sameRow(before) || places[static_cast<std::size_t>(before)].left() > place.left();
        const bool last = !sameRow(after) || places[static_cast<std::size_t>(after)].left() < place.left();
        option.position = first && last ? QStyleOptionTab::OnlyOneTab
                          : first       ? QStyleOptionTab::Beginning
                          : last        ? QStyleOptionTab::End
                                        : QStyleOptionTab::Middle;
        option.selectedPosition = !first && before == current ? QStyleOptionTab::PreviousIsSelected
                                  : !last && after == current ? QStyleOptionTab::NextIsSelected
                                                              : QStyleOptionTab::NotAdjacent;
        // The style's tab, and the text over it: the style's label keeps a margin either side
        // that a narrowed tab has no room for, and would cut the text.
        style()->drawControl(QStyle::CE_TabBarTabShape, &option, &p, this);
        QRect text = place;
        if (i != current) text.translate(0, style()->pixelMetric(QStyle::PM_TabBarTabShiftVertical, &option, this));
        style()->drawItemText(&p, text, Qt::AlignCenter | Qt::TextShowMnemonic, option.palette, isTabEnabled(i), option.text,
                              QPalette::WindowText);
        if (i == current && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = fontMetrics().boundingRect(text, Qt::AlignCenter | Qt::TextShowMnemonic, option.text).adjusted(-3, -1, 3, 1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }
}

void TabRows::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const auto places = Layout(Width(), nullptr);
    for (int i = 0; i < count(); ++i)
        if (places[static_cast<std::size_t>(i)].contains(e->position().toPoint()) && isTabEnabled(i)) {
            setCurrentIndex(i);
            break;
        }
    e->accept();
}

// The bar's own dragging and hovering would follow its single row of tabs, not these.
void TabRows::mouseMoveEvent(QMouseEvent* e) { e->accept(); }
void TabRows::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }

TabSheet::TabSheet(QWidget* parent) : QTabWidget(parent), rows_(new TabRows(this)) {
    setTabBar(rows_);
    // A new tab in front moves its row next to the page.
    connect(this, &QTabWidget::currentChanged, rows_, [this] { rows_->update(); });
}

int TabSheet::ExtraHeight(int width) const { return (rows_->RowsAt(width) - 1) * rows_->RowHeight(); }

int TabRowHeight(const QTabWidget& sheet) {
    if (const auto* rows = dynamic_cast<const TabRows*>(sheet.tabBar())) return rows->RowHeight();
    return sheet.tabBar()->sizeHint().height();
}

}  // namespace qtp
