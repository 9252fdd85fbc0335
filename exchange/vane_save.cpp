// Saving the view as a BMP file.

#include "app/vane.h"

namespace vorlane {

void VANE::SavePic()
{
}

void VANE::save_Click()
{
    SavePic();
}

} // namespace vorlane
