#pragma once

// Qt
#include <QHash>
#include <QStringList>

// Std
#include <algorithm>

// Local
#include "platform/qt_folder_service.h"

namespace vorlane::test {

// The real file system, except that a test may choose the order in which a
// folder lists its files (the directory's own order is the file system's
// business and differs between machines).
class ChosenOrderFolders : public FolderService
{
public:
    // folder (as the viewer names it, ending in "/") → names in the order
    // wanted; files not named come after them, in the real order.
    QHash<QString, QStringList> order;

    [[nodiscard]] bool isFolder(const QString &path) const override
    {
        return m_real.isFolder(path);
    }
    void forEachFile(const QString &folder,
                     const std::function<bool(const QString &)> &visit) const override
    {
        QStringList names;
        m_real.forEachFile(folder, [&names](const QString &n) {
            names << n;
            return true;
        });
        // Names not chosen (index -1) rank last, as the largest unsigned number.
        const QStringList chosen = order.value(folder);
        std::ranges::stable_sort(names, {}, [&](const QString &n) { return size_t(chosen.indexOf(n)); });
        for (const QString &n : names)
            if (!visit(n))
                return;
    }

private:
    QtFolderService m_real;
};

} // namespace vorlane::test
