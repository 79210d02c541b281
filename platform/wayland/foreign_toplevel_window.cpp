#include "platform/wayland/foreign_toplevel_window.h"

#include "platform/wayland/wayland_connection.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <wayland-client.h>

namespace {
// The oldest version that has every request and event used here.
constexpr uint32_t kToplevelVersion = 2;
} // namespace

// The protocol's callbacks.
struct ToplevelEvents
{
    static ForeignToplevelWindow *self(void *data) { return static_cast<ForeignToplevelWindow *>(data); }

    static void title(void *data, zwlr_foreign_toplevel_handle_v1 *handle, const char *title)
    {
        self(data)->m_pending[handle].title = QString::fromUtf8(title);
    }

    static void state(void *data, zwlr_foreign_toplevel_handle_v1 *handle, wl_array *states)
    {
        bool active = false;
        const auto *state = static_cast<const uint32_t *>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            active = active || state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        self(data)->m_pending[handle].active = active;
    }

    static void done(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        ForeignToplevelWindow *window = self(data);
        const ForeignToplevelWindow::Pending &pending = window->m_pending[handle];
        window->m_windows.setTitle(handle, pending.title);
        window->m_windows.setActive(handle, pending.active);
    }

    static void closed(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        ForeignToplevelWindow *window = self(data);
        window->m_pending.erase(handle);
        window->m_windows.remove(handle);
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
    }

    static void appId(void *, zwlr_foreign_toplevel_handle_v1 *, const char *) {}
    static void output(void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {}
    static void parent(void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {}

    static void toplevel(void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        static const zwlr_foreign_toplevel_handle_v1_listener listener = {
            &title, &appId, &output, &output, &state, &done, &closed, &parent};
        self(data)->m_windows.add(handle);
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, data);
    }

    static void finished(void *data, zwlr_foreign_toplevel_manager_v1 *manager)
    {
        // The compositor sends no more windows and has destroyed the list.
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        self(data)->m_manager = nullptr;
    }
};

std::unique_ptr<ForeignToplevelWindow> ForeignToplevelWindow::create(WaylandConnection *connection)
{
    static const zwlr_foreign_toplevel_manager_v1_listener listener = {&ToplevelEvents::toplevel,
                                                                       &ToplevelEvents::finished};
    return bind<ForeignToplevelWindow>(connection, zwlr_foreign_toplevel_manager_v1_interface, kToplevelVersion, listener);
}

ForeignToplevelWindow::~ForeignToplevelWindow()
{
    m_windows.forEachWindow(&zwlr_foreign_toplevel_handle_v1_destroy);
    if (m_manager) {
        zwlr_foreign_toplevel_manager_v1_stop(m_manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }
    wl_display_flush(m_connection->display());
}
