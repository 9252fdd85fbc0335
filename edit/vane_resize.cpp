// The resize dialog and crop mode.

#include "app/vane.h"

namespace vorlane {

void VANE::ResizeDlg_Click()
{
    Form_DblClick();
}

void VANE::showResizeBox()
{
}

void VANE::trimpic_Click()
{
}

} // namespace vorlane
