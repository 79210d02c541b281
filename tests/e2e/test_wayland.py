#!/usr/bin/env python3
"""Serimo running natively under a Wayland compositor (headless sway): the
clipboard works both ways with Wayland programs, a feed reaches a clipboard
watcher while another window has the focus, even after another program
copied in between, and a window titled "Save As" in front holds the run."""

import time

import harness
import wayland_desktop
from harness import check, check_equal

import pyatspi  # after harness, which finds the system's bindings

BASE = "http://www.example.com/members/gallery/photos/98/"
DELAY_MS = 500


def url(n):
    return BASE + "pic%03d.jpg" % n


def check_desktop(desk, serimo, report):
    """The checks on one compositor; the desk starts serimo natively.
    Returns the running serimo."""
    record = harness.encode_record(left=40, top=40, right=340, bottom=200, interval=DELAY_MS,
                                   reserved20=0, hints=1, text=1, url=1, reserved24=bytes(4))
    harness.write_settings(desk.settings_path, {"LastURL": url(1), "Serimo_099": record})
    app = desk.start_serimo(serimo)
    app.wait_url(url(1))

    with report.part("Paste takes what a Wayland program copied"):
        desk.set_clipboard(url(41))
        app.press("Paste")
        app.wait_url(url(41))
    with report.part("Next puts the URL where a Wayland program reads it"):
        app.press("Next")
        harness.wait_until_equal(desk.clipboard, url(42), "wl-paste")

    app.set_text("URL", url(1))
    items = app.find("# of items to increment")
    for _ in range(4):
        app.press("Up", root=items)
    harness.wait_until_equal(lambda: app.text("Items", pyatspi.ROLE_TEXT), "5", "Items box")

    seen = desk.clipboard_watch()
    # The watcher first reports what the clipboard holds now.
    harness.wait_until_equal(lambda: seen[:1], [url(42)], "the watcher's first report")
    del seen[:1]
    desk.other_window("Downloads")
    app.press("Feed")
    ours = lambda: [text for text in seen if text.startswith(BASE)]
    harness.wait_until(ours, lambda urls: len(urls) >= 2, "two hand-overs")
    desk.set_clipboard("copied by another program")
    harness.wait_until(ours, lambda urls: len(urls) >= 3, "a hand-over after another program copied")

    save = desk.other_window("Save As")
    held = ours()
    time.sleep(4 * DELAY_MS / 1000)
    with report.part("a Save As window in front holds the run"):
        check(len(held) < 5, "the run ended before the Save As window came: %r" % held)
        check_equal(ours(), held, "URLs handed over while held")
    save.terminate()
    desk.focus("Downloads")
    app.wait_status(1, "Ready.")
    with report.part("five URLs, each once, in order, while another window had the focus"):
        check_equal(ours(), [url(n) for n in range(1, 6)], "clipboard texts seen by wl-paste --watch")
    return app


def main(serimo, report):
    # With X at hand too, Serimo still chooses Wayland, where the compositor
    # lets it set the clipboard without focus.
    with wayland_desktop.SwayDesktop(xwayland=True) as desk:
        app = check_desktop(desk, serimo, report)
        check_equal(app.close(), 0, "exit status")


if __name__ == "__main__":
    harness.run(main)
