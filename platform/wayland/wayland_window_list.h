#pragma once

#include "platform/foreground_window.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/window_list_title.h"

#include <QString>
#include <memory>
#include <wayland-client.h>

// What the compositors' window lists share: the list's global, bound where
// its listener is attached, and the title by WindowListTitle's rule.
template <typename Manager, typename Window>
class WaylandWindowList : public ForegroundWindow
{
public:
    QString title() override
    {
        // Brings in whatever the compositor reported since the last tick. A
        // list the compositor ended or withdrew, or a lost connection, can
        // tell nothing about the window in front.
        if (m_connection->roundtrip() != WaylandConnection::Answer::Given || !m_manager || !m_connection->offers(m_global))
            return {};
        return m_windows.title();
    }

protected:
    WaylandWindowList(WaylandConnection *connection, uint32_t global, Manager *manager)
        : m_connection(connection), m_global(global), m_manager(manager)
    {
    }

    // Binds the list's global and attaches its listener at once: the
    // compositor announces the windows that exist as soon as it is bound.
    template <typename List, typename Listener>
    static std::unique_ptr<List> bind(WaylandConnection *connection, const wl_interface &interface, uint32_t version,
                                      const Listener &listener)
    {
        uint32_t global = 0;
        auto *manager = static_cast<Manager *>(connection ? connection->bind(interface, version, global) : nullptr);
        if (!manager)
            return nullptr;
        std::unique_ptr<List> list(new List(connection, global, manager));
        wl_proxy_add_listener(reinterpret_cast<wl_proxy *>(manager),
                              reinterpret_cast<void (**)(void)>(const_cast<Listener *>(&listener)), list.get());
        wl_display_flush(connection->display());
        return list;
    }

    WaylandConnection *m_connection;
    uint32_t m_global;
    Manager *m_manager; // null once the compositor ended the list
    WindowListTitle<Window> m_windows;
};
