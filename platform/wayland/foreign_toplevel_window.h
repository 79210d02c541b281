#pragma once

#include "platform/foreground_window.h"

#include <QString>
#include <map>

class WaylandConnection;
struct zwlr_foreign_toplevel_handle_v1;

// The window in front on compositors that publish their windows (the
// wlroots ones: sway and others): the title of the window last reported
// active. Between two focus changes no window is active for a moment; the
// last known title stands until the next one arrives.
class ForeignToplevelWindow : public ForegroundWindow
{
public:
    // Null when the compositor does not publish its windows.
    static std::unique_ptr<ForeignToplevelWindow> create(WaylandConnection *connection);
    ~ForeignToplevelWindow() override;

    QString title() override;

private:
    struct Toplevel
    {
        QString title;
        QString pendingTitle;
        bool pendingActive = false;
    };

    explicit ForeignToplevelWindow(WaylandConnection *connection) : m_connection(connection) {}

    WaylandConnection *m_connection;
    std::map<zwlr_foreign_toplevel_handle_v1 *, Toplevel> m_toplevels;
    zwlr_foreign_toplevel_handle_v1 *m_active = nullptr;
    QString m_lastTitle;

    friend struct ToplevelEvents;
};
