#include "pictures/program_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/qt/picture_book.h"

namespace pictures {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 500;

// A small fixed sequence, so the pills lie the same way every time the picture is drawn.
class Scatter {
public:
    double next() {  // 0 <= x < 1
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    double between(double a, double b) { return a + (b - a) * next(); }

private:
    std::uint64_t state_ = 0x5eed1234ULL;
};

const std::array<QColor, 9> kPillColours = {QColor(214, 48, 49),  QColor(243, 156, 18), QColor(241, 196, 15),
                                            QColor(39, 174, 96),  QColor(41, 128, 185), QColor(142, 68, 173),
                                            QColor(250, 250, 246), QColor(232, 110, 160), QColor(26, 188, 156)};

void tablet(QPainter& p, QPointF at, double r, const QColor& colour, double angle) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    QRadialGradient shade(QPointF(-r * 0.35, -r * 0.35), r * 1.6);
    shade.setColorAt(0, colour.lighter(150));
    shade.setColorAt(1, colour.darker(125));
    p.setPen(QPen(colour.darker(170), 1));
    p.setBrush(shade);
    p.drawEllipse(QRectF(-r, -r * 0.8, 2 * r, 1.6 * r));
    p.setPen(QPen(colour.darker(150), 1));
    p.drawLine(QPointF(-r * 0.6, 0), QPointF(r * 0.6, 0));  // the score line
    p.restore();
}

void capsule(QPainter& p, QPointF at, double length, const QColor& a, const QColor& b, double angle) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    const double h = length * 0.42;
    QPainterPath whole;
    whole.addRoundedRect(QRectF(-length / 2, -h / 2, length, h), h / 2, h / 2);
    for (int half = 0; half < 2; ++half) {
        const QColor& c = half ? b : a;
        QLinearGradient shade(0, -h / 2, 0, h / 2);
        shade.setColorAt(0, c.lighter(145));
        shade.setColorAt(0.45, c);
        shade.setColorAt(1, c.darker(140));
        QPainterPath side;
        side.addRect(QRectF(half ? 0 : -length / 2, -h / 2, length / 2, h));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawPath(whole.intersected(side));
    }
    p.setPen(QPen(QColor(60, 60, 60, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(whole);
    p.drawLine(QPointF(0, -h / 2), QPointF(0, h / 2));
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.5));
    p.drawLine(QPointF(-length * 0.32, -h * 0.22), QPointF(length * 0.3, -h * 0.22));  // the shine
    p.restore();
}

// A heap of pills and capsules over the area, drawn from the back to the front.
void pills(QPainter& p, const QPainterPath& area, Scatter& s, int count) {
    struct Pill {
        QPointF at;
        bool isCapsule;
        double size, angle;
        int a, b;
    };
    const QRectF box = area.boundingRect();
    std::vector<Pill> heap;
    while (static_cast<int>(heap.size()) < count) {
        const QPointF at(s.between(box.left(), box.right()), s.between(box.top(), box.bottom()));
        const bool isCapsule = s.next() < 0.45;
        const double size = isCapsule ? s.between(20, 28) : s.between(7, 11);
        const double angle = s.between(-80, 80);
        const int a = static_cast<int>(s.next() * kPillColours.size());
        const int b = static_cast<int>(s.next() * kPillColours.size());
        if (area.contains(at)) heap.push_back({at, isCapsule, size, angle, a, b});
    }
    std::sort(heap.begin(), heap.end(), [](const Pill& x, const Pill& y) { return x.at.y() < y.at.y(); });
    for (const Pill& pill : heap) {
        if (pill.isCapsule) capsule(p, pill.at, pill.size, kPillColours[pill.a], kPillColours[(pill.b + 1) % kPillColours.size()], pill.angle);
        else tablet(p, pill.at, pill.size, kPillColours[pill.a], pill.angle);
    }
}

QPolygonF quad(QPointF a, QPointF b, QPointF c, QPointF d) { return QPolygonF({a, b, c, d}); }

void face(QPainter& p, const QPolygonF& shape, const QColor& top, const QColor& bottom) {
    const QRectF r = shape.boundingRect();
    QLinearGradient shade(r.topLeft(), r.bottomLeft());
    shade.setColorAt(0, top);
    shade.setColorAt(1, bottom);
    p.setPen(QPen(QColor(70, 74, 80), 1.5));
    p.setBrush(shade);
    p.drawPolygon(shape);
}

void handle(QPainter& p, QRectF r) {
    QLinearGradient metal(r.topLeft(), r.bottomLeft());
    metal.setColorAt(0, QColor(245, 245, 245));
    metal.setColorAt(1, QColor(120, 124, 130));
    p.setPen(QPen(QColor(60, 62, 66), 1));
    p.setBrush(metal);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
}

// The label holder on a drawer: a white card in a red edge, with a line of writing on it.
void label(QPainter& p, QRectF r, bool written) {
    p.setPen(QPen(QColor(190, 24, 30), 3));
    p.setBrush(QColor(255, 253, 240));
    p.drawRect(r);
    if (!written) return;
    p.setPen(QPen(QColor(40, 40, 90), 1.6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath line;  // a hand-written word
    const double y = r.center().y() + 1;
    line.moveTo(r.left() + 8, y);
    for (double x = r.left() + 8; x < r.right() - 10; x += 6)
        line.quadTo(QPointF(x + 1.5, y - 6 + std::fmod(x, 4)), QPointF(x + 3, y));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
}

void drawWallpaper(QPainter& p) {
    Scatter scatter;

    // The cabinet, seen from the front and a little from above and the right: depth runs up-right.
    const QPointF d(46, -34);
    const QRectF front(300, 140, 220, 230);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawEllipse(QRectF(200, 352, 400, 44));  // its shadow on the floor
    face(p, quad(front.topLeft(), front.topLeft() + d, front.topRight() + d, front.topRight()), QColor(205, 209, 214), QColor(178, 182, 188));
    face(p, quad(front.topRight(), front.topRight() + d, front.bottomRight() + d, front.bottomRight()), QColor(150, 154, 160), QColor(118, 122, 128));
    face(p, QPolygonF(front), QColor(186, 190, 196), QColor(150, 154, 160));

    // The lower drawer, shut.
    const QRectF lower(314, 270, 192, 88);
    face(p, QPolygonF(lower), QColor(176, 180, 186), QColor(140, 144, 150));
    label(p, QRectF(380, 284, 60, 22), false);
    handle(p, QRectF(372, 320, 76, 12));

    // The upper drawer, pulled out towards the viewer: its slot in the cabinet, its right side,
    // the heap of pills inside and its front.
    const QRectF slot(314, 154, 192, 100);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 48, 52));
    p.drawRect(slot);
    const QPointF out(-70, 52);
    const QRectF drawer = slot.translated(out);
    const QPointF backLeft = slot.topLeft() + QPointF(0, 8), backRight = slot.topRight() + QPointF(0, 8);
    face(p, quad(drawer.topRight(), backRight, slot.bottomRight(), drawer.bottomRight()), QColor(160, 164, 170), QColor(128, 132, 138));
    const QPolygonF opening = quad(drawer.topLeft(), backLeft, backRight, drawer.topRight());
    face(p, opening, QColor(96, 100, 106), QColor(128, 132, 138));  // the drawer's inside
    QPainterPath heap;
    heap.addPolygon(opening);
    QPainterPath mound;  // the heap rises a little over the drawer's edges
    mound.moveTo(drawer.topLeft() + QPointF(6, 0));
    mound.cubicTo(drawer.topLeft() + QPointF(30, -34), backLeft + QPointF(10, -30), backLeft + QPointF(40, 0));
    mound.lineTo(backRight + QPointF(-10, 0));
    mound.cubicTo(backRight + QPointF(0, -26), drawer.topRight() + QPointF(14, -30), drawer.topRight() + QPointF(-6, 0));
    mound.closeSubpath();
    heap = heap.united(mound);
    pills(p, heap, scatter, 170);
    face(p, QPolygonF(drawer), QColor(196, 200, 206), QColor(156, 160, 166));
    label(p, QRectF(drawer.center().x() - 40, drawer.top() + 14, 80, 28), true);
    handle(p, QRectF(drawer.center().x() - 42, drawer.bottom() - 30, 84, 13));

    // A few pills spilled on the floor in front of the cabinet.
    const struct { double x, y, angle; int a, b; bool isCapsule; } spilt[] = {
        {214, 372, 20, 0, 4, true}, {238, 384, 0, 2, 0, false}, {556, 380, -30, 5, 6, true},
        {590, 372, 0, 3, 0, false}, {268, 392, 0, 6, 0, false}, {530, 392, 60, 1, 3, true}};
    for (const auto& s : spilt) {
        if (s.isCapsule) capsule(p, QPointF(s.x, s.y), 24, kPillColours[s.a], kPillColours[s.b], s.angle);
        else tablet(p, QPointF(s.x, s.y), 9, kPillColours[s.a], s.angle);
    }

    // The product's name and, smaller, its maker with the maker's address.
    QFont name;
    name.setPixelSize(46);
    name.setBold(true);
    p.setFont(name);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 404, kWidth, 56), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Tallomere"));
    QFont maker;
    maker.setPixelSize(17);
    p.setFont(maker);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(0, 460, kWidth, 28), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Varnholt  \u00b7  www.varnholt.example"));
}

}  // namespace

void AddWallpaperPicture() { qtp::AddPicture("prescript.bmp", QSizeF(kWidth, kHeight), drawWallpaper); }

}  // namespace pictures
