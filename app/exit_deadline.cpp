#include "app/exit_deadline.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

ExitDeadline::~ExitDeadline()
{
    if (!m_watch.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_all();
    m_watch.join();
}

void ExitDeadline::start(int status, int milliseconds)
{
    m_watch = std::thread([this, status, milliseconds] {
        std::unique_lock lock(m_mutex);
        if (m_done.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_finished; }))
            return;
        std::fprintf(stderr, "serimo: the window system's teardown took over %d ms; ending without it\n",
                     milliseconds);
        std::fflush(nullptr);
        ::_exit(status);
    });
}
