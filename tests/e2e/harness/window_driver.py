"""Driving the windows of the X display as a user and other programs do:
xdotool, xprop and xwininfo for windows and keys, xclip and XFixes for the
clipboard, client messages for the window manager."""

import contextlib
import select
import subprocess
import threading

from .checks import DEADLINE, TestFailure, check, wait_for, wait_until_equal


class XWindowDriver:
    """The X display's windows, keyboard and clipboard, for a Desktop: needs
    its env, display and _spawn()."""

    _others = 0

    def x(self, *argv, timeout=DEADLINE, check_rc=True):
        """Runs an X client (xdotool, xprop, ...) on our display; returns stdout."""
        try:
            result = subprocess.run(argv, env=self.env, capture_output=True,
                                    text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("%s did not finish within %.1fs" % (" ".join(argv), timeout))
        if check_rc and result.returncode != 0:
            raise TestFailure("%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                                      result.stderr.strip()))
        return result.stdout

    def search(self, *criteria):
        """Ids of the windows that `xdotool search` finds. xdotool dies on a
        window that vanishes while it walks the tree (a tooltip, a menu that
        closes); that is an error here, for wait_for to retry, never "none"."""
        result = subprocess.run(["xdotool", "search"] + list(criteria), env=self.env,
                                capture_output=True, text=True, timeout=DEADLINE)
        if "X Error" in result.stderr:
            raise TestFailure("xdotool search %s: %s" % (" ".join(criteria), result.stderr.strip()))
        return [int(w) for w in result.stdout.split()]

    def _root_property(self, name):
        return self.x("xprop", "-root", name, check_rc=False)

    def active_window(self):
        out = self.x("xdotool", "getactivewindow", check_rc=False).strip()
        return int(out) if out.isdigit() else None

    def wait_active(self, window):
        wait_for(lambda: self.active_window() == window,
                 "window 0x%x to become the active window" % window)

    def activate(self, window):
        self.x("xdotool", "windowactivate", str(window))
        self.wait_active(window)

    def net_wm_state(self, window):
        """The atoms of the window's _NET_WM_STATE, as the WM set them."""
        out = self.x("xprop", "-id", str(window), "_NET_WM_STATE")
        if "=" not in out:
            return set()
        return {atom.strip() for atom in out.split("=", 1)[1].split(",") if atom.strip()}

    def stacking(self):
        """The managed windows from bottom to top."""
        out = self._root_property("_NET_CLIENT_LIST_STACKING")
        check("#" in out, "no _NET_CLIENT_LIST_STACKING on the root window: %r" % out)
        return [int(w.strip(), 16) for w in out.split("#", 1)[1].split(",")]

    def outer_frame(self, window):
        """(left, top, right, bottom) of the window including the decoration
        that the window manager put round it."""
        values = {}
        for line in self.x("xwininfo", "-id", str(window)).splitlines():
            key, _, value = line.strip().partition(":")
            if key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                values[key] = int(value)
        x, y = values["Absolute upper-left X"], values["Absolute upper-left Y"]
        width, height = values["Width"], values["Height"]
        out = self.x("xprop", "-id", str(window), "_NET_FRAME_EXTENTS")
        check("=" in out, "window has no _NET_FRAME_EXTENTS: %r" % out)
        left, right, top, bottom = (int(v) for v in out.split("=", 1)[1].split(","))
        return (x - left, y - top, x + width + right, y + height + bottom)

    def key(self, *keys):
        """Types keys through XTEST, as the keyboard does, into the window
        that has the input focus."""
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def close_window(self, window):
        """Asks the window manager to close the window (_NET_CLOSE_WINDOW);
        openbox sends it WM_DELETE_WINDOW, as its close button does."""
        # Timestamp 0 (CurrentTime); source 2: a tool acting for the user.
        _send_wm_message(self.display, window, "_NET_CLOSE_WINDOW", [0, 2])

    @contextlib.contextmanager
    def other_window(self, left, top, width, height, title=None):
        """An ordinary window of another program at that place (titled
        `title` when given), made active; yields its id and closes it
        afterwards."""
        self._others += 1
        name = "serimo-e2e-other-%d" % self._others
        titled = ["-title", title] if title else []
        proc = self._spawn(["xmessage", "-name", name] + titled + ["-geometry",
                            "%dx%d+%d+%d" % (width, height, left, top),
                            "another program's window"])
        try:
            window = wait_for(lambda: self.search("--onlyvisible", "--classname", name),
                              "a visible window of class %s" % name)[0]
            self.activate(window)
            yield window
        finally:
            proc.terminate()
            proc.wait(timeout=DEADLINE)

    # ---- clipboard ------------------------------------------------------

    def clipboard(self):
        """The text of the CLIPBOARD selection as another program reads it, or
        None when nobody offers text."""
        try:
            result = subprocess.run(["xclip", "-selection", "clipboard", "-o"],
                                    env=self.env, capture_output=True, timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            raise TestFailure("xclip could not read the clipboard within %.1fs" % DEADLINE)
        if result.returncode != 0:
            return None
        return result.stdout.decode("utf-8", "replace")

    @contextlib.contextmanager
    def clipboard_recorder(self):
        """Records every text the clipboard offers, read each time its owner
        changes, as clipboard managers learn of it (XFixes): yields the
        list, which grows with each new text, once the recorder has read
        what the clipboard holds now, so that it sees every change after."""
        from Xlib import display as xdisplay
        from Xlib.ext import xfixes
        connection = xdisplay.Display(self.display)
        connection.xfixes_query_version()
        connection.xfixes_select_selection_input(connection.screen().root, connection.intern_atom("CLIPBOARD"),
                                                 xfixes.XFixesSetSelectionOwnerNotifyMask)
        connection.sync()
        seen, stop, listening = [], threading.Event(), threading.Event()

        def note():
            text = self.clipboard()
            if text is not None and (not seen or seen[-1] != text):
                seen.append(text)

        def watch():
            note()
            listening.set()
            while not stop.is_set():
                if connection.pending_events():
                    connection.next_event()
                    note()
                else:
                    select.select([connection.fileno()], [], [], 0.1)

        thread = threading.Thread(target=watch, daemon=True)
        thread.start()
        try:
            check(listening.wait(DEADLINE), "the clipboard recorder did not start within %.1fs" % DEADLINE)
            yield seen
        finally:
            stop.set()
            thread.join(timeout=DEADLINE)
            connection.close()

    def wait_clipboard(self, expected, what="clipboard"):
        wait_until_equal(self.clipboard, expected, what)

    def set_clipboard(self, text):
        """Makes an xclip process the owner of CLIPBOARD holding text; it stays
        until another program takes the clipboard (or the session ends)."""
        proc = self._spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                           stdin=subprocess.PIPE)
        proc.stdin.write(text.encode())
        proc.stdin.close()
        wait_until_equal(self.clipboard, text, "clipboard after xclip took it")


def _send_wm_message(display_name, window, message_type, data):
    """Sends a 32-bit client message about window to the root window, where
    the window manager receives it (the way pagers and task bars ask it)."""
    import ctypes
    import ctypes.util

    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("client", ClientMessage), ("pad", ctypes.c_long * 24)]

    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                ctypes.c_long, ctypes.POINTER(Event)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = xlib.XOpenDisplay(display_name.encode())
    check(display, "cannot open display %s" % display_name)
    try:
        event = Event()
        event.client.type = 33  # ClientMessage
        event.client.send_event = 1
        event.client.display = display
        event.client.window = window
        event.client.message_type = xlib.XInternAtom(display, message_type.encode(), 0)
        event.client.format = 32
        for index, value in enumerate(data):
            event.client.data[index] = value
        substructure_notify_redirect = (1 << 19) | (1 << 20)
        xlib.XSendEvent(display, xlib.XDefaultRootWindow(display), 0,
                        substructure_notify_redirect, ctypes.byref(event))
        xlib.XFlush(display)
    finally:
        xlib.XCloseDisplay(display)
