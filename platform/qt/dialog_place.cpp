#include "platform/qt/dialog_place.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace qtp {

namespace {

// What a window manager adds round a window (title bar, borders), read off a window it already
// decorates (the one a new window stands over): a window not yet shown has no decorations to
// measure, and without them a window placed at the screen's edge would reach past it by its
// title bar's height. Nothing without a window manager.
QMargins DecorationsOf(const QWidget* shown) {
    if (!shown || !shown->isVisible()) return {};
    const QRect outer = shown->frameGeometry(), inner = shown->geometry();
    return {std::max(0, inner.left() - outer.left()), std::max(0, inner.top() - outer.top()),
            std::max(0, outer.right() - inner.right()), std::max(0, outer.bottom() - inner.bottom())};
}

// The outer size `window` will have on the screen: its frame once shown, else its size with the
// decorations a shown window of the program has.
QSize OuterSize(const QWidget& window, const QWidget* decorated) {
    if (window.isVisible() && !window.frameGeometry().size().isEmpty()) return window.frameGeometry().size();
    // A size the program gave stands; a window never sized yet will take its size hint.
    const QSize inner = window.testAttribute(Qt::WA_Resized) ? window.size() : window.size().expandedTo(window.sizeHint());
    const QMargins m = DecorationsOf(decorated);
    return inner + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QScreen* ScreenOf(const QWidget* window) {
    return window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// Moves `window`'s outer top left to `at`, pulled back so that its whole outer size lies within
// `area` (its top left first, when it is larger).
void MoveWithin(QWidget& window, QPoint at, QSize outer, const QRect& area) {
    if (area.isValid()) {
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
    }
    window.move(at);  // a window's position is its frame's
}

constexpr Qt::WindowFlags kDialogHints =
    Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Only a window of the dialog type is announced transient for its owner (WM_TRANSIENT_FOR on X11):
// a plain top-level window stays a stranger to the frame, and the frame could cover it. A parent
// carries the owner; a window without one is told its owner through its QWindow.
void OwnBy(QWidget& window, QWidget* frame, bool parented, Qt::WindowFlags flags) {
    const bool visible = window.isVisible();
    if (parented) window.setParent(frame, Qt::Dialog | flags);
    else window.setWindowFlags(Qt::Dialog | flags);
    if (!parented && frame) {
        window.winId();  // makes its QWindow, which carries the owner
        if (QWindow* handle = window.windowHandle()) handle->setTransientParent(frame->windowHandle());
    }
    if (visible) window.show();
}

}  // namespace

void MakeDialogOf(QWidget& dialog, QWidget* frame) {
    // Qt::Dialog keeps it a window of its own, not a child drawn inside the frame.
    OwnBy(dialog, frame, true, kDialogHints);
}

void MakeWindowOf(QWidget& window, QWidget* frame, bool parented) {
    OwnBy(window, frame, parented, kDialogHints | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
}

void PlaceOver(QWidget& dialog, const QWidget* over) {
    const QWidget* window = over ? over->window() : nullptr;
    // An MDI child is its own area of the frame: the dialog goes over the child, not the frame.
    const QRect target = over && over != window ? QRect(over->mapToGlobal(QPoint(0, 0)), over->size())
                         : window             ? window->frameGeometry()
                                              : QRect();
    QScreen* screen = ScreenOf(window);
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QRect centreOn = target.isValid() ? target : area;
    const QSize size = OuterSize(dialog, window);
    MoveWithin(dialog, centreOn.center() - QPoint(size.width() / 2, size.height() / 2), size, area);
}

void PlaceFrom(QWidget& window, const QWidget* from, QPoint offset) {
    QScreen* screen = ScreenOf(from ? from->window() : nullptr);
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QPoint origin = from ? from->mapToGlobal(QPoint(0, 0)) : area.topLeft();
    MoveWithin(window, origin + offset, OuterSize(window, from ? from->window() : nullptr), area);
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
