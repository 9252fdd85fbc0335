#include "platform/decode_ahead.h"

// Qt
#include <QFile>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

// Std
#include <sys/stat.h>

namespace vorlane {

DecodeAhead::DecodeAhead() : m_pool(std::make_unique<QThreadPool>())
{
    m_pool->setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
}

DecodeAhead::~DecodeAhead()
{
    // Closing the window must not wait for a picture nobody will see.
    if (!stop(stopWaitMs))
        (void)m_pool.release();
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

DecodeAhead::Settings DecodeAhead::settingsOf(double dpiX, double dpiY,
                                              const DecodeOptions &options)
{
    return { dpiX, dpiY, options.fitBox, options.shrinkAbove, options.fittedSurface,
             options.workArea };
}

DecodeAhead::Result DecodeAhead::decode(const QString &path, const Settings &settings,
                                        const CancelFlag &cancel, qint64 aheadLimit,
                                        const std::shared_ptr<Tally> &tally)
{
    Result r;
    // The stamp is taken before reading: a write that lands while we decode
    // changes it, and the result is then not handed out.
    r.stamp = stampOf(path);
    DecodeOptions options;
    options.cancel = cancel.get();
    options.fitBox = settings.fitBox;
    options.shrinkAbove = settings.shrinkAbove;
    options.fittedSurface = settings.fittedSurface;
    options.workArea = settings.workArea;
    // Budgeted by what the decode will really hold, not by what the file's
    // directory or frame claims.
    if ((cancel && *cancel)
        || (aheadLimit > 0 && decodePeakBytes(path, options) > aheadLimit)) {
        r.skipped = true;
        return r;
    }
    if (tally)
        ++tally->begun;
    r.picture = decodePictureFile(path, settings.dpiX, settings.dpiY, options);
    // A cancelled decode may have given up half way.
    const bool tooLarge = r.picture && r.picture->image.sizeInBytes() > aheadLimit;
    if ((cancel && *cancel) || (aheadLimit > 0 && tooLarge)) {
        r.picture.reset();
        r.skipped = true;
    }
    if (tally) {
        // Pictures first: whoever sees every decode ended sees their count.
        tally->pictures += r.picture ? 1 : 0;
        ++tally->ended;
    }
    return r;
}

void DecodeAhead::release(QList<Entry> entries)
{
    QList<QFuture<Result>> finished;
    for (Entry &e : entries) {
        *e.cancel = true;
        if (e.future.isFinished())
            finished << e.future;
        else
            e.future.cancel(); // one still waiting for a thread need not run at all
    }
    // A decode still running frees its own result on its worker thread once
    // the last copy of its future is gone; the finished ones go to a worker.
    entries.clear();
    if (!finished.isEmpty())
        (void)QtConcurrent::run(m_pool.get(), [finished = std::move(finished)]() mutable {
            finished.clear();
        });
}

void DecodeAhead::prefetch(const QString &current, const QStringList &next, double dpiX,
                           double dpiY, const DecodeOptions &options)
{
    const Settings settings = settingsOf(dpiX, dpiY, options);
    QList<Entry> released;
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            const bool wanted = it.key() == current || next.contains(it.key());
            if (wanted && it->settings == settings) {
                ++it;
            } else {
                released << *it;
                it = m_entries.erase(it);
            }
        }
        for (const QString &path : next) {
            if (m_entries.contains(path))
                continue;
            const CancelFlag cancel = std::make_shared<std::atomic<bool>>(false);
            m_entries.insert(path, Entry { settings,
                                           QtConcurrent::run(m_pool.get(), &DecodeAhead::decode,
                                                             path, settings, cancel,
                                                             QtPictureService::maxAheadBytes,
                                                             m_tally),
                                           cancel });
        }
    }
    release(std::move(released));
}

std::optional<DecodedPicture> DecodeAhead::load(const QString &path, double dpiX, double dpiY,
                                                const DecodeOptions &options)
{
    const Settings settings = settingsOf(dpiX, dpiY, options);
    std::optional<QFuture<Result>> held;
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_entries.constFind(path);
        if (it != m_entries.constEnd() && it->settings == settings)
            held = it->future;
    }
    // Waiting for a decode that runs is never longer than decoding anew; one
    // still queued is taken over by this thread.
    if (held && !held->isCanceled()) {
        const Result &r = held->result();
        if (!r.skipped && r.stamp.size >= 0 && r.stamp == stampOf(path))
            return r.picture;
    }
    const CancelFlag cancel = std::make_shared<std::atomic<bool>>(false);
    Result fresh = decode(path, settings, nullptr, 0);
    std::optional<DecodedPicture> picture = fresh.picture;
    QList<Entry> released;
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_entries.find(path);
        if (it != m_entries.end()) {
            released << *it;
            m_entries.erase(it);
        }
        // Kept, so that stepping back to it later needs no decode.
        if (fresh.stamp.size >= 0)
            m_entries.insert(path, Entry { settings, QtFuture::makeReadyFuture(std::move(fresh)),
                                           cancel });
    }
    release(std::move(released));
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

bool DecodeAhead::stop(int waitMs)
{
    QList<Entry> all;
    {
        QMutexLocker lock(&m_mutex);
        for (const Entry &e : std::as_const(m_entries))
            all << e;
        m_entries.clear();
    }
    release(std::move(all));
    return m_pool->waitForDone(waitMs);
}

} // namespace vorlane
