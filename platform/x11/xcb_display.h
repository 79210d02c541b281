#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// Replies and events are malloc'ed by xcb.
template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XcbReply<T> reply(T *raw, xcb_generic_error_t *error)
{
    // A window may vanish between two requests; its error means "no answer".
    std::free(error);
    return XcbReply<T>(raw, &std::free);
}

// A connection of Serimo's own to the display Qt's xcb platform uses, and the
// root window of its screen; connection is null where Qt does not run on X11
// or the display cannot be reached.
struct XcbDisplay
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_NONE;
};
XcbDisplay connectToQtDisplay();

// XCB_ATOM_NONE when the server does not answer, or with onlyIfExists when
// no program has named the atom yet.
xcb_atom_t internAtom(xcb_connection_t *connection, const char *name, bool onlyIfExists = false);
