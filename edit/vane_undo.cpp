// The undo list: zoom and crop saved before they change.

#include "app/vane.h"

// Local
#include "edit/undo_entry.h"

namespace vorlane {

void VANE::SetUndoList()
{
    UndoList.append(formatUndoEntry({ m_size, m_trimx, m_trimy, m_trimw, m_trimh }));
}

void VANE::PopUndoList()
{
    if (UndoList.isEmpty())
        return;
    // Entries are only written by SetUndoList; one that does not read back
    // is dropped rather than shown with a zoom or size that divides by zero.
    const std::optional<UndoEntry> entry = parseUndoEntry(UndoList.takeLast());
    if (!entry)
        return;
    m_size = entry->size;
    m_trimx = entry->x;
    m_trimy = entry->y;
    m_trimw = entry->w;
    m_trimh = entry->h;
    FormResize();
}

void VANE::Undo_Click()
{
    PopUndoList();
}

} // namespace vorlane
