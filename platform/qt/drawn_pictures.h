#pragma once
// The pictures that picture controls name, drawn here: a layout names a picture by a file name
// ("911_tm.gif") and the presenter draws its own for each name it knows. GUI thread only.
#include <QPixmap>
#include <QSize>

#include <string_view>

namespace qtp {

// The picture for a name (any case) drawn to fit the size, on a transparent ground; a null pixmap
// for a name it has no picture for.
QPixmap DrawnPicture(std::string_view name, QSize size);

}  // namespace qtp
