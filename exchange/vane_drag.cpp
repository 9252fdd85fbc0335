// Drag and drop: the view or the current file out, files in.

#include "app/vane.h"

// Qt
#include <QStandardPaths>

namespace vorlane {

QString VANE::dragSnapshotPath()
{
    // A private per-user folder: the program's own folder is not writable
    // once installed.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/vorlane/vorlane.bmp");
}

// Dragging out is not built yet: a press that would start it does nothing.
void VANE::startDragOut()
{
}

} // namespace vorlane
