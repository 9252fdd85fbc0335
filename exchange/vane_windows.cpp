// The side windows: memo, file list, about and options, thumbnails.

#include "app/vane.h"

// Local
#include "exchange/frm_list.h"

namespace vorlane {

// The side windows are not built yet: their commands open nothing, and
// there is nothing to close at exit.

void VANE::Memo_Click()
{
}

void VANE::info_Click()
{
}

void VANE::closeSideWindows()
{
    if (m_listWindow)
        m_listWindow->close();
}

void VANE::closeMemoWindow()
{
}

} // namespace vorlane
