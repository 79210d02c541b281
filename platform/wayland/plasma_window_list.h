#pragma once

#include "platform/foreground_window.h"

#include <QString>
#include <map>

class WaylandConnection;
struct org_kde_plasma_window;

// The window in front on KDE Plasma, from KWin's window list. KWin offers the
// list only to programs whose installed desktop entry asks for it
// (X-KDE-Wayland-Interfaces). As with the other window lists, the last
// active window's title stands until another window becomes active.
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
    std::map<org_kde_plasma_window *, QString> m_titles;
    org_kde_plasma_window *m_active = nullptr;
    QString m_lastTitle;

    friend struct PlasmaWindowEvents;
};
