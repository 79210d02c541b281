#include "platform/x11/foreground_window_x11.h"
#include "platform/x11/xcb_display.h"

#include <QString>

namespace {

// X11: the window manager names the active window in _NET_ACTIVE_WINDOW;
// without one, the window holding the input focus (or the nearest of its
// parents that has a title) stands in.
class X11ForegroundWindow : public ForegroundWindow
{
public:
    X11ForegroundWindow(xcb_connection_t *connection, xcb_window_t root) : m_connection(connection), m_root(root)
    {
        m_activeWindow = atom("_NET_ACTIVE_WINDOW");
        m_netWmName = atom("_NET_WM_NAME");
        m_utf8String = atom("UTF8_STRING");
    }

    ~X11ForegroundWindow() override { xcb_disconnect(m_connection); }

    X11ForegroundWindow(const X11ForegroundWindow &) = delete;
    X11ForegroundWindow &operator=(const X11ForegroundWindow &) = delete;

    QString title() override
    {
        if (const xcb_window_t active = activeWindow())
            return titleOf(active);
        for (xcb_window_t window = focusWindow(); window != XCB_NONE && window != m_root; window = parentOf(window)) {
            const QString title = titleOf(window);
            if (!title.isEmpty())
                return title;
        }
        return {};
    }

private:
    xcb_atom_t atom(const char *name) { return internAtom(m_connection, name, true); }

    XcbReply<xcb_get_property_reply_t> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        // Titles beyond 1023 characters are cut there, so 1024 32-bit units
        // are always enough.
        const auto cookie = xcb_get_property(m_connection, 0, window, name, type, 0, 1024);
        xcb_generic_error_t *error = nullptr;
        return reply(xcb_get_property_reply(m_connection, cookie, &error), error);
    }

    xcb_window_t activeWindow()
    {
        if (m_activeWindow == XCB_ATOM_NONE)
            return XCB_NONE;
        const auto answer = property(m_root, m_activeWindow, XCB_ATOM_WINDOW);
        if (!answer || answer->format != 32 || xcb_get_property_value_length(answer.get()) < 4)
            return XCB_NONE;
        return *static_cast<const xcb_window_t *>(xcb_get_property_value(answer.get()));
    }

    xcb_window_t focusWindow()
    {
        xcb_generic_error_t *error = nullptr;
        const auto answer =
            reply(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), &error), error);
        if (!answer || answer->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
            return XCB_NONE;
        return answer->focus;
    }

    xcb_window_t parentOf(xcb_window_t window)
    {
        xcb_generic_error_t *error = nullptr;
        const auto answer = reply(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), &error), error);
        return answer ? answer->parent : XCB_NONE;
    }

    QString titleOf(xcb_window_t window)
    {
        if (m_netWmName != XCB_ATOM_NONE) {
            if (const auto name = property(window, m_netWmName, m_utf8String); name && name->format == 8) {
                const auto *bytes = static_cast<const char *>(xcb_get_property_value(name.get()));
                const QString title = QString::fromUtf8(bytes, xcb_get_property_value_length(name.get()));
                if (!title.isEmpty())
                    return title;
            }
        }
        // WM_NAME is Latin-1 text (or compound text, whose ASCII reads the same).
        if (const auto name = property(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY); name && name->format == 8) {
            const auto *bytes = static_cast<const char *>(xcb_get_property_value(name.get()));
            return QString::fromLatin1(bytes, xcb_get_property_value_length(name.get()));
        }
        return {};
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    xcb_atom_t m_activeWindow = XCB_ATOM_NONE;
    xcb_atom_t m_netWmName = XCB_ATOM_NONE;
    xcb_atom_t m_utf8String = XCB_ATOM_NONE;
};

} // namespace

std::unique_ptr<ForegroundWindow> makeX11ForegroundWindow()
{
    const XcbDisplay display = connectToQtDisplay();
    if (!display.connection)
        return nullptr;
    return std::make_unique<X11ForegroundWindow>(display.connection, display.root);
}
