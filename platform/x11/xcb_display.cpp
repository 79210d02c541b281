#include "platform/x11/xcb_display.h"

#include <QGuiApplication>

#include <cstring>

XcbDisplay connectToQtDisplay()
{
    if (!qGuiApp || !qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        return {};
    // A connection of our own rather than Qt's: Qt's event thread reads every
    // packet that arrives on its connection, so the replies to our requests
    // would be allocated in that thread, where the leak checker cannot tell
    // them from Qt's own events (tests/lsan.supp silences those); and Qt's
    // own reads of another program's clipboard wait seconds for an answer.
    // Qt's connection goes to the display that DISPLAY names, and so does
    // this one.
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return {};
    }
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && roots.rem > 1; ++i)
        xcb_screen_next(&roots);
    return {connection, roots.data->root};
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name, bool onlyIfExists)
{
    const auto cookie = xcb_intern_atom(connection, onlyIfExists, uint16_t(std::strlen(name)), name);
    xcb_generic_error_t *error = nullptr;
    const auto answer = reply(xcb_intern_atom_reply(connection, cookie, &error), error);
    return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
}
