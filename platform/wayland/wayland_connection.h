#pragma once

#include <QObject>
#include <memory>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwlr_foreign_toplevel_manager_v1;
struct org_kde_plasma_window_management;
class QSocketNotifier;

// Serimo's own connection to the Wayland compositor, beside Qt's, for the
// protocols Qt does not speak: setting the clipboard without keyboard focus
// and the list of windows with their titles (wlroots' and KDE's). Its events are dispatched from
// the event loop as they arrive.
class WaylandConnection : public QObject
{
    Q_OBJECT
public:
    // A connection when Qt runs on Wayland; null on other platforms or when
    // the compositor cannot be reached.
    static std::unique_ptr<WaylandConnection> open();
    ~WaylandConnection() override;

    wl_display *display() const { return m_display; }
    wl_seat *seat() const { return m_seat; }
    zwlr_data_control_manager_v1 *dataControl() const { return m_dataControl; }
    zwlr_foreign_toplevel_manager_v1 *toplevels() const { return m_toplevels; }
    org_kde_plasma_window_management *plasmaWindows() const { return m_plasmaWindows; }

    // Sends what is queued and dispatches every answer to it. False when the
    // connection is gone.
    bool roundtrip();

private:
    explicit WaylandConnection(wl_display *display);
    void dispatch();
    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version);
    static void globalRemove(void *data, wl_registry *registry, uint32_t name);

    wl_display *m_display;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    zwlr_data_control_manager_v1 *m_dataControl = nullptr;
    zwlr_foreign_toplevel_manager_v1 *m_toplevels = nullptr;
    org_kde_plasma_window_management *m_plasmaWindows = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};

// Whether the compositor named by the environment offers the data-control
// protocol; asked before the toolkit connects.
bool compositorOffersDataControl();
