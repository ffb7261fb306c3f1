#include "pictures/program_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "platform/qt/picture_book.h"

namespace pictures {
namespace {

// Every picture is drawn on a canvas of 120 by 90 units, scaled to the size asked for.
constexpr double kCanvasW = 120, kCanvasH = 90;

QPen ink(const QColor& c, double width) { return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }
const QColor kOutline(50, 50, 60);

QLinearGradient shade(QRectF r, const QColor& c) {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, c.lighter(140));
    g.setColorAt(1, c.darker(115));
    return g;
}

// A diary open on a desk, a pencil writing on its right page.
void planner(QPainter& p) {
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(QColor(150, 40, 40));
    p.drawRoundedRect(QRectF(10, 18, 100, 62), 4, 4);  // the cover
    for (int side = 0; side < 2; ++side) {
        const QRectF page(14 + side * 47, 14, 45, 62);
        p.setPen(ink(kOutline, 1.2));
        p.setBrush(QColor(255, 253, 242));
        p.drawRect(page);
        p.setPen(ink(QColor(120, 160, 210), 0.8));
        for (double y = page.top() + 12; y < page.bottom() - 4; y += 7) p.drawLine(QPointF(page.left() + 4, y), QPointF(page.right() - 4, y));
        p.setPen(ink(QColor(200, 60, 60), 0.8));
        p.drawLine(QPointF(page.left() + 4, page.top() + 7), QPointF(page.right() - 4, page.top() + 7));
    }
    p.setPen(ink(QColor(40, 40, 110), 1.2));
    QPainterPath writing;
    writing.moveTo(66, 33);
    for (double x = 66; x < 96; x += 4) writing.quadTo(QPointF(x + 1, 29), QPointF(x + 2, 33)), writing.quadTo(QPointF(x + 3, 36), QPointF(x + 4, 33));
    p.setBrush(Qt::NoBrush);
    p.drawPath(writing);
    p.save();  // the pencil
    p.translate(98, 34);
    p.rotate(-38);
    p.setPen(ink(kOutline, 1));
    p.setBrush(QColor(244, 196, 48));
    p.drawRect(QRectF(4, -3.5, 40, 7));
    p.setBrush(QColor(240, 150, 160));
    p.drawRect(QRectF(44, -3.5, 6, 7));
    p.setBrush(QColor(236, 210, 170));
    p.drawPolygon(QPolygonF({QPointF(4, -3.5), QPointF(-6, 0), QPointF(4, 3.5)}));
    p.setBrush(kOutline);
    p.drawPolygon(QPolygonF({QPointF(-2.5, -1), QPointF(-6, 0), QPointF(-2.5, 1)}));
    p.restore();
}

// An emergency telephone: a red handset over "911".
void emergency(QPainter& p) {
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(shade(QRectF(30, 30, 60, 48), QColor(210, 40, 40)));
    QPainterPath body;
    body.moveTo(34, 78);
    body.lineTo(42, 40);
    body.lineTo(78, 40);
    body.lineTo(86, 78);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(46, 50, 28, 18), 3, 3);
    QFont f;
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(200, 20, 20));
    p.drawText(QRectF(46, 50, 28, 18), Qt::AlignCenter, QStringLiteral("911"));
    p.setPen(ink(kOutline, 1.5));  // the handset on its cradle
    p.setBrush(shade(QRectF(18, 16, 84, 22), QColor(190, 30, 30)));
    QPainterPath handset;
    handset.moveTo(20, 34);
    handset.cubicTo(18, 18, 30, 14, 40, 18);
    handset.lineTo(80, 18);
    handset.cubicTo(90, 14, 102, 18, 100, 34);
    handset.lineTo(86, 34);
    handset.lineTo(84, 26);
    handset.lineTo(36, 26);
    handset.lineTo(34, 34);
    handset.closeSubpath();
    p.drawPath(handset);
    p.setPen(ink(QColor(255, 200, 40), 2));  // it rings
    for (int side : {-1, 1}) {
        const double x = 60 + side * 50;
        p.drawLine(QPointF(x, 10), QPointF(x + side * 6, 4));
        p.drawLine(QPointF(x + side * 2, 20), QPointF(x + side * 9, 18));
    }
}

// A stethoscope.
void stethoscope(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(ink(QColor(40, 40, 45), 4));
    QPainterPath tube;
    tube.moveTo(36, 12);
    tube.cubicTo(30, 40, 44, 58, 60, 58);
    tube.cubicTo(76, 58, 90, 40, 84, 12);
    p.drawPath(tube);
    QPainterPath lead;
    lead.moveTo(60, 58);
    lead.cubicTo(60, 76, 84, 84, 92, 66);
    p.drawPath(lead);
    p.setPen(ink(QColor(160, 164, 170), 3));
    p.drawLine(QPointF(36, 12), QPointF(42, 8));
    p.drawLine(QPointF(84, 12), QPointF(78, 8));
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(QColor(40, 40, 45));
    p.drawEllipse(QPointF(43, 8), 3, 3);
    p.drawEllipse(QPointF(77, 8), 3, 3);
    QRadialGradient chest(QPointF(92, 62), 14);
    chest.setColorAt(0, QColor(240, 240, 245));
    chest.setColorAt(1, QColor(130, 134, 140));
    p.setBrush(chest);
    p.drawEllipse(QPointF(94, 60), 12, 12);
    p.setBrush(QColor(60, 60, 70));
    p.drawEllipse(QPointF(94, 60), 7, 7);
}

// A wheelchair.
void wheelchair(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(ink(QColor(60, 64, 72), 4));
    p.drawEllipse(QPointF(52, 60), 24, 24);  // the big wheel
    p.setPen(ink(QColor(150, 154, 160), 1.2));
    for (int a = 0; a < 180; a += 30) {
        const double r = a * 3.14159265 / 180;
        p.drawLine(QPointF(52 - 22 * std::cos(r), 60 - 22 * std::sin(r)), QPointF(52 + 22 * std::cos(r), 60 + 22 * std::sin(r)));
    }
    p.setPen(ink(QColor(40, 90, 170), 4));
    p.drawLine(QPointF(40, 10), QPointF(46, 46));   // the back
    p.drawLine(QPointF(46, 46), QPointF(84, 46));   // the seat
    p.drawLine(QPointF(80, 46), QPointF(90, 74));   // the leg rest
    p.drawLine(QPointF(90, 74), QPointF(102, 74));  // the foot plate
    p.drawLine(QPointF(40, 10), QPointF(30, 10));   // the push handle
    p.drawLine(QPointF(50, 30), QPointF(80, 30));   // the arm rest
    p.drawLine(QPointF(76, 30), QPointF(76, 46));
    p.setPen(ink(QColor(60, 64, 72), 3));
    p.drawEllipse(QPointF(94, 80), 6, 6);  // the castor
    p.setPen(ink(kOutline, 1));
    p.setBrush(QColor(60, 64, 72));
    p.drawEllipse(QPointF(52, 60), 4, 4);
}

// A magnifying glass over a germ.
void germ(QPainter& p) {
    const QPointF at(50, 40);
    p.setPen(ink(QColor(40, 130, 60), 2));
    for (int i = 0; i < 10; ++i) {  // its hairs
        const double r = i * 36 * 3.14159265 / 180;
        p.drawLine(at + QPointF(16 * std::cos(r), 14 * std::sin(r)), at + QPointF(23 * std::cos(r), 21 * std::sin(r)));
        p.drawEllipse(at + QPointF(24 * std::cos(r), 22 * std::sin(r)), 1.6, 1.6);
    }
    QRadialGradient body(at - QPointF(5, 5), 22);
    body.setColorAt(0, QColor(170, 230, 120));
    body.setColorAt(1, QColor(60, 160, 70));
    p.setPen(ink(QColor(30, 100, 40), 1.5));
    p.setBrush(body);
    p.drawEllipse(at, 17, 15);
    p.setBrush(QColor(30, 90, 40));
    p.drawEllipse(at + QPointF(-6, -3), 2.5, 2.5);
    p.drawEllipse(at + QPointF(5, -3), 2.5, 2.5);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(at.x() - 6, at.y() - 1, 12, 9), 200 * 16, 140 * 16);
    p.setPen(ink(QColor(120, 70, 30), 8));  // the glass's handle
    p.drawLine(QPointF(80, 62), QPointF(104, 84));
    p.setPen(ink(kOutline, 4));
    p.setBrush(QColor(200, 230, 255, 90));
    p.drawEllipse(QPointF(54, 40), 32, 32);
    p.setPen(ink(QColor(255, 255, 255, 200), 3));
    p.drawArc(QRectF(30, 16, 48, 48), 100 * 16, 60 * 16);
}

// A cat sitting, seen from behind, its tail curled round.
void cat(QPainter& p) {
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(shade(QRectF(30, 10, 60, 78), QColor(240, 150, 60)));
    QPainterPath body;
    body.moveTo(60, 30);
    body.cubicTo(40, 32, 30, 60, 34, 82);
    body.lineTo(86, 82);
    body.cubicTo(90, 60, 80, 32, 60, 30);
    p.drawPath(body);
    QPainterPath tail;
    tail.moveTo(84, 78);
    tail.cubicTo(104, 78, 108, 60, 98, 52);
    tail.cubicTo(104, 62, 100, 72, 84, 72);
    p.drawPath(tail);
    p.drawEllipse(QPointF(60, 24), 15, 13);  // the head
    for (int side : {-1, 1}) {
        QPainterPath ear;
        ear.moveTo(60 + side * 13, 20);
        ear.lineTo(60 + side * 14, 6);
        ear.lineTo(60 + side * 4, 13);
        ear.closeSubpath();
        p.drawPath(ear);
    }
    p.setPen(ink(QColor(190, 100, 30), 2));  // the stripes
    for (double y : {44.0, 54.0, 64.0}) p.drawArc(QRectF(44, y, 32, 10), 20 * 16, 140 * 16);
}

// A syringe.
void syringe(QPainter& p) {
    p.save();
    p.translate(60, 45);
    p.rotate(-30);
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(QColor(235, 245, 255, 220));
    p.drawRect(QRectF(-30, -9, 52, 18));  // the barrel
    p.setBrush(QColor(110, 170, 230));
    p.drawRect(QRectF(-6, -7, 28, 14));  // the vaccine
    p.setPen(ink(kOutline, 1));
    for (double x = -24; x < 20; x += 6) p.drawLine(QPointF(x, -9), QPointF(x, -4));
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(-40, -4, 10, 8));    // the plunger
    p.drawRect(QRectF(-44, -12, 4, 24));   // its thumb rest
    p.drawRect(QRectF(-32, -14, 3, 28));   // the finger grip
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(22, -4, 6, 8));
    p.setPen(ink(QColor(120, 124, 130), 1.5));
    p.drawLine(QPointF(28, 0), QPointF(52, 0));  // the needle
    p.setPen(ink(QColor(110, 170, 230), 2));
    p.drawPoint(QPointF(56, 0));
    p.restore();
}

// A clipboard with a chart of a rising and falling line.
void chart(QPainter& p) {
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(QColor(170, 120, 70));
    p.drawRoundedRect(QRectF(28, 8, 64, 80), 4, 4);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(34, 18, 52, 64));
    p.setBrush(QColor(170, 174, 180));
    p.drawRoundedRect(QRectF(46, 4, 28, 10), 3, 3);
    p.setPen(ink(QColor(190, 200, 215), 0.8));
    for (double y = 30; y < 80; y += 8) p.drawLine(QPointF(38, y), QPointF(82, y));
    p.setPen(ink(QColor(210, 40, 40), 2));
    p.drawPolyline(QPolygonF({QPointF(38, 68), QPointF(46, 56), QPointF(54, 62), QPointF(62, 40), QPointF(70, 48), QPointF(80, 32)}));
    p.setPen(ink(kOutline, 1));
    p.drawText(QRectF(34, 18, 52, 10), Qt::AlignCenter, QStringLiteral("Rx"));
}

// A heart with the trace of a pulse across it.
void heart(QPainter& p) {
    QPainterPath h;
    h.moveTo(60, 82);
    h.cubicTo(20, 56, 16, 30, 30, 18);
    h.cubicTo(42, 8, 56, 14, 60, 26);
    h.cubicTo(64, 14, 78, 8, 90, 18);
    h.cubicTo(104, 30, 100, 56, 60, 82);
    QRadialGradient red(QPointF(48, 30), 50);
    red.setColorAt(0, QColor(250, 110, 110));
    red.setColorAt(1, QColor(180, 20, 30));
    p.setPen(ink(QColor(120, 10, 20), 1.5));
    p.setBrush(red);
    p.drawPath(h);
    p.setPen(ink(QColor(255, 255, 255), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(6, 46), QPointF(38, 46), QPointF(46, 30), QPointF(54, 62), QPointF(62, 22),
                              QPointF(70, 54), QPointF(76, 46), QPointF(114, 46)}));
    p.setPen(ink(QColor(120, 10, 20), 1.2));
    p.drawPolyline(QPolygonF({QPointF(6, 46), QPointF(38, 46), QPointF(46, 30), QPointF(54, 62), QPointF(62, 22),
                              QPointF(70, 54), QPointF(76, 46), QPointF(114, 46)}));
}

// A blood-glucose meter with a strip and a drop of blood.
void meter(QPainter& p) {
    p.setPen(ink(kOutline, 1.5));
    p.setBrush(shade(QRectF(30, 8, 50, 78), QColor(60, 110, 190)));
    p.drawRoundedRect(QRectF(30, 8, 50, 78), 12, 12);
    p.setBrush(QColor(200, 225, 200));
    p.drawRoundedRect(QRectF(37, 18, 36, 24), 3, 3);
    QFont f;
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 50, 30));
    p.drawText(QRectF(37, 18, 36, 24), Qt::AlignCenter, QStringLiteral("105"));
    p.setPen(ink(kOutline, 1.2));
    p.setBrush(QColor(230, 230, 235));
    p.drawEllipse(QPointF(47, 56), 6, 6);
    p.drawEllipse(QPointF(63, 56), 6, 6);
    p.setBrush(QColor(250, 250, 240));  // the strip
    p.drawRect(QRectF(50, 84, 10, 4));
    p.drawRect(QRectF(82, 62, 26, 8));
    p.setBrush(QColor(250, 180, 30));
    p.drawRect(QRectF(100, 62, 8, 8));
    QPainterPath drop;  // the drop of blood
    drop.moveTo(98, 34);
    drop.cubicTo(92, 46, 92, 52, 98, 52);
    drop.cubicTo(104, 52, 104, 46, 98, 34);
    p.setBrush(QColor(200, 20, 30));
    p.setPen(ink(QColor(120, 10, 20), 1));
    p.drawPath(drop);
}

}  // namespace

void AddProfileTabPictures() {
    const std::pair<const char*, void (*)(QPainter&)> drawings[] = {
        {"daily_planner_writing_tm.gif", planner},
        {"911_tm.gif", emergency},
        {"doctor_examining_pati_a_tm.gif", stethoscope},
        {"nurse_vuno_pushing_nu_a_tm.gif", wheelchair},
        {"looking_at_germ_throu_a_tm.gif", germ},
        {"cat_body_sit_sw.gif", cat},
        {"syringe_with_flu_vacc_a_tm.gif", syringe},
        {"doctor_check_up_chart_tm.gif", chart},
        {"blood_pressure_heart_tm.gif", heart},
        {"meterani.gif", meter},
    };
    for (const auto& [name, draw] : drawings) qtp::AddPicture(name, QSizeF(kCanvasW, kCanvasH), draw);
}

}  // namespace pictures
