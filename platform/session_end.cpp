#include "platform/session_end.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {
constexpr int kSignals[SessionEndWatcher::kSignalCount] = {SIGTERM, SIGINT, SIGHUP};

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
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        // A signal ignored by whoever started Serimo (nohup) stays ignored.
        struct sigaction &previous = m_previous[i];
        m_taken[i] = ::sigaction(kSignals[i], nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN
                     && ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

SessionEndWatcher::~SessionEndWatcher()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (m_taken[i])
            ::sigaction(kSignals[i], &m_previous[i], nullptr);
    }
    writeEnd = -1;
    m_notifier->setEnabled(false);
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void SessionEndWatcher::drain()
{
    char bytes[16];
    while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
    }
    m_requested = true;
    emit endRequested();
}
