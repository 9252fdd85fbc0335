#include "browse/paths.h"

// Std
#include <array>

namespace vorlane {

static QString lastThreeLower(const QString &name)
{
    return name.right(3).toLower();
}

bool IsBitmapFile(const QString &name)
{
    static const std::array<QString, 6> kinds { "bmp", "gif", "jpg", "peg", "ico", "wmf" };
    const QString tail = lastThreeLower(name);
    for (const QString &k : kinds)
        if (tail == k)
            return true;
    return false;
}

bool IsSoundFile(const QString &name)
{
    static const std::array<QString, 3> kinds { "mid", "wav", "mp3" };
    const QString tail = lastThreeLower(name);
    for (const QString &k : kinds)
        if (tail == k)
            return true;
    return false;
}

// Zero-based index of the split: the last "/", or 0 when there is none
// (the scan stops at the first character whatever it is).
static qsizetype splitIndex(const QString &path)
{
    qsizetype n = path.size() - 1;
    while (n > 0 && path[n] != u'/')
        --n;
    return n;
}

std::optional<QString> GetFileName(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    return path.mid(splitIndex(path) + 1);
}

QString GetDirName(const QString &path)
{
    if (path.isEmpty())
        return {};
    return path.left(splitIndex(path) + 1);
}

std::optional<QString> basePath(const QString &path)
{
    const qsizetype length = path.size();
    // p: 1-based position of the first dot within the last four characters.
    qsizetype p = 0;
    const qsizetype tailStart = qMax<qsizetype>(0, length - 4);
    const qsizetype dot = path.indexOf(u'.', tailStart);
    if (dot >= 0)
        p = dot - tailStart + 1;
    const qsizetype keep = length + p - 4;
    if (keep < 0)
        return std::nullopt;
    return path.left(keep);
}

std::optional<QString> memoFileFor(const QString &path)
{
    if (GetDirName(path).isEmpty())
        return QString();
    const std::optional<QString> base = basePath(path);
    if (!base)
        return std::nullopt;
    return *base + QStringLiteral("txt");
}

} // namespace vorlane
