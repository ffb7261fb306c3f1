#include "pictures/program_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/qt/picture_book.h"

namespace pictures {
namespace {

// Drawn on a canvas of 16 by 16, the size of a button's picture; the book scales it.
constexpr qreal kSide = 16;

// Three lines of a list, the top one free, and an arrow pushing them down a line.
void drawPushDown(QPainter& p) {
    const QColor ink(55, 55, 65);
    p.setPen(QPen(QColor(120, 120, 130), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : {7.5, 10.5, 13.5}) p.drawLine(QPointF(7.5, y), QPointF(14.8, y));
    p.setPen(QPen(QColor(40, 95, 200), 1.2, Qt::DashLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 3.0), QPointF(14.8, 3.0));  // the line made free
    QPainterPath arrow;
    arrow.moveTo(2.6, 1.2);
    arrow.lineTo(4.4, 1.2);
    arrow.lineTo(4.4, 9.6);
    arrow.lineTo(6.6, 9.6);
    arrow.lineTo(3.5, 14.6);
    arrow.lineTo(0.4, 9.6);
    arrow.lineTo(2.6, 9.6);
    arrow.closeSubpath();
    p.setPen(QPen(ink, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(45, 175, 55));
    p.drawPath(arrow);
}

}  // namespace

void AddPushDownPicture() { qtp::AddPicture("SDown.ico", QSizeF(kSide, kSide), drawPushDown); }

}  // namespace pictures
