#pragma once

// Qt
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcTiming)

namespace vorlane {

// The "vorlane.timing" trace (off by default; on with
// QT_LOGGING_RULES="vorlane.timing=true"): one line on standard error when
// a load has ended in a drawn view,
//   shown <file name> decode=<ms> fit=<ms> draw=<ms> since-input=<ms>
// and "ready <ms>" when the first view after start-up is on screen. The
// window title cannot tell an outside observer that: it is set before the
// decode. With "ready" comes one line of the start-up stages passed until
// then, each as <name>=<ms since the process clock started>:
//   startup app=21.0 icon=21.4 ... painted=97.3
class LoadTrace
{
public:
    // The clock "ready" counts from; call first thing in main().
    static void startProcessClock();
    // Marks the end of a start-up stage (name: a string literal). Cheap
    // enough to leave in: a clock read, no output until "ready".
    static void stage(const char *name);

    // A key, menu command, timer tick or drop that may start a load.
    void markInput();
    void beginLoad(const QString &fileName);
    void decoded(bool ok);
    void beginFit();
    void endFit();
    void beginDraw();
    // The surface has been painted on screen.
    void viewPainted();

private:
    [[nodiscard]] static bool enabled();

    QElapsedTimer m_input;
    QElapsedTimer m_step;
    QString m_name;
    bool m_loading = false; // decoding
    bool m_pending = false; // decoded, waiting to be on screen
    bool m_readyReported = false;
    qint64 m_decodeNs = 0;
    qint64 m_fitNs = 0;
    qint64 m_drawStartNs = 0;
    QElapsedTimer m_load;
};

} // namespace vorlane
