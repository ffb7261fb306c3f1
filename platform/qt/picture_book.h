#pragma once
// The pictures a program draws for the file names its layouts give (the frame's wallpaper, the program
// icon, picture controls): the program adds each once before its windows open, and the presenter
// draws the named picture instead of reading a file. Adding and looking up are locked; drawing happens
// on the GUI thread.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QSizeF>

#include <functional>
#include <string_view>

class QPainter;

namespace qtp {

// Draws a picture on a canvas of the size it was added with; the painter is scaled to fit.
using PictureDrawing = std::function<void(QPainter&)>;

// Adds (or replaces) the picture for a name; names match in any case.
void AddPicture(std::string_view name, QSizeF canvas, PictureDrawing draw);

// The named picture drawn to fit the size, centred on a transparent ground; a null pixmap for a name
// no picture was added for, or an empty size.
QPixmap DrawnPicture(std::string_view name, QSize size);

// The named picture at its canvas size on white, drawn once; a null image for an unknown name.
QImage PictureOnWhite(std::string_view name);

// The named picture as an icon drawn at whatever size it is asked for (a button's picture); a null
// icon for a name no picture was added for.
QIcon PictureIcon(std::string_view name);

// An icon of a drawing on a canvas of that size, drawn afresh to fit whatever size it is asked
// for (greyed by the style when disabled), so it is sharp on any button and screen.
QIcon DrawnIcon(QSizeF canvas, PictureDrawing draw);

// The program icon: the picture named as the program's icon, at the usual icon sizes; an empty icon
// (the desktop's own) when the program named none or drew none.
QIcon ProgramIcon();

}  // namespace qtp
