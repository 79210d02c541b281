#!/usr/bin/env python3
"""Serimo as an X client in a Wayland session (the route it takes where the
compositor cannot take the clipboard from a program without focus): while a
native Wayland window is in front, X sees no active window, and the window
in front comes from the accessibility bus, so a native "Save As" window
holds the run and the run goes on when another window comes to the front;
a window whose title changes to one with "save" while in front holds it too."""

import harness
import wayland_desktop
from harness import check_equal

import pyatspi  # after harness, which finds the system's bindings

BASE = "http://www.example.com/members/gallery/photos/98/"
DELAY_MS = 400
ITEMS = 10


def url(n):
    return BASE + "pic%03d.jpg" % n


def main(serimo, report):
    with wayland_desktop.SwayDesktop(xwayland=True) as desk:
        harness.store_feed_start(desk.settings_path, url(1), DELAY_MS)
        app = desk.start_serimo(serimo, platform="xcb")
        app.wait_url(url(1))
        items = app.find("# of items to increment")
        for _ in range(ITEMS - 1):
            app.press("Up", root=items)
        harness.wait_until_equal(lambda: app.text("Items", pyatspi.ROLE_TEXT), str(ITEMS), "Items box")
        # The windows are there before the run and come to the front during it.
        save = desk.native_window("Save As")
        other = desk.native_window("Downloads")

        # The X clipboard, as X programs read it.
        desk.clipboard = lambda: harness.Desktop.clipboard(desk)
        with desk.clipboard_recorder() as seen:
            app.press("Feed")
            harness.wait_until_equal(lambda: seen[-1:], [url(1)], "first hand-over")
            # The window in front is announced a moment after it came: the
            # status says when the run holds.
            desk.focus("Save As")
            with report.part("a native Save As window in front holds the run"):
                harness.check_held(app, lambda: seen, desk.clipboard, 4 * DELAY_MS / 1000, "the Save As window")
            held = len(seen)
            desk.focus("Downloads")
            harness.wait_until(lambda: len(seen), lambda n: n > held, "a hand-over after Save As went back")
            with report.part("a title that changes to Save while its window is in front holds the run"):
                # The accessibility bus does not announce the change: the
                # title is asked for again at a tick, and holds from the next.
                desk.retitle(other, "Save file - Downloads")
                harness.check_held(app, lambda: seen, desk.clipboard, 4 * DELAY_MS / 1000, "the retitled window")
                desk.retitle(other, "Downloads")
            app.wait_status(1, "Ready.")
            with report.part("every URL once, in order"):
                harness.wait_until_equal(lambda: list(seen), [url(n) for n in range(1, ITEMS + 1)], "clipboard texts")
        save.terminate()
        other.terminate()
        check_equal(app.close(), 0, "exit status")


if __name__ == "__main__":
    harness.run(main)
