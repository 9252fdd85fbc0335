// The resize dialog.

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

} // namespace vorlane
