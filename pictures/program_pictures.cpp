#include "pictures/program_pictures.h"

namespace pictures {

void AddProgramPictures() {
    AddWallpaperPicture();
    AddProgramIconPicture();
    AddProfileTabPictures();
    AddPushDownPicture();
}

}  // namespace pictures
