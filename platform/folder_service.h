#pragma once

// Qt
#include <QString>

// Std
#include <functional>

namespace vorlane {

// The file system as the folder rules see it.
class FolderService
{
public:
    virtual ~FolderService() = default;

    // A directory (links followed) whose name does not begin with ".".
    // An empty path is never a folder.
    [[nodiscard]] virtual bool isFolder(const QString &path) const = 0;

    // Lists folder (a path ending in "/") in the directory's own order:
    // names without folder of regular files (links followed) not beginning
    // with "."; folders, pipes, sockets and devices are skipped. visit gets
    // each name and returns false to stop the listing early.
    virtual void forEachFile(const QString &folder,
                             const std::function<bool(const QString &name)> &visit) const = 0;
};

} // namespace vorlane
