#include "platform/qt_folder_service.h"

// Qt
#include <QDirIterator>
#include <QFileInfo>

namespace vorlane {

bool QtFolderService::isFolder(const QString &path) const
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    // The folder's own name: the last component, trailing "/" ignored.
    QStringView name(path);
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    // A hidden folder does not open; "." and ".." name the current and
    // parent folders, which are not hidden.
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return true;
    return !name.startsWith(QLatin1Char('.'));
}

void QtFolderService::forEachFile(const QString &folder,
                                  const std::function<bool(const QString &name)> &visit) const
{
    // Files only: without QDir::System, pipes, sockets, devices and broken
    // links are left out; without QDir::Hidden, dot-files are too.
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (!visit(it.fileName()))
            return;
    }
}

} // namespace vorlane
