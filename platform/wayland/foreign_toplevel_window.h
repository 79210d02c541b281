#pragma once

#include "platform/foreground_window.h"
#include "platform/wayland/window_list_title.h"

#include <QString>
#include <map>

class WaylandConnection;
struct zwlr_foreign_toplevel_handle_v1;

// The window in front on compositors that publish their windows (the
// wlroots ones: sway and others), by WindowListTitle's rule.
class ForeignToplevelWindow : public ForegroundWindow
{
public:
    // Null when the compositor does not publish its windows.
    static std::unique_ptr<ForeignToplevelWindow> create(WaylandConnection *connection);
    ~ForeignToplevelWindow() override;

    QString title() override;

private:
    // A window's changes come as a batch that its "done" event closes.
    struct Pending
    {
        QString title;
        bool active = false;
    };

    explicit ForeignToplevelWindow(WaylandConnection *connection) : m_connection(connection) {}

    WaylandConnection *m_connection;
    std::map<zwlr_foreign_toplevel_handle_v1 *, Pending> m_pending;
    WindowListTitle<zwlr_foreign_toplevel_handle_v1> m_windows;

    friend struct ToplevelEvents;
};
