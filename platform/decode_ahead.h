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

// Keeps the pictures the viewer shows now and is likely to show next,
// decoding the next ones on worker threads so that loading them later finds
// the pixels ready. A kept picture is handed out only while its file is
// unchanged since it was read, and only for the resolution it was decoded
// at; otherwise it is decoded again. Pictures no longer wanted are released
// on a worker thread (freeing a large photo takes milliseconds).
class DecodeAhead
{
public:
    DecodeAhead() = default;
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead &) = delete;
    DecodeAhead &operator=(const DecodeAhead &) = delete;

    // Keeps current (if held) and the pictures in next, starts decoding
    // those of next not held yet, and releases everything else.
    // Thread-safe with load().
    void prefetch(const QString &current, const QStringList &next, double dpiX, double dpiY);

    // The decoded picture of path: the kept one when it is current (waiting
    // for a decode still running), else decoded now and kept. nullopt: the
    // file could not be read or decoded.
    [[nodiscard]] std::optional<DecodedPicture> load(const QString &path, double dpiX,
                                                     double dpiY);

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
    [[nodiscard]] static Result decode(const QString &path, double dpiX, double dpiY);
    static void releaseInBackground(QList<QFuture<Result>> futures);

    mutable QMutex m_mutex;
    QHash<QString, Entry> m_entries;
};

} // namespace vorlane
