#pragma once

#include "platform/wayland/wayland_window_list.h"

struct org_kde_plasma_window_management;
struct org_kde_plasma_window;

// The window in front on KDE Plasma, from KWin's window list. KWin offers the
// list only to programs whose installed desktop entry asks for it
// (X-KDE-Wayland-Interfaces).
class PlasmaWindowList : public WaylandWindowList<org_kde_plasma_window_management, org_kde_plasma_window>
{
public:
    // Null when the compositor does not offer the list to Serimo.
    static std::unique_ptr<PlasmaWindowList> create(WaylandConnection *connection);
    ~PlasmaWindowList() override;

private:
    using WaylandWindowList::WaylandWindowList;

    friend WaylandWindowList;
    friend struct PlasmaWindowEvents;
};
