#pragma once

// Qt
#include <QFuture>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

// Std
#include <atomic>
#include <memory>
#include <optional>

// Local
#include "platform/qt_picture_service.h"

class QThreadPool;

namespace vorlane {

// Keeps the pictures the viewer shows now and is likely to show next,
// decoding the next ones on worker threads (one per core) so that loading
// them later finds the pixels ready. A kept picture is handed out only while
// its file is unchanged since it was read, and only for the resolution and
// options it was decoded with; otherwise it is decoded again.
//
// Memory stays bounded: a picture whose decode would hold more than
// QtPictureService::maxAheadBytes, as its headers tell (decodePeakBytes()),
// is not decoded ahead (it is decoded when loaded), so what is kept and
// decoding besides the shown picture is at most three times that. Decodes nobody waits for any more are cancelled, and
// pictures no longer wanted are released on a worker thread (freeing a large
// photo takes milliseconds).
class DecodeAhead
{
public:
    DecodeAhead();
    // Cancels every decode and waits for them at most stopWaitMs: a decode
    // that does not stop by then is left to end with the process.
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead &) = delete;
    DecodeAhead &operator=(const DecodeAhead &) = delete;

    static constexpr int stopWaitMs = 250;

    // How many decodes ahead began reading their file, how many have ended,
    // and how many of those ended with a picture rather than giving up. It
    // outlives this object, so that the decodes left to end with the process
    // can still be counted.
    struct Tally
    {
        std::atomic<int> begun = 0;
        std::atomic<int> ended = 0;
        std::atomic<int> pictures = 0;
    };
    [[nodiscard]] std::shared_ptr<const Tally> tally() const { return m_tally; }

    // Keeps current (if held) and the pictures in next, starts decoding
    // those of next not held yet, in that order, and releases everything
    // else. Thread-safe with load().
    void prefetch(const QString &current, const QStringList &next, double dpiX, double dpiY,
                  const DecodeOptions &options = {});

    // The decoded picture of path: the kept one when it is current (waiting
    // for a decode still running), else decoded now and kept. nullopt: the
    // file could not be read or decoded.
    [[nodiscard]] std::optional<DecodedPicture> load(const QString &path, double dpiX,
                                                     double dpiY,
                                                     const DecodeOptions &options = {});

    // Waits for every running decode.
    void waitForAll() const;
    // Cancels every decode, forgets every picture and waits at most waitMs
    // for the decodes to end. true: none runs any more.
    bool stop(int waitMs);

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
    // What a decode depends on besides the file.
    struct Settings
    {
        double dpiX = 0;
        double dpiY = 0;
        QSize fitBox;
        qint64 shrinkAbove = 0;
        QtPictureService::FittedSurface fittedSurface = nullptr;
        QSizeF workArea;
        friend bool operator==(const Settings &, const Settings &) = default;
    };
    struct Result
    {
        Stamp stamp;
        std::optional<DecodedPicture> picture;
        // Not decoded ahead (too large, or cancelled): load() decodes it.
        bool skipped = false;
    };
    using CancelFlag = std::shared_ptr<std::atomic<bool>>;
    struct Entry
    {
        Settings settings;
        QFuture<Result> future;
        CancelFlag cancel;
    };
    [[nodiscard]] static Stamp stampOf(const QString &path);
    [[nodiscard]] static Settings settingsOf(double dpiX, double dpiY,
                                             const DecodeOptions &options);
    // aheadLimit: skip a picture that would decode to more bytes (0: none).
    // tally: where a decode that begins is counted; nullptr: nowhere.
    [[nodiscard]] static Result decode(const QString &path, const Settings &settings,
                                       const CancelFlag &cancel, qint64 aheadLimit,
                                       const std::shared_ptr<Tally> &tally = nullptr);
    void release(QList<Entry> entries);

    mutable QMutex m_mutex;
    QHash<QString, Entry> m_entries;
    std::shared_ptr<Tally> m_tally = std::make_shared<Tally>();
    // Owned, except when a decode outlived the destructor's wait.
    std::unique_ptr<QThreadPool> m_pool;
};

} // namespace vorlane
