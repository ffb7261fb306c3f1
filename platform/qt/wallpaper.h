#pragma once
// The frame's wallpaper, drawn here: the layout names it by a file name ("prescript.bmp") and the
// presenter draws its own picture for that name, so nothing is read from the working directory.
// GUI thread only.
#include <QImage>

#include <string_view>

class QMdiArea;

namespace qtp {

// The 800 by 500 picture for a wallpaper name (any case); a null image for a name it does not know.
QImage Wallpaper(std::string_view name);

// Shows the picture in the middle of the MDI area's white ground, made smaller (never larger)
// while the area is smaller than the picture; it follows the area's size.
void ShowWallpaper(QMdiArea& area, const QImage& picture);

}  // namespace qtp
