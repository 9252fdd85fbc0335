// The resize dialog and crop mode.

#include "app/vane.h"

namespace vorlane {

void VANE::ResizeDlg_Click()
{
    Form_DblClick();
}

// The resize dialog is not built yet: the gestures that open it only refit.
void VANE::showResizeBox()
{
}

// Crop mode is not built yet.
void VANE::trimpic_Click()
{
}

} // namespace vorlane
