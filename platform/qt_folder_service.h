#pragma once

// Local
#include "platform/folder_service.h"

namespace vorlane {

// The real file system through QFileInfo and QDirIterator.
class QtFolderService : public FolderService
{
public:
    [[nodiscard]] bool isFolder(const QString &path) const override;
    void forEachFile(const QString &folder,
                     const std::function<bool(const QString &name)> &visit) const override;
};

} // namespace vorlane
