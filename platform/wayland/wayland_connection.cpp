#include "platform/wayland/wayland_connection.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"
#include "plasma-window-management-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cstring>
#include <wayland-client.h>

namespace {
// The oldest versions that have every request and event used here.
constexpr uint32_t kSeatVersion = 1;
constexpr uint32_t kDataControlVersion = 1;
constexpr uint32_t kToplevelVersion = 2;
constexpr uint32_t kPlasmaWindowsVersion = 4;

template <typename T>
T *bind(wl_registry *registry, uint32_t name, const wl_interface *interface, uint32_t offered, uint32_t wanted)
{
    return static_cast<T *>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}
} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open()
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return nullptr;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    return std::unique_ptr<WaylandConnection>(new WaylandConnection(display));
}

WaylandConnection::WaylandConnection(wl_display *display) : m_display(display)
{
    static const wl_registry_listener listener = {&WaylandConnection::global, &WaylandConnection::globalRemove};
    m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(m_registry, &listener, this);
    wl_display_roundtrip(display);

    m_notifier = new QSocketNotifier(wl_display_get_fd(display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WaylandConnection::dispatch);
}

WaylandConnection::~WaylandConnection()
{
    if (m_toplevels) {
        zwlr_foreign_toplevel_manager_v1_stop(m_toplevels);
        zwlr_foreign_toplevel_manager_v1_destroy(m_toplevels);
    }
    if (m_plasmaWindows)
        org_kde_plasma_window_management_destroy(m_plasmaWindows);
    if (m_dataControl)
        zwlr_data_control_manager_v1_destroy(m_dataControl);
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandConnection::global(void *data, wl_registry *registry, uint32_t name, const char *interface,
                               uint32_t version)
{
    auto *self = static_cast<WaylandConnection *>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat)
        self->m_seat = bind<wl_seat>(registry, name, &wl_seat_interface, version, kSeatVersion);
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        self->m_dataControl = bind<zwlr_data_control_manager_v1>(
            registry, name, &zwlr_data_control_manager_v1_interface, version, kDataControlVersion);
    else if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0)
        self->m_toplevels = bind<zwlr_foreign_toplevel_manager_v1>(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, version, kToplevelVersion);
    else if (std::strcmp(interface, org_kde_plasma_window_management_interface.name) == 0)
        self->m_plasmaWindows = bind<org_kde_plasma_window_management>(
            registry, name, &org_kde_plasma_window_management_interface, version, kPlasmaWindowsVersion);
}

void WaylandConnection::globalRemove(void *, wl_registry *, uint32_t) {}

bool WaylandConnection::roundtrip()
{
    return wl_display_roundtrip(m_display) >= 0;
}

void WaylandConnection::dispatch()
{
    if (wl_display_dispatch(m_display) < 0) {
        // The compositor went away; Qt's own connection ends the program.
        m_notifier->setEnabled(false);
        return;
    }
    wl_display_flush(m_display);
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
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}
