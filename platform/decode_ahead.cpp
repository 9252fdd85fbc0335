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

DecodeAhead::Result DecodeAhead::decode(const QString &path, double dpiX, double dpiY)
{
    Result r;
    // The stamp is taken before reading: a write that lands while we decode
    // changes it, and the result is then not handed out.
    r.stamp = stampOf(path);
    r.picture = decodePictureFile(path, dpiX, dpiY);
    return r;
}

void DecodeAhead::releaseInBackground(QList<QFuture<Result>> futures)
{
    if (futures.isEmpty())
        return;
    for (QFuture<Result> &f : futures)
        f.cancel(); // one still waiting for a thread need not run at all
    // The last copy of each result goes with the task, on a worker thread.
    (void)QtConcurrent::run([futures = std::move(futures)]() mutable {
        for (QFuture<Result> &f : futures)
            f.waitForFinished();
        futures.clear();
    });
}

void DecodeAhead::prefetch(const QString &current, const QStringList &next, double dpiX,
                           double dpiY)
{
    QList<QFuture<Result>> released;
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            const bool wanted = it.key() == current || next.contains(it.key());
            if (wanted && it->dpiX == dpiX && it->dpiY == dpiY) {
                ++it;
            } else {
                released << it->future;
                it = m_entries.erase(it);
            }
        }
        for (const QString &path : next) {
            if (m_entries.contains(path))
                continue;
            Entry entry { dpiX, dpiY, QtConcurrent::run(&DecodeAhead::decode, path, dpiX, dpiY) };
            m_entries.insert(path, entry);
        }
    }
    releaseInBackground(std::move(released));
}

std::optional<DecodedPicture> DecodeAhead::load(const QString &path, double dpiX, double dpiY)
{
    std::optional<QFuture<Result>> held;
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_entries.constFind(path);
        if (it != m_entries.constEnd() && it->dpiX == dpiX && it->dpiY == dpiY)
            held = it->future;
    }
    if (held && !held->isCanceled()) {
        const Result &r = held->result();
        if (r.stamp.size >= 0 && r.stamp == stampOf(path))
            return r.picture;
    }
    Result fresh = decode(path, dpiX, dpiY);
    std::optional<DecodedPicture> picture = fresh.picture;
    QList<QFuture<Result>> released;
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_entries.find(path);
        if (it != m_entries.end()) {
            released << it->future;
            m_entries.erase(it);
        }
        // Kept, so that stepping back to it later needs no decode.
        if (fresh.stamp.size >= 0)
            m_entries.insert(path, Entry { dpiX, dpiY, QtFuture::makeReadyFuture(std::move(fresh)) });
    }
    releaseInBackground(std::move(released));
    return picture;
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
