// The clipboard: the view out, a bitmap in.

#include "app/vane.h"

namespace vorlane {

void VANE::CopyViewToClipboard()
{
    ClipboardService &clipboard = m_services.clipboard;
    clipboard.clear();
    clipboard.setImage(Picture1->Image());
}

// Pasting is not built yet: the command changes nothing.
void VANE::PasteFromClipboard()
{
}

void VANE::EditCopy_Click()
{
    CopyViewToClipboard();
}

void VANE::EditPaste_Click()
{
    PasteFromClipboard();
}

} // namespace vorlane
