#pragma once

// Qt
#include <QHash>
#include <QSet>
#include <QStringList>

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
        const auto chosen = order.constFind(folder);
        if (chosen == order.constEnd()) {
            m_real.forEachFile(folder, visit);
            return;
        }
        QStringList names;
        m_real.forEachFile(folder, [&names](const QString &n) {
            names << n;
            return true;
        });
        QStringList listed;
        for (const QString &n : *chosen)
            if (names.contains(n))
                listed << n;
        const QSet<QString> first(listed.cbegin(), listed.cend());
        for (const QString &n : names)
            if (!first.contains(n))
                listed << n;
        for (const QString &n : listed)
            if (!visit(n))
                return;
    }

private:
    QtFolderService m_real;
};

} // namespace vorlane::test
