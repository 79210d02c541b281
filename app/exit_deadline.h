#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Bounds the time from the end of the event loop to the end of the process.
// Everything that must outlive the program (the settings, a download's
// files) is done while the window closes; what follows is the toolkit's
// teardown, which can hang: Qt's Wayland client waits on its event thread,
// and under load that thread can wait for a read that never comes. Declared
// before the application object, so that it ends after it.
class ExitDeadline
{
public:
    ExitDeadline() = default;
    ~ExitDeadline();
    ExitDeadline(const ExitDeadline &) = delete;
    ExitDeadline &operator=(const ExitDeadline &) = delete;

    // From now on, the process ends with `status` after `milliseconds`
    // unless this object has been destroyed by then.
    void start(int status, int milliseconds);

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_watch;
};
