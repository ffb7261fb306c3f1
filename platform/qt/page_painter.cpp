#include "platform/qt/page_painter.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/qt/window_font.h"
#include "platform/window/page_set.h"

namespace qtp {

namespace {

constexpr double kMilsPerPoint = 1000.0 / 72.0;
constexpr double kUnbounded = 1e7;  // mils: far beyond any paper

// The painter works in mils, so a font's pixel size in mils is its size on paper whatever the
// device. Hinting would snap glyphs to the device's grid and let lines break differently on
// screen and on paper; design metrics keep the layout the same at every scale.
QFont pageFont(const wnd::PageFont& f) {
    QFont font;
    if (const QString family = InstalledFamily(f.name); !family.isEmpty()) font.setFamily(family);
    const int points = f.points > 0 ? f.points : 10;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * kMilsPerPoint))));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString itemText(const wnd::PageItem& item) {
    QString text = QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size()));
    text.remove('\r');
    text.replace('\n', QChar::LineSeparator);
    return text;
}

// The widest line of the text as the font sets it, unwrapped, without the blanks after it.
double naturalWidth(const QString& text, const QFont& font, QPaintDevice* device) {
    double widest = 0;
    for (QString line : text.split(QChar::LineSeparator)) {
        while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
        QTextLayout layout(line, font, device);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setUseDesignMetrics(true);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine l = layout.createLine();
        if (l.isValid()) {
            l.setLineWidth(kUnbounded);
            widest = std::max(widest, l.naturalTextWidth());
        }
        layout.endLayout();
    }
    return widest;
}

// Whether a text is narrowed when wider than its place: a bounded text that does not wrap.
bool narrows(const wnd::PageItem& item) { return item.at.width > 0 && !item.wrap; }

// How much a text of one line is narrowed to fit its width (1: it fits as it is).
double narrowing(const wnd::PageItem& item, const QString& text, const QFont& font, QPaintDevice* device) {
    if (!narrows(item)) return 1.0;
    const double natural = naturalWidth(text, font, device);
    return natural > item.at.width ? item.at.width / natural : 1.0;
}

void paintText(QPainter& painter, const wnd::PageItem& item) {
    const bool boundedWidth = item.at.width > 0, boundedHeight = item.at.height > 0;
    const QString text = itemText(item);
    const QFont font = pageFont(item.font);
    const double narrow = narrowing(item, text, font, painter.device());

    Qt::Alignment align = Qt::AlignLeft;
    if (boundedWidth && item.align == 'R') align = Qt::AlignRight;
    if (boundedWidth && item.align == 'C') align = Qt::AlignHCenter;
    QTextOption option(align);
    option.setWrapMode(item.wrap && boundedWidth ? QTextOption::WordWrap : QTextOption::NoWrap);
    option.setUseDesignMetrics(true);

    QTextLayout layout(text, font, painter.device());
    layout.setTextOption(option);
    std::vector<QTextLine> shown;
    double y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        // A narrowed text is laid out in the room it takes before it is narrowed.
        line.setLineWidth(boundedWidth ? item.at.width / narrow : kUnbounded);
        // Only whole lines below the first: a block is cut off at its height, not mid-line.
        if (boundedHeight && !shown.empty() && y + line.height() > item.at.height) break;
        line.setPosition(QPointF(0, y));
        y += line.height();
        shown.push_back(line);
    }
    layout.endLayout();

    painter.save();
    const QRectF clip(boundedWidth ? item.at.x : -kUnbounded, boundedHeight ? item.at.y : -kUnbounded,
                      boundedWidth ? item.at.width : 2 * kUnbounded, boundedHeight ? item.at.height : 2 * kUnbounded);
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.setPen(Qt::black);
    painter.translate(item.at.x, item.at.y);
    painter.scale(narrow, 1.0);
    for (const QTextLine& line : shown) line.draw(&painter, QPointF(0, 0));
    painter.restore();
}

QPen pagePen(int mils, Qt::PenCapStyle cap) {
    // 0 is the thinnest line the device draws.
    QPen pen(Qt::black, std::max(0, mils), Qt::SolidLine, cap, Qt::MiterJoin);
    return pen;
}

}  // namespace

double PaintedTextWidth(const wnd::PageItem& item) {
    const double natural = naturalWidth(itemText(item), pageFont(item.font), nullptr);
    // A text narrowed to its place takes the place's width.
    return narrows(item) ? std::min(natural, static_cast<double>(item.at.width)) : natural;
}

void PaintPage(QPainter& painter, const wnd::Page& page, double pixelsPerMil) {
    painter.save();
    painter.scale(pixelsPerMil, pixelsPerMil);
    for (const wnd::PageItem& item : page.items) {
        switch (item.kind) {
            case wnd::PageItem::Kind::Text:
                paintText(painter, item);
                break;
            case wnd::PageItem::Kind::Line:
                painter.setPen(pagePen(item.pen, Qt::FlatCap));
                painter.drawLine(QPointF(item.at.x, item.at.y),
                                 QPointF(item.at.x + item.at.width, item.at.y + item.at.height));
                break;
            case wnd::PageItem::Kind::Box:
                painter.setPen(pagePen(item.pen, Qt::SquareCap));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRectF(item.at.x, item.at.y, item.at.width, item.at.height));
                break;
        }
    }
    painter.restore();
}

}  // namespace qtp
