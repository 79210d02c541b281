#include "platform/session_end.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's write end, for the handler; -1 while no watcher exists.
volatile sig_atomic_t writeEnd = -1;

void onSignal(int signalNumber)
{
    // Only async-signal-safe calls here. A full pipe already holds requests
    // enough; that byte may be dropped.
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}
} // namespace

SessionEndWatcher::SessionEndWatcher(QObject *parent) : QObject(parent)
{
    // Without a pipe the signals keep their default: the program ends at once.
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd = m_pipe[1];
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEndWatcher::drain);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on as if nothing had happened.
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

SessionEndWatcher::~SessionEndWatcher()
{
    if (!m_notifier)
        return;
    for (int signalNumber : kSignals)
        std::signal(signalNumber, SIG_DFL);
    writeEnd = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void SessionEndWatcher::drain()
{
    char bytes[16];
    while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit endRequested();
}
