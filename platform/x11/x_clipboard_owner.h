#pragma once

#include <QString>
#include <memory>

// Holds the X CLIPBOARD selection through a connection of Serimo's own to
// the X display, and serves its text to X programs. Under a Wayland
// compositor, X programs reach a native program's clipboard only through the
// compositor's bridge, which serves it only to an X window with the focus; a
// download manager waiting in the background sees nothing. This owner is an
// X client itself, so every X program reads it.
//
// Everything X happens on a thread of its own, connecting included (the
// compositor may start its X server only when the first client connects):
// the window's thread never waits on the X server.
class XClipboardOwner
{
public:
    // Null where no X display is named, or its connection cannot start.
    static std::unique_ptr<XClipboardOwner> start();
    ~XClipboardOwner();
    XClipboardOwner(const XClipboardOwner &) = delete;
    XClipboardOwner &operator=(const XClipboardOwner &) = delete;

    // Takes the X clipboard with this text, after whatever was taken before.
    void take(const QString &text);

    // What the window's thread and the X thread share.
    struct Shared;

private:
    explicit XClipboardOwner(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}
    std::shared_ptr<Shared> m_shared;
};
