#pragma once

// Qt
#include <QFuture>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

// Std
#include <optional>

// Local
#include "platform/qt_picture_service.h"

namespace vorlane {

// Decodes pictures the viewer is likely to show next on worker threads, so
// that loading them later finds the pixels ready. A result is handed out
// only while the file is unchanged since it was read, and only for the
// resolution it was decoded at; otherwise the caller decodes afresh. At most
// maxEntries pictures are kept.
class DecodeAhead
{
public:
    static constexpr int maxEntries = 3;

    DecodeAhead() = default;
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead &) = delete;
    DecodeAhead &operator=(const DecodeAhead &) = delete;

    // Starts decoding each path not already held, and forgets the entries
    // not named (a decode still running for one of those is left to finish
    // and is then dropped). Thread-safe with take().
    void prefetch(const QStringList &paths, double dpiX, double dpiY);

    // The outcome of an earlier prefetch of path at this resolution: waits
    // for a decode still running. The entry is removed. nullopt: nothing
    // usable is held (never prefetched, or the file changed since): decode
    // it now. A held failure comes back as a result holding nullopt.
    [[nodiscard]] std::optional<std::optional<DecodedPicture>> take(const QString &path,
                                                                   double dpiX, double dpiY);

    // True while a decode is running (for benchmarks and tests).
    [[nodiscard]] bool busy() const;
    // Waits for every running decode.
    void waitForAll() const;

private:
    // What identifies a file's content well enough: a rewrite changes the
    // modification or status-change time, a replacement the inode.
    struct Stamp
    {
        qint64 size = -1;
        qint64 mtimeNs = 0;
        qint64 ctimeNs = 0;
        quint64 inode = 0;
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };
    struct Result
    {
        Stamp stamp;
        std::optional<DecodedPicture> picture;
    };
    struct Entry
    {
        double dpiX = 0;
        double dpiY = 0;
        QFuture<Result> future;
    };
    [[nodiscard]] static Stamp stampOf(const QString &path);

    mutable QMutex m_mutex;
    QHash<QString, Entry> m_entries;
};

} // namespace vorlane
