#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <set>
#include <string>

struct wl_display;
struct wl_interface;
struct wl_registry;
struct wl_seat;
class QSocketNotifier;

// Serimo's own connection to the Wayland compositor, beside Qt's, for the
// protocols Qt does not speak: setting the clipboard without keyboard focus
// and the list of windows with their titles (wlroots' and KDE's). Its events
// are dispatched from the event loop as they arrive; a wait for the
// compositor's answer ends after 100 ms unless the caller asks for longer,
// so a compositor that stops answering never holds the event loop longer.
class WaylandConnection : public QObject
{
    Q_OBJECT
public:
    // How a round trip ended: the compositor answered everything sent
    // before; it had not answered yet when the wait ended (a busy
    // compositor, whose answer may still come); or the connection is gone.
    enum class Answer { Given, Late, Lost };
    static constexpr int kAnswerTimeoutMs = 100;

    // A connection when Qt runs on Wayland; null on other platforms or when
    // the compositor cannot be reached.
    static std::unique_ptr<WaylandConnection> open();
    // Takes over a display connection made elsewhere.
    static std::unique_ptr<WaylandConnection> takeOver(wl_display *display);
    ~WaylandConnection() override;

    wl_display *display() const { return m_display; }
    wl_seat *seat() const { return m_seat; }

    // Binds the compositor's global of that interface, at most at `version`,
    // and sets `name` to its name in the registry; null when not offered.
    // Some globals announce what they know as soon as they are bound: the
    // caller attaches its listener before anything dispatches the connection
    // again, or those events are lost.
    void *bind(const wl_interface &interface, uint32_t version, uint32_t &name);
    // False once the compositor withdrew the global of that name.
    bool offers(uint32_t name) const { return !m_removed.count(name); }

    // Sends what is queued and dispatches every answer to it, waiting at
    // most timeoutMs. Lost once the connection is gone, then and ever after.
    Answer roundtrip(int timeoutMs = kAnswerTimeoutMs);

private:
    struct Global
    {
        uint32_t name;
        uint32_t version;
    };

    explicit WaylandConnection(wl_display *display);
    void dispatch();
    void lose();
    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version);
    static void globalRemove(void *data, wl_registry *registry, uint32_t name);

    wl_display *m_display;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    std::map<std::string, Global> m_globals; // by interface
    std::set<uint32_t> m_removed;
    QSocketNotifier *m_notifier = nullptr;
    bool m_alive = true;
};

// Whether the compositor named by the environment offers the data-control
// protocol; asked before the toolkit connects.
bool compositorOffersDataControl();
