#!/usr/bin/env python3
"""How many URLs of a feed a clipboard watcher picks up, on a private X
display (the e2e harness): a watcher that polls the clipboard every 2 s, as
some download managers do, and one told of every change of the clipboard's
owner through XFixes, as clipboard managers are. Prints one line per run.

    bench/clipboard_pickup.py build/serimo
"""

import ctypes
import ctypes.util
import os
import select
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402

BASE = "http://www.example.com/members/gallery/photos/98/"
# (watcher, feed delay in ms, items)
RUNS = (("poll 2 s", 500, 20), ("poll 2 s", 1000, 20), ("poll 2 s", 2500, 10), ("XFixes", 100, 50))


def url(n):
    return BASE + "pic%03d.jpg" % n


class XFixesWatcher:
    """Reads the clipboard each time its owner changes (every hand-over of a
    feed sets the owner anew)."""

    def __init__(self, desk):
        self.desk, self.seen, self._stop = desk, [], threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self.seen

    def __exit__(self, *_):
        self._stop.set()
        self._thread.join(timeout=harness.DEADLINE)

    def _run(self):
        xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
        xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XConnectionNumber.argtypes = [ctypes.c_void_p]
        xlib.XPending.argtypes = [ctypes.c_void_p]
        xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        xfixes.XFixesQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                                ctypes.POINTER(ctypes.c_int)]
        xfixes.XFixesSelectSelectionInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                                      ctypes.c_ulong]
        display = xlib.XOpenDisplay(self.desk.display.encode())
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        xfixes.XFixesQueryExtension(display, ctypes.byref(event_base), ctypes.byref(error_base))
        clipboard = xlib.XInternAtom(display, b"CLIPBOARD", 0)
        set_owner_mask = 1
        xfixes.XFixesSelectSelectionInput(display, xlib.XDefaultRootWindow(display), clipboard, set_owner_mask)
        event = (ctypes.c_long * 24)()
        fd = xlib.XConnectionNumber(display)
        while not self._stop.is_set():
            while xlib.XPending(display):
                xlib.XNextEvent(display, event)
                if ctypes.c_int.from_buffer(event).value == event_base.value:
                    text = self.desk.clipboard()
                    if text is not None:
                        self.seen.append(text)
            select.select([fd], [], [], 0.05)
        xlib.XCloseDisplay(display)


def feed(desk, serimo, watcher, delay, items):
    harness.store_feed_start(desk.settings_path, url(1), delay)
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)
    app.wait_url(url(1))
    app.set_text("Items", str(items))
    recorder = XFixesWatcher(desk) if watcher == "XFixes" else desk.clipboard_recorder(interval=2.0)
    with recorder as seen:
        app.press("Feed")
        harness.wait_until_equal(lambda: app.status_panels()[1], "Ready.", "the end of the run",
                                 timeout=items * delay / 1000 + 10)
        if watcher != "XFixes":
            # The last URL stays on the clipboard; the next poll finds it.
            harness.wait_for(lambda: url(items) in seen, "the last URL", timeout=3)
    app.close()
    return len(set(seen) & {url(n) for n in range(1, items + 1)})


def main(serimo, _report):
    with harness.Desktop() as desk:
        for watcher, delay, items in RUNS:
            picked = feed(desk, serimo, watcher, delay, items)
            print("%-9s feed delay %4d ms: %2d of %2d URLs" % (watcher, delay, picked, items), flush=True)


if __name__ == "__main__":
    harness.run(main, limit=600)
