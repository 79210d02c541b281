#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

// The session's request to end: SIGTERM (logout, a service manager, kill),
// SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal gone). The signal
// handler only writes to a pipe; the request reaches the program through the
// event loop, where it may close windows and write files.
class SessionEndWatcher : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSignalCount = 3;

    // Takes over the three signals, except those ignored when Serimo
    // started, until destroyed; then they get their earlier handling back.
    // Only one at a time.
    explicit SessionEndWatcher(QObject *parent = nullptr);
    ~SessionEndWatcher() override;
    // Whether a request has come, also one nobody was connected to yet.
    bool requested() const { return m_requested; }

signals:
    // Once for the signals that arrived since the event loop last looked.
    void endRequested();

private:
    void drain();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_previous[kSignalCount] = {};
    bool m_taken[kSignalCount] = {};
    bool m_requested = false;
};
