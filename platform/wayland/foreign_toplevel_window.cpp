#include "platform/wayland/foreign_toplevel_window.h"

#include "platform/wayland/wayland_connection.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <wayland-client.h>

// The protocol's callbacks. A window's changes come as a batch that its
// "done" event closes.
struct ToplevelEvents
{
    static ForeignToplevelWindow *self(void *data) { return static_cast<ForeignToplevelWindow *>(data); }

    static void title(void *data, zwlr_foreign_toplevel_handle_v1 *handle, const char *title)
    {
        self(data)->m_toplevels[handle].pendingTitle = QString::fromUtf8(title);
    }

    static void state(void *data, zwlr_foreign_toplevel_handle_v1 *handle, wl_array *states)
    {
        bool active = false;
        const auto *state = static_cast<const uint32_t *>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            active = active || state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        self(data)->m_toplevels[handle].pendingActive = active;
    }

    static void done(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        ForeignToplevelWindow *window = self(data);
        ForeignToplevelWindow::Toplevel &toplevel = window->m_toplevels[handle];
        toplevel.title = toplevel.pendingTitle;
        if (toplevel.pendingActive)
            window->m_active = handle;
        else if (window->m_active == handle)
            window->m_active = nullptr; // the last title stands until another window is active
        if (window->m_active == handle)
            window->m_lastTitle = toplevel.title;
    }

    static void closed(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        ForeignToplevelWindow *window = self(data);
        if (window->m_active == handle)
            window->m_active = nullptr;
        window->m_toplevels.erase(handle);
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
    }

    static void appId(void *, zwlr_foreign_toplevel_handle_v1 *, const char *) {}
    static void output(void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {}
    static void parent(void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {}

    static void toplevel(void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        static const zwlr_foreign_toplevel_handle_v1_listener listener = {
            &title, &appId, &output, &output, &state, &done, &closed, &parent};
        self(data)->m_toplevels[handle];
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, data);
    }

    static void finished(void *, zwlr_foreign_toplevel_manager_v1 *) {}
};

std::unique_ptr<ForeignToplevelWindow> ForeignToplevelWindow::create(WaylandConnection *connection)
{
    if (!connection || !connection->toplevels())
        return nullptr;
    static const zwlr_foreign_toplevel_manager_v1_listener listener = {&ToplevelEvents::toplevel,
                                                                       &ToplevelEvents::finished};
    std::unique_ptr<ForeignToplevelWindow> window(new ForeignToplevelWindow(connection));
    zwlr_foreign_toplevel_manager_v1_add_listener(connection->toplevels(), &listener, window.get());
    connection->roundtrip();
    return window;
}

ForeignToplevelWindow::~ForeignToplevelWindow()
{
    for (const auto &entry : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(entry.first);
}

QString ForeignToplevelWindow::title()
{
    // Brings in whatever the compositor reported since the last tick.
    m_connection->roundtrip();
    return m_lastTitle;
}
