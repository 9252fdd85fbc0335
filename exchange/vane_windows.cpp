// The side windows: memo, file list, about and options, thumbnails.

#include "app/vane.h"

namespace vorlane {

// The side windows are not built yet: their commands open nothing, and
// there is nothing to close at exit.

void VANE::Memo_Click()
{
}

void VANE::ListView_Click()
{
}

void VANE::info_Click()
{
}

void VANE::closeSideWindows()
{
}

void VANE::closeMemoWindow()
{
}

} // namespace vorlane
