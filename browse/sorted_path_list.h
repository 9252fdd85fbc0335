#pragma once

// Qt
#include <QCollator>
#include <QString>

// Std
#include <vector>

namespace vorlane {

// A list of paths kept in ascending order as a file manager sorts:
// case-insensitive, locale-aware, digits compared by value (img2 before
// img10). Equal entries keep the order they were added in. Indexes are
// zero-based; look-ups are exact and case-sensitive. No size bound.
class SortedPathList
{
public:
    SortedPathList();

    [[nodiscard]] int count() const { return int(m_entries.size()); }
    [[nodiscard]] bool isEmpty() const { return m_entries.empty(); }
    // Entry i; i must be within 0 .. count() − 1.
    [[nodiscard]] const QString &at(int i) const { return m_entries[size_t(i)]; }
    [[nodiscard]] const std::vector<QString> &entries() const { return m_entries; }

    void clear() { m_entries.clear(); }
    // Adds one path in its sorted place, after entries that compare equal.
    void add(const QString &path);
    // Adds one path at the end, out of sorted order: dropped files keep the
    // order they were dropped in.
    void append(const QString &path) { m_entries.push_back(path); }
    // Replaces the contents with paths, sorted; the same result as adding
    // them one by one in this order, in O(n log n).
    void assign(std::vector<QString> paths);
    // Index of the first entry equal to path (case-sensitive), or -1.
    [[nodiscard]] int indexOf(const QString &path) const;
    // Index of the first entry with the same base path as path (the pairing
    // of pictures with sounds), or -1; -1 for a path that has none.
    [[nodiscard]] int indexOfBasePath(const QString &path) const;

private:
    QCollator m_collator;
    std::vector<QString> m_entries;
};

} // namespace vorlane
