#pragma once

#include "platform/foreground_window.h"
#include "platform/wayland/window_list_title.h"

#include <QString>

class WaylandConnection;
struct org_kde_plasma_window;

// The window in front on KDE Plasma, from KWin's window list. KWin offers the
// list only to programs whose installed desktop entry asks for it
// (X-KDE-Wayland-Interfaces). The title is by WindowListTitle's rule.
class PlasmaWindowList : public ForegroundWindow
{
public:
    // Null when the compositor does not offer the list to Serimo.
    static std::unique_ptr<PlasmaWindowList> create(WaylandConnection *connection);
    ~PlasmaWindowList() override;

    QString title() override;

private:
    explicit PlasmaWindowList(WaylandConnection *connection) : m_connection(connection) {}

    WaylandConnection *m_connection;
    WindowListTitle<org_kde_plasma_window> m_windows;

    friend struct PlasmaWindowEvents;
};
