#include "browse/sorted_path_list.h"

// Std
#include <algorithm>
#include <numeric>

// Qt
#include <QLocale>

// Local
#include "browse/paths.h"

namespace vorlane {

SortedPathList::SortedPathList()
{
    // Names sort by the user's own collation (the interface's Japanese
    // formats leave it alone), read from the environment as the C library
    // reads it. Under the C locale Qt compares code points, with neither
    // case folding nor numbers: sort by general (English) rules there
    // instead, so a session started with LANG=C still lists files as a file
    // manager does.
    QString name;
    for (const char *variable : { "LC_ALL", "LC_COLLATE", "LANG" }) {
        name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            break;
    }
    QLocale locale(name.isEmpty() ? QStringLiteral("C") : name);
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    m_collator.setLocale(locale);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(true);
}

void SortedPathList::add(const QString &path)
{
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), path,
                                     [this](const QString &a, const QString &b) {
                                         return m_collator.compare(a, b) < 0;
                                     });
    m_entries.insert(at, path);
}

void SortedPathList::assign(std::vector<QString> paths)
{
    // Sort keys make each comparison a plain byte compare, which matters for
    // folders of tens of thousands of files.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(paths.size());
    for (const QString &p : paths)
        keys.push_back(m_collator.sortKey(p));
    std::vector<size_t> order(paths.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&keys](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    m_entries.clear();
    m_entries.reserve(paths.size());
    for (size_t i : order)
        m_entries.push_back(std::move(paths[i]));
}

int SortedPathList::indexOf(const QString &path) const
{
    const auto it = std::find(m_entries.begin(), m_entries.end(), path);
    return it == m_entries.end() ? -1 : int(it - m_entries.begin());
}

int SortedPathList::indexOfBasePath(const QString &path) const
{
    const std::optional<QString> base = basePath(path);
    if (!base)
        return -1;
    for (int i = 0; i < count(); ++i) {
        if (basePath(at(i)) == base)
            return i;
    }
    return -1;
}

} // namespace vorlane
