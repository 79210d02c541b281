#include "app/exit_deadline.h"

#include <algorithm>
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

int ExitDeadline::teardownMs(int leastMs) const
{
    // Under a second from the close to the end, with a margin for the
    // process's own end and the desktop's part.
    constexpr std::chrono::milliseconds kBudget(850);
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_closeBegan);
    return int(std::max<std::chrono::milliseconds::rep>((kBudget - spent).count(), leastMs));
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
