// The undo list: zoom and crop saved before they change.

#include "app/vane.h"

// Local
#include "app/numbers.h"

namespace vorlane {

void VANE::SetUndoList()
{
    UndoList.append(formatSingle(m_size) + u',' + QString::number(m_trimx) + u','
                    + QString::number(m_trimy) + u',' + QString::number(m_trimw) + u','
                    + QString::number(m_trimh));
}

// Restoring an entry is not built yet: the entries are only recorded.
void VANE::Undo_Click()
{
}

} // namespace vorlane
