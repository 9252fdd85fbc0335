#include "platform/decode_ahead.h"

// Qt
#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

// Std
#include <sys/stat.h>

namespace vorlane {

DecodeAhead::~DecodeAhead()
{
    waitForAll();
}

DecodeAhead::Stamp DecodeAhead::stampOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    Stamp s;
    s.size = qint64(st.st_size);
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.ctimeNs = qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    s.inode = quint64(st.st_ino);
    return s;
}

void DecodeAhead::prefetch(const QStringList &paths, double dpiX, double dpiY)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (paths.contains(it.key())) {
            ++it;
        } else {
            // A decode still waiting for a thread need not run at all.
            it->future.cancel();
            it = m_entries.erase(it);
        }
    }
    for (const QString &path : paths) {
        if (m_entries.size() >= maxEntries)
            break;
        auto held = m_entries.constFind(path);
        if (held != m_entries.constEnd() && held->dpiX == dpiX && held->dpiY == dpiY)
            continue;
        Entry entry;
        entry.dpiX = dpiX;
        entry.dpiY = dpiY;
        entry.future = QtConcurrent::run([path, dpiX, dpiY] {
            Result r;
            // The stamp is taken before reading: a write that lands while we
            // decode changes it, and the result is then not used.
            r.stamp = stampOf(path);
            r.picture = decodePictureFile(path, dpiX, dpiY);
            return r;
        });
        m_entries.insert(path, entry);
    }
}

std::optional<std::optional<DecodedPicture>> DecodeAhead::take(const QString &path, double dpiX,
                                                               double dpiY)
{
    Entry entry;
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_entries.find(path);
        if (it == m_entries.end())
            return std::nullopt;
        entry = it.value();
        m_entries.erase(it);
    }
    if (entry.dpiX != dpiX || entry.dpiY != dpiY)
        return std::nullopt;
    Result result = entry.future.result();
    if (result.stamp.size < 0 || !(result.stamp == stampOf(path)))
        return std::nullopt;
    return std::move(result.picture);
}

bool DecodeAhead::busy() const
{
    QMutexLocker lock(&m_mutex);
    for (const Entry &e : m_entries)
        if (e.future.isRunning())
            return true;
    return false;
}

void DecodeAhead::waitForAll() const
{
    QList<QFuture<Result>> futures;
    {
        QMutexLocker lock(&m_mutex);
        for (const Entry &e : m_entries)
            futures << e.future;
    }
    for (QFuture<Result> &f : futures)
        f.waitForFinished();
}

} // namespace vorlane
