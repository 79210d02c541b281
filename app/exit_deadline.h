#pragma once

#include <chrono>
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

    // The window began to close: what is left of the second from then on,
    // once the settings are written and a download ended, is the teardown's
    // (at least `leastMs`).
    void closeBegan() { m_closeBegan = std::chrono::steady_clock::now(); }
    int teardownMs(int leastMs) const;

private:
    std::chrono::steady_clock::time_point m_closeBegan = std::chrono::steady_clock::now();

    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_watch;
};
