#pragma once
// Where the presenter's own dialogs (message boxes, print dialogs, page set-up) stand: over the
// window they belong to, centred on it and kept on its screen, whether or not a window manager
// places windows. GUI thread only.
class QString;
class QWidget;

namespace qtp {

// Gives `dialog` a dialog's decorations (a title and a close button, no minimise or maximise)
// as a window of its own that is transient for `frame` (none: a window of its own).
void MakeDialogOf(QWidget& dialog, QWidget* frame);
// Centres `dialog`, at its present size, on `over` (none: the primary screen), kept within the
// available area of that screen.
void PlaceOver(QWidget& dialog, const QWidget* over);
// The width a window needs to show `caption` whole in its title bar, beside the bar's icon and
// buttons.
int CaptionWidth(const QString& caption);

}  // namespace qtp
