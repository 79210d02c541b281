#include "platform/wayland/wayland_connection.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <wayland-client.h>

namespace {
// The oldest version that has every request and event used here.
constexpr uint32_t kSeatVersion = 1;
using Answer = WaylandConnection::Answer;
// Before the window is shown, a busy compositor (a nested one drawing in
// software, one starting on a loaded machine) may need seconds to list what
// it offers; an answer missed here would leave Serimo without the clipboard
// and the window list it works through while another window has the focus.
constexpr int kStartAnswerTimeoutMs = 5000;

// Sends what is queued and dispatches events until the compositor answered
// everything sent before, or until the deadline.
Answer roundtripWithin(wl_display *display, int timeoutMs)
{
    static const wl_callback_listener listener = {
        [](void *data, wl_callback *, uint32_t) { *static_cast<bool *>(data) = true; }};
    bool answered = false;
    wl_callback *callback = wl_display_sync(display);
    if (!callback)
        return Answer::Lost;
    wl_callback_add_listener(callback, &listener, &answered);
    const QDeadlineTimer deadline(timeoutMs);
    Answer result = Answer::Given;
    while (!answered) {
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) >= 0)
                continue;
            result = Answer::Lost;
            break;
        }
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            result = Answer::Lost;
            break;
        }
        pollfd ready{wl_display_get_fd(display), POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(deadline.remainingTime()));
        if (polled <= 0) {
            wl_display_cancel_read(display);
            if (polled < 0 && errno == EINTR)
                continue;
            result = polled == 0 ? Answer::Late : Answer::Lost;
            break;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) {
            result = Answer::Lost;
            break;
        }
    }
    // A late answer finds the callback gone; libwayland drops it.
    wl_callback_destroy(callback);
    return result;
}
} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open()
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return nullptr;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    return takeOver(display);
}

std::unique_ptr<WaylandConnection> WaylandConnection::takeOver(wl_display *display)
{
    return std::unique_ptr<WaylandConnection>(new WaylandConnection(display));
}

WaylandConnection::WaylandConnection(wl_display *display) : m_display(display)
{
    static const wl_registry_listener listener = {&WaylandConnection::global, &WaylandConnection::globalRemove};
    m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(m_registry, &listener, this);
    if (roundtripWithin(display, kStartAnswerTimeoutMs) == Answer::Lost)
        lose();
    uint32_t seatName = 0;
    m_seat = static_cast<wl_seat *>(bind(wl_seat_interface, kSeatVersion, seatName));

    m_notifier = new QSocketNotifier(wl_display_get_fd(display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WaylandConnection::dispatch);
}

WaylandConnection::~WaylandConnection()
{
    // The notifier watches the descriptor that disconnecting closes.
    delete m_notifier;
    m_notifier = nullptr;
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandConnection::global(void *data, wl_registry *, uint32_t name, const char *interface, uint32_t version)
{
    // The first of a kind, unless it was withdrawn.
    auto *self = static_cast<WaylandConnection *>(data);
    const auto known = self->m_globals.find(interface);
    if (known == self->m_globals.end() || !self->offers(known->second.name))
        self->m_globals[interface] = {name, version};
}

void WaylandConnection::globalRemove(void *data, wl_registry *, uint32_t name)
{
    static_cast<WaylandConnection *>(data)->m_removed.insert(name);
}

void *WaylandConnection::bind(const wl_interface &interface, uint32_t version, uint32_t &name)
{
    const auto found = m_globals.find(interface.name);
    if (!m_alive || found == m_globals.end() || !offers(found->second.name))
        return nullptr;
    name = found->second.name;
    return wl_registry_bind(m_registry, name, &interface, std::min(found->second.version, version));
}

WaylandConnection::Answer WaylandConnection::roundtrip(int timeoutMs)
{
    if (!m_alive)
        return Answer::Lost;
    const Answer answer = roundtripWithin(m_display, timeoutMs);
    if (answer == Answer::Lost)
        lose();
    return answer;
}

void WaylandConnection::lose()
{
    m_alive = false;
    if (m_notifier)
        m_notifier->setEnabled(false);
}

void WaylandConnection::dispatch()
{
    // Reads only what the socket holds: a roundtrip elsewhere may already
    // have taken what woke the notifier.
    bool alive = true;
    while (alive && wl_display_prepare_read(m_display) != 0)
        alive = wl_display_dispatch_pending(m_display) >= 0;
    alive = alive && wl_display_read_events(m_display) >= 0 && wl_display_dispatch_pending(m_display) >= 0;
    if (alive)
        wl_display_flush(m_display);
    else
        lose();
}

bool compositorOffersDataControl()
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return false;
    bool offered = false;
    static const wl_registry_listener listener = {
        [](void *data, wl_registry *, uint32_t, const char *interface, uint32_t) {
            if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
                *static_cast<bool *>(data) = true;
        },
        [](void *, wl_registry *, uint32_t) {},
    };
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    if (roundtripWithin(display, kStartAnswerTimeoutMs) != Answer::Given)
        offered = false;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}
