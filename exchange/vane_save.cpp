// Saving the view as a BMP file.

#include "app/vane.h"

namespace vorlane {

// Saving is not built yet: the command (and the save offered at exit by
// "-A ") writes nothing.
void VANE::SavePic()
{
}

void VANE::save_Click()
{
    SavePic();
}

} // namespace vorlane
