#pragma once
// Where the presenter's own windows (plain windows, message boxes, print dialogs, page set-up,
// help) stand: transient for the frame, over the window they belong to and kept on its screen,
// whether or not a window manager places windows. GUI thread only.
class QPoint;
class QString;
class QWidget;

namespace qtp {

// Gives `dialog` a dialog's decorations (a title and a close button, no minimise or maximise)
// as a window of its own that is transient for `frame` (none: a window of its own).
void MakeDialogOf(QWidget& dialog, QWidget* frame);
// Makes `window` a window of its own, transient for `frame` (a window manager keeps it above the
// frame and minimises it with it), that keeps a window's title-bar buttons. The frame becomes its
// parent and so deletes it; with `parented` false only the window manager is told (a window the
// caller owns outright).
void MakeWindowOf(QWidget& window, QWidget* frame, bool parented = true);
// Centres `dialog`, at its present size, on `over` (none: the primary screen), kept within the
// available area of that screen.
void PlaceOver(QWidget& dialog, const QWidget* over);
// Puts `window` at `offset` pixels from the top left of `from`'s inside (none: of the screen's
// available area), kept within the available area of that screen.
void PlaceFrom(QWidget& window, const QWidget* from, QPoint offset);
// The width a window needs to show `caption` whole in its title bar, beside the bar's icon and
// buttons.
int CaptionWidth(const QString& caption);

}  // namespace qtp
