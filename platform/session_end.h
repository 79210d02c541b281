#pragma once

#include <QObject>

class QSocketNotifier;

// The session's request to end: SIGTERM (logout, a service manager, kill),
// SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal gone). The signal
// handler only writes to a pipe; the request reaches the program through the
// event loop, where it may close windows and write files.
class SessionEndWatcher : public QObject
{
    Q_OBJECT
public:
    // Takes over the three signals until destroyed. Only one at a time.
    explicit SessionEndWatcher(QObject *parent = nullptr);
    ~SessionEndWatcher() override;

signals:
    // Once for the signals that arrived since the event loop last looked.
    void endRequested();

private:
    void drain();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
};
