// The side windows: memo, file list, about and options, thumbnails.

#include "app/vane.h"

namespace vorlane {

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
