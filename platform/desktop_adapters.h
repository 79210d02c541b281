#pragma once

#include <QByteArray>
#include <memory>

class Clipboard;
class ForegroundWindow;
class KeepAbove;
class SecretStore;
class WaylandConnection;

// The real adapters for the desktop Serimo runs on, chosen once at start.

// Before the toolkit starts, in a Wayland session: the window system to ask
// Qt for, or empty to leave the choice to Qt (and to an explicit
// QT_QPA_PLATFORM). Where the compositor can take the clipboard from a
// program without focus (data-control), Wayland itself; where it cannot, X
// through XWayland, whose clipboard writes X programs receive.
QByteArray chooseWindowSystem();

// Serimo's own connection to the compositor when Qt runs on Wayland and
// Serimo was built with its Wayland parts; null otherwise. The adapters below
// use it while it lives.
std::shared_ptr<WaylandConnection> openWaylandConnection();

// X11: the X clipboard. Wayland: the data-control clipboard where the
// compositor offers it, else Qt's.
std::unique_ptr<Clipboard> makeClipboard(WaylandConnection *wayland);

// X11: the window manager's active window (under XWayland, where a native
// window is in front, the accessibility bus's). Wayland: the compositor's
// list of windows where it publishes one (wlroots compositors, KWin for an
// installed Serimo), else the accessibility bus's.
// Elsewhere: never a title, so the feed never holds.
std::unique_ptr<ForegroundWindow> makeForegroundWindow(WaylandConnection *wayland);

// X11 (XWayland too): the window's stays-on-top flag. KWin on Wayland: its
// scripting interface. Other Wayland desktops offer no way.
std::unique_ptr<KeepAbove> makeKeepAbove();

// The desktop's keyring where Serimo was built with its keyring part, else a
// store that never answers. A keyring silent for deadlineMs (one waiting on a
// prompt nobody answers) has not answered.
std::unique_ptr<SecretStore> makeSecretStore(int deadlineMs);
