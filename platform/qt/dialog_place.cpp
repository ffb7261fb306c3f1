#include "platform/qt/dialog_place.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace qtp {

void MakeDialogOf(QWidget& dialog, QWidget* frame) {
    // A parent makes the dialog transient for the frame (a window manager keeps it above the
    // frame); Qt::Dialog keeps it a window of its own, not a child drawn inside the frame.
    const bool visible = dialog.isVisible();
    dialog.setParent(frame, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowCloseButtonHint);
    if (visible) dialog.show();
}

void PlaceOver(QWidget& dialog, const QWidget* over) {
    const QWidget* window = over ? over->window() : nullptr;
    // An MDI child is its own area of the frame: the dialog goes over the child, not the frame.
    const QRect target = over && over != window ? QRect(over->mapToGlobal(QPoint(0, 0)), over->size())
                         : window             ? window->frameGeometry()
                                              : QRect();
    QScreen* screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QRect centreOn = target.isValid() ? target : area;
    QSize size = dialog.frameGeometry().size();
    if (!dialog.isVisible() || size.isEmpty()) size = dialog.size().expandedTo(dialog.sizeHint());
    QPoint at = centreOn.center() - QPoint(size.width() / 2, size.height() / 2);
    if (area.isValid()) {
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    }
    dialog.move(at);
}

int CaptionWidth(const QString& caption) {
    // Title bars draw their caption in a bold face of the desktop's font; the icon and the close
    // button take about a line's height each, with the bar's own margins.
    QFont title = QApplication::font();
    title.setBold(true);
    const QFontMetrics tm(title);
    return tm.horizontalAdvance(caption) + 4 * (tm.height() + 8);
}

}  // namespace qtp
