// Opening the resize dialog.

#include "app/vane.h"

// Local
#include "edit/resize_box.h"

namespace vorlane {

void VANE::ResizeDlg_Click()
{
    Form_DblClick();
}

void VANE::showResizeBox()
{
    // Made fresh each time: every opening starts from the current state.
    ReSizeBox box(*this, this);
    box.exec();
}

} // namespace vorlane
