#include "pictures/program_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/qt/picture_book.h"

namespace pictures {
namespace {

// Drawn on a canvas of 64 by 64; the book scales it to each icon size.
constexpr qreal kSide = 64;

void drawIcon(QPainter& p) {
    const qreal s = kSide;
    p.setPen(QPen(QColor(30, 70, 140), s / 16));
    p.setBrush(QColor(250, 250, 245));
    p.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.15, s * 0.15);
    // The R: a stem and a bowl, with a leg that crosses into an x.
    QPen ink(QColor(170, 20, 30), s / 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(ink);
    p.setBrush(Qt::NoBrush);
    QPainterPath r;
    r.moveTo(s * 0.28, s * 0.78);
    r.lineTo(s * 0.28, s * 0.22);
    r.lineTo(s * 0.50, s * 0.22);
    r.cubicTo(s * 0.66, s * 0.22, s * 0.66, s * 0.50, s * 0.50, s * 0.50);
    r.lineTo(s * 0.28, s * 0.50);
    p.drawPath(r);
    p.drawLine(QPointF(s * 0.42, s * 0.50), QPointF(s * 0.76, s * 0.82));
    p.drawLine(QPointF(s * 0.76, s * 0.56), QPointF(s * 0.52, s * 0.82));
}

}  // namespace

void AddProgramIconPicture() { qtp::AddPicture("rx.ico", QSizeF(kSide, kSide), drawIcon); }

}  // namespace pictures
