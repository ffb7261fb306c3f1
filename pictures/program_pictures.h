#pragma once
// The program's own pictures, drawn in rather than shipped as files: the frame's wallpaper, the
// program icon and the health profile's tab pictures, each under the file name the layouts give.

namespace pictures {

// Adds every picture below to the presenter's picture book; call before the first window opens.
void AddProgramPictures();

void AddWallpaperPicture();
void AddProgramIconPicture();
void AddProfileTabPictures();

}  // namespace pictures
