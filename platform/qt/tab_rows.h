#pragma once
// A tab sheet whose tabs take as many rows as their texts need: a sheet of ten long tab texts
// shows them all, whole, with no scroll arrows. The tabs take the style's own size while one row
// holds them all; otherwise they are made narrower and laid in rows filling the sheet's width, the
// row of the tab in front next to the page. GUI thread only.
#include <QTabBar>
#include <QTabWidget>

#include <vector>

namespace qtp {

class TabRows final : public QTabBar {
public:
    explicit TabRows(QWidget* parent);

    int RowHeight() const;        // one row of tabs
    int RowsAt(int width) const;  // how many rows the tabs take in that width
    QRect TabPlace(int index) const;  // where a tab is drawn (empty for a hidden tab)

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // Each tab's place in a bar that width wide, and the number of rows.
    std::vector<QRect> Layout(int width, int* rows) const;
    int Width() const;  // the width the sheet gives its tabs
};

class TabSheet final : public QTabWidget {
public:
    explicit TabSheet(QWidget* parent);
    TabRows& rows() const { return *rows_; }
    // What the rows beyond the first add to the sheet's height when it is that wide.
    int ExtraHeight(int width) const;

private:
    TabRows* rows_;  // owned by the sheet
};

// The height of one row of a sheet's tabs: where the sheet's pages begin, for a sheet of one row.
int TabRowHeight(const QTabWidget& sheet);

}  // namespace qtp
