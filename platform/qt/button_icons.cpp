#include "platform/qt/button_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cctype>

#include "platform/qt/picture_book.h"

namespace qtp {
namespace {

enum class Picture { Select, View, Insert, Change, Delete, Close, Help, Ok, Cancel, Calendar };

struct Named {
    std::string_view name;
    Picture picture;
};

constexpr Named kNames[] = {
    {"WASELECT.ICO", Picture::Select}, {"WAVIEW.ICO", Picture::View},   {"WAINSERT.ICO", Picture::Insert},
    {"WACHANGE.ICO", Picture::Change}, {"WADELETE.ICO", Picture::Delete}, {"WACLOSE.ICO", Picture::Close},
    {"WAHELP.ICO", Picture::Help},     {"WAOK.ICO", Picture::Ok},         {"WACANCEL.ICO", Picture::Cancel},
    {"cal1.ico", Picture::Calendar},
};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

QPen pen(const QColor& colour, qreal width) { return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A stroke with a darker edge, so it stands out on any button face.
void edged(QPainter& p, const QPainterPath& path, const QColor& edge, const QColor& fill, qreal width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(edge, width + 1.4));
    p.drawPath(path);
    p.setPen(pen(fill, width));
    p.drawPath(path);
}

QPainterPath line(QPointF a, QPointF b) {
    QPainterPath path(a);
    path.lineTo(b);
    return path;
}

QPainterPath tick(QPointF a, QPointF corner, QPointF b) {
    QPainterPath path(a);
    path.lineTo(corner);
    path.lineTo(b);
    return path;
}

const QColor kInk(55, 55, 65);
const QColor kGreen(45, 175, 55), kDarkGreen(20, 95, 25);
const QColor kRed(220, 40, 40), kDarkRed(125, 10, 10);

// Each picture is drawn on a 16 by 16 grid; the painter scales it to the size asked for.
void draw(QPainter& p, Picture picture) {
    switch (picture) {
        case Picture::Select: {
            // A list with its middle row chosen, and a tick pointing at it.
            p.setPen(pen(QColor(120, 120, 130), 1.6));
            p.drawLine(QPointF(8.5, 3.5), QPointF(14.5, 3.5));
            p.drawLine(QPointF(8.5, 12.5), QPointF(14.5, 12.5));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 95, 200));
            p.drawRect(QRectF(7.5, 6.3, 8, 3.4));
            edged(p, tick({1.6, 8.2}, {3.6, 10.8}, {6.8, 5.0}), kDarkGreen, kGreen, 1.8);
            break;
        }
        case Picture::View: {
            // A magnifying glass.
            p.setPen(pen(kInk, 3.0));
            p.drawLine(QPointF(10.0, 10.0), QPointF(14.2, 14.2));
            p.setPen(pen(kInk, 1.8));
            p.setBrush(QColor(205, 230, 250));
            p.drawEllipse(QPointF(6.6, 6.6), 4.6, 4.6);
            p.setPen(pen(Qt::white, 1.0));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3.9, 3.9, 5.4, 5.4), 100 * 16, 70 * 16);
            break;
        }
        case Picture::Insert: {
            // A sheet with a plus sign on it.
            QPolygonF sheet({{1.5, 0.5}, {8.5, 0.5}, {11.5, 3.5}, {11.5, 13.5}, {1.5, 13.5}});
            p.setPen(pen(QColor(100, 100, 110), 1.0));
            p.setBrush(Qt::white);
            p.drawPolygon(sheet);
            p.drawPolyline(QPolygonF({{8.5, 0.5}, {8.5, 3.5}, {11.5, 3.5}}));
            p.setPen(pen(QColor(170, 170, 180), 1.0));
            p.drawLine(QPointF(3.5, 4.5), QPointF(6.5, 4.5));
            p.drawLine(QPointF(3.5, 7.0), QPointF(8.0, 7.0));
            QPainterPath plus = line({7.0, 11.5}, {15.0, 11.5});
            plus.addPath(line({11.0, 7.5}, {11.0, 15.5}));
            edged(p, plus, kDarkGreen, kGreen, 2.2);
            break;
        }
        case Picture::Change: {
            // A pencil, point down to the left.
            p.translate(8, 8);
            p.rotate(-45);
            p.setPen(pen(QColor(70, 55, 30), 0.9));
            p.setBrush(QColor(245, 195, 45));
            p.drawRect(QRectF(-3.6, -2.2, 8.4, 4.4));
            p.setBrush(QColor(235, 125, 145));
            p.drawRect(QRectF(4.8, -2.2, 2.8, 4.4));
            p.setBrush(QColor(240, 215, 170));
            p.drawPolygon(QPolygonF({{-3.6, -2.2}, {-3.6, 2.2}, {-7.6, 0}}));
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawPolygon(QPolygonF({{-6.0, -0.9}, {-6.0, 0.9}, {-7.8, 0}}));
            break;
        }
        case Picture::Delete: {
            // A red cross.
            QPainterPath cross = line({3.5, 3.5}, {12.5, 12.5});
            cross.addPath(line({12.5, 3.5}, {3.5, 12.5}));
            edged(p, cross, kDarkRed, kRed, 2.6);
            break;
        }
        case Picture::Close: {
            // A door with an arrow leading out of it.
            p.setPen(pen(QColor(70, 45, 20), 1.0));
            p.setBrush(QColor(165, 105, 55));
            p.drawRect(QRectF(1.5, 1.5, 7.5, 13.0));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(250, 215, 80));
            p.drawEllipse(QPointF(7.2, 8.6), 0.8, 0.8);
            p.setPen(pen(kDarkGreen, 0.9));
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF({{5.0, 6.4}, {10.2, 6.4}, {10.2, 3.4}, {15.2, 8.0}, {10.2, 12.6}, {10.2, 9.6}, {5.0, 9.6}}));
            break;
        }
        case Picture::Help: {
            // A question mark on a blue disc.
            p.setPen(pen(QColor(20, 55, 130), 1.0));
            p.setBrush(QColor(45, 110, 210));
            p.drawEllipse(QPointF(8, 8), 7.0, 7.0);
            QPainterPath hook({5.7, 6.1});
            hook.cubicTo({5.7, 3.3}, {10.3, 3.3}, {10.3, 6.1});
            hook.cubicTo({10.3, 7.7}, {8.0, 7.7}, {8.0, 9.7});
            p.setPen(pen(Qt::white, 1.9));
            p.setBrush(Qt::NoBrush);
            p.drawPath(hook);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8.0, 12.2), 1.15, 1.15);
            break;
        }
        case Picture::Ok:
            edged(p, tick({2.3, 8.6}, {6.2, 12.6}, {13.8, 3.6}), kDarkGreen, kGreen, 2.6);
            break;
        case Picture::Cancel: {
            // A white cross on a red disc: unlike the bare cross of Delete.
            p.setPen(pen(kDarkRed, 1.0));
            p.setBrush(kRed);
            p.drawEllipse(QPointF(8, 8), 7.0, 7.0);
            p.setPen(pen(Qt::white, 2.0));
            p.drawLine(QPointF(5.2, 5.2), QPointF(10.8, 10.8));
            p.drawLine(QPointF(10.8, 5.2), QPointF(5.2, 10.8));
            break;
        }
        case Picture::Calendar: {
            // A calendar page: red heading, rings, and days.
            p.setPen(pen(QColor(90, 90, 100), 1.0));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 2.5, 13.0, 12.0));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(205, 45, 45));
            p.drawRect(QRectF(2.0, 3.0, 12.0, 3.0));
            p.setPen(pen(kInk, 1.3));
            p.drawLine(QPointF(5.0, 1.0), QPointF(5.0, 4.0));
            p.drawLine(QPointF(11.0, 1.0), QPointF(11.0, 4.0));
            p.setPen(Qt::NoPen);
            for (int row = 0; row < 2; ++row)
                for (int col = 0; col < 3; ++col) {
                    p.setBrush(row == 1 && col == 1 ? QColor(40, 95, 200) : QColor(125, 125, 135));
                    p.drawRect(QRectF(3.0 + col * 3.7, 7.6 + row * 3.4, 2.4, 2.2));
                }
            break;
        }
    }
}

constexpr int kSmallestIcon = 8, kLargestIcon = 32;
constexpr int kIconSpacing = 4;  // what the style puts between a button's icon and its text

}  // namespace

QIcon ButtonIcon(std::string_view name) {
    for (const Named& n : kNames)
        if (sameName(n.name, name)) return DrawnIcon(QSizeF(16, 16), [picture = n.picture](QPainter& p) { draw(p, picture); });
    return {};
}

void ShowButtonFace(QPushButton& button, const QString& text, std::string_view iconName) {
    // A standard picture, else one the program drew under that name.
    QIcon icon = ButtonIcon(iconName);
    if (icon.isNull() && !iconName.empty()) icon = PictureIcon(iconName);
    if (icon.isNull()) {
        button.setIcon({});
        // A button with neither text nor a picture would be an empty square: it opens something.
        button.setText(text.isEmpty() ? QStringLiteral("...") : text);
        return;
    }
    QStyleOptionButton option;
    option.initFrom(&button);
    option.features = button.isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
    if (button.autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect room = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    int side = std::min(room.height() - 2, kLargestIcon);
    if (!text.isEmpty()) {
        // Beside text, a little taller than its line at most, so a row of buttons looks alike.
        const QSize words = button.fontMetrics().size(Qt::TextShowMnemonic, text);
        side = std::min({side, words.height() + 2, room.width() - kIconSpacing - words.width()});
    } else {
        side = std::min(side, room.width() - 2);
    }
    if (side < kSmallestIcon && !text.isEmpty()) {
        // The text is what says what the button does; it keeps the room.
        button.setIcon({});
        button.setText(text);
        return;
    }
    side = std::max(side, kSmallestIcon);
    button.setText(text);
    button.setIcon(icon);
    button.setIconSize(QSize(side, side));
}

}  // namespace qtp
