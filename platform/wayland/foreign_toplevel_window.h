#pragma once

#include "platform/wayland/wayland_window_list.h"

#include <QString>
#include <map>

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

// The window in front on compositors that publish their windows (the
// wlroots ones: sway and others).
class ForeignToplevelWindow
    : public WaylandWindowList<zwlr_foreign_toplevel_manager_v1, zwlr_foreign_toplevel_handle_v1>
{
public:
    // Null when the compositor does not publish its windows.
    static std::unique_ptr<ForeignToplevelWindow> create(WaylandConnection *connection);
    ~ForeignToplevelWindow() override;

private:
    // A window's changes come as a batch that its "done" event closes.
    struct Pending
    {
        QString title;
        bool active = false;
    };

    using WaylandWindowList::WaylandWindowList;

    std::map<zwlr_foreign_toplevel_handle_v1 *, Pending> m_pending;

    friend WaylandWindowList;
    friend struct ToplevelEvents;
};
