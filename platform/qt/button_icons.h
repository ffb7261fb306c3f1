#pragma once
// The pictures on buttons, drawn here: a window's layout names a button's icon by a file name, and
// the presenter draws its own picture for each name it knows. GUI thread only.
#include <QIcon>
#include <QString>

#include <string_view>

class QPushButton;

namespace qtp {

// The picture for an icon name ("WAOK.ICO", "cal1.ico"; any case), drawn at whatever size it is
// asked for; a null icon for a name it has no picture for.
QIcon ButtonIcon(std::string_view name);

// Shows a button's text and its icon: the icon beside the text, as large as the button's height
// allows while the text keeps its room (no icon where even a small one does not fit), or alone for
// a button without text. A button without text or a picture for its icon shows an ellipsis, so it
// can still be seen and pressed. Call again after the button is resized.
void ShowButtonFace(QPushButton& button, const QString& text, std::string_view iconName);

}  // namespace qtp
