#include "platform/termination_watcher.h"

// Qt
#include <QSocketNotifier>

// Std
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlane {

static int signalFds[2] = { -1, -1 };
static volatile sig_atomic_t signalsReceived = 0;

// Only async-signal-safe work here: one byte down the pipe. A second signal
// ends the program at once, as if it had not been caught: the first may be
// waiting behind work that blocks the event loop.
static void onSignal(int sig)
{
    if (signalsReceived) {
        ::signal(sig, SIG_DFL);
        ::raise(sig);
        return;
    }
    signalsReceived = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalFds[0], &byte, 1);
}

TerminationWatcher::TerminationWatcher(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalFds) != 0)
        return;
    m_notifier = new QSocketNotifier(signalFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalFds[1], &byte, 1);
        emit terminationRequested();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(sig, &action, nullptr);
}

TerminationWatcher::~TerminationWatcher()
{
    for (int sig : { SIGTERM, SIGINT, SIGHUP })
        ::signal(sig, SIG_DFL);
    ::close(signalFds[0]);
    ::close(signalFds[1]);
    signalFds[0] = signalFds[1] = -1;
    signalsReceived = 0;
}

} // namespace vorlane
