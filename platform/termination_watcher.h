#pragma once

// Qt
#include <QObject>

class QSocketNotifier;

namespace vorlane {

// Turns SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C in a terminal)
// into a signal on the event loop, so the program can close its window the
// ordinary way and keep its settings. A second such signal ends the program
// at once, whether or not the first could be handled. One instance at a time.
class TerminationWatcher : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace vorlane
