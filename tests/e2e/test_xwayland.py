#!/usr/bin/env python3
"""Serimo as an X client in a Wayland session (the route it takes where the
compositor cannot take the clipboard from a program without focus): while a
native Wayland window is in front, X sees no active window, and the window
in front comes from the accessibility bus, so a native "Save As" window
holds the run and the run goes on when another window comes to the front;
a window whose title changes to one with "save" while in front holds it too."""

import re
import time

import harness
import wayland_desktop
from harness import check, check_equal

import pyatspi  # after harness, which finds the system's bindings

BASE = "http://www.example.com/members/gallery/photos/98/"
DELAY_MS = 400
ITEMS = 6


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
        other = desk.native_window("Downloads")

        # The X clipboard, as X programs read it.
        desk.clipboard = lambda: harness.Desktop.clipboard(desk)
        with desk.clipboard_recorder() as seen:
            app.press("Feed")
            harness.wait_until_equal(lambda: seen[-1:], [url(1)], "first hand-over")
            save = desk.native_window("Save As")
            held = list(seen)
            with report.part("a native Save As window in front holds the run"):
                check(len(held) < ITEMS, "the run ended before the Save As window came: %r" % held)
                harness.stays_equal(lambda: list(seen), held, 4 * DELAY_MS / 1000, "clipboard texts while held")
            save.terminate()
            desk.focus("Downloads")
            harness.wait_until(lambda: len(seen), lambda n: n > len(held), "a hand-over after Save As closed")
            with report.part("a title that changes to Save while its window is in front holds the run"):
                desk.retitle(other, "Save file - Downloads")
                before = len(seen)
                # The accessibility bus does not announce the change: the
                # title is asked for again at a tick, and holds from the next.
                time.sleep(DELAY_MS / 1000)
                # The status line says the run waits for the window in front.
                sent, status = harness.wait_until(
                    lambda: (len(seen), app.status_panels()[1]),
                    lambda now: re.fullmatch('Waiting: ".*" is in front|Ready[.]', now[1]),
                    "the status saying the run waits")
                held = seen[:sent]
                check(sent <= before + 1, "more than one tick went by unheld: %r" % held)
                check(sent < ITEMS and status != "Ready.", "the run ended before the title changed: %r" % held)
                harness.stays_equal(lambda: (seen, app.status_panels()[1]), (held, status), 4 * DELAY_MS / 1000,
                                    "clipboard texts and status while held")
                desk.retitle(other, "Downloads")
            app.wait_status(1, "Ready.")
            with report.part("every URL once, in order"):
                check_equal(seen, [url(n) for n in range(1, ITEMS + 1)], "clipboard texts")
        other.terminate()
        check_equal(app.close(), 0, "exit status")


if __name__ == "__main__":
    harness.run(main)
