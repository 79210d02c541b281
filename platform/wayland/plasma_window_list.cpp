#include "platform/wayland/plasma_window_list.h"

#include "platform/wayland/wayland_connection.h"
#include "plasma-window-management-client-protocol.h"

#include <wayland-client.h>

namespace {
// The oldest version that has every request and event used here.
constexpr uint32_t kPlasmaVersion = 4;
} // namespace

// The protocol's callbacks.
struct PlasmaWindowEvents
{
    static PlasmaWindowList *self(void *data) { return static_cast<PlasmaWindowList *>(data); }

    static void titleChanged(void *data, org_kde_plasma_window *window, const char *title)
    {
        self(data)->m_windows.setTitle(window, QString::fromUtf8(title));
    }

    static void stateChanged(void *data, org_kde_plasma_window *window, uint32_t flags)
    {
        self(data)->m_windows.setActive(window, flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
    }

    static void unmapped(void *data, org_kde_plasma_window *window)
    {
        self(data)->m_windows.remove(window);
        org_kde_plasma_window_destroy(window);
    }

    static void ignoreText(void *, org_kde_plasma_window *, const char *) {}
    static void ignoreNumber(void *, org_kde_plasma_window *, int32_t) {}
    static void ignore(void *, org_kde_plasma_window *) {}

    static void window(void *data, org_kde_plasma_window_management *manager, uint32_t id)
    {
        static const org_kde_plasma_window_listener listener = {
            .title_changed = &titleChanged,
            .app_id_changed = &ignoreText,
            .state_changed = &stateChanged,
            .virtual_desktop_changed = &ignoreNumber,
            .themed_icon_name_changed = &ignoreText,
            .unmapped = &unmapped,
            .initial_state = &ignore,
            // KWin sends some later events at any version; none matters here.
            .parent_window = [](void *, org_kde_plasma_window *, org_kde_plasma_window *) {},
            .geometry = [](void *, org_kde_plasma_window *, int32_t, int32_t, uint32_t, uint32_t) {},
            .icon_changed = &ignore,
            .pid_changed = [](void *, org_kde_plasma_window *, uint32_t) {},
            .virtual_desktop_entered = &ignoreText,
            .virtual_desktop_left = &ignoreText,
            .application_menu = [](void *, org_kde_plasma_window *, const char *, const char *) {},
            .activity_entered = &ignoreText,
            .activity_left = &ignoreText,
            .resource_name_changed = &ignoreText,
        };
        org_kde_plasma_window *handle = org_kde_plasma_window_management_get_window(manager, id);
        self(data)->m_windows.add(handle);
        org_kde_plasma_window_add_listener(handle, &listener, data);
    }

    static void showDesktopChanged(void *, org_kde_plasma_window_management *, uint32_t) {}
};

std::unique_ptr<PlasmaWindowList> PlasmaWindowList::create(WaylandConnection *connection)
{
    static const org_kde_plasma_window_management_listener listener = {
        .show_desktop_changed = &PlasmaWindowEvents::showDesktopChanged,
        .window = &PlasmaWindowEvents::window,
        .stacking_order_changed = [](void *, org_kde_plasma_window_management *, wl_array *) {},
        .stacking_order_uuid_changed = [](void *, org_kde_plasma_window_management *, const char *) {},
        .window_with_uuid = [](void *, org_kde_plasma_window_management *, uint32_t, const char *) {},
    };
    return bind<PlasmaWindowList>(connection, org_kde_plasma_window_management_interface, kPlasmaVersion, listener);
}

PlasmaWindowList::~PlasmaWindowList()
{
    m_windows.forEachWindow(&org_kde_plasma_window_destroy);
    org_kde_plasma_window_management_destroy(m_manager);
    wl_display_flush(m_connection->display());
}
