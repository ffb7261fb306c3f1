#pragma once
// The program's own pictures, drawn in rather than shipped as files: the frame's wallpaper, the
// program icon, the health profile's tab pictures and its push-down button's picture, each under
// the file name the layouts give.

namespace pictures {

// Adds every picture below to the presenter's picture book; call before the first window opens.
void AddProgramPictures();

void AddWallpaperPicture();
void AddProgramIconPicture();
void AddProfileTabPictures();
void AddPushDownPicture();

}  // namespace pictures
