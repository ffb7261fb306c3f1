#pragma once
// The frame's wallpaper: the layout names it by a file name and the presenter shows the picture the
// program added under that name (picture_book.h), so nothing is read from the working directory.
// GUI thread only.
#include <QImage>

#include <string_view>

class QMdiArea;

namespace qtp {

// The picture for a wallpaper name (any case) at its own size on white; a null image for a name
// the program drew no picture for.
QImage Wallpaper(std::string_view name);

// Shows the picture in the middle of the MDI area's white ground, made smaller (never larger)
// while the area is smaller than the picture; it follows the area's size.
void ShowWallpaper(QMdiArea& area, const QImage& picture);

}  // namespace qtp
