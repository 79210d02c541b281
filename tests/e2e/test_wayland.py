#!/usr/bin/env python3
"""Serimo running natively under a Wayland compositor (headless sway): the
clipboard works both ways with Wayland programs, a feed reaches a clipboard
watcher while another window has the focus, even after another program
copied in between, X programs read every hand-over without the focus, and the window in front holds the run whenever its title
has "save" in it: a window open before Serimo started, a dialog that comes
to the front and goes during the run, and a window whose title changes while in front."""

import fcntl
import os
import struct
import subprocess
import termios

import harness
import wayland_desktop
from harness import check, check_equal

import pyatspi  # after harness, which finds the system's bindings

BASE = "http://www.example.com/members/gallery/photos/98/"
DELAY_MS = 500
# Enough URLs that the run is still going when the last Save window comes.
ITEMS = 10


def url(n):
    return BASE + "pic%03d.jpg" % n


def check_held(desk, app, ours, what):
    """Checks that the run, not yet ended, hands nothing over for four of
    its intervals while a window titled with "save" is in front."""
    harness.check_held(app, ours, desk.clipboard, 4 * DELAY_MS / 1000, what)


def check_goes_on(ours, what):
    count = len(ours())
    harness.wait_until(ours, lambda urls: len(urls) > count, "a hand-over %s" % what, timeout=wayland_desktop.SLOW)


def check_desktop(desk, serimo, report):
    """The checks on one compositor; the desk starts serimo natively.
    Returns the running serimo."""
    harness.store_feed_start(desk.settings_path, url(1), DELAY_MS)
    # Windows open before Serimo starts: a download manager, a Save As
    # window, a Save As dialog of the download manager and a browser.
    desk.other_window("Downloads")
    desk.other_window("Save As")
    dialog = desk.other_window("Save As - Downloads")
    browser = desk.native_window("Browser")
    app = desk.start_serimo(serimo)
    app.wait_url(url(1))

    with report.part("Paste takes what a Wayland program copied"):
        desk.set_clipboard(url(41))
        app.press("Paste")
        app.wait_url(url(41))
    with report.part("Next puts the URL where a Wayland program reads it"):
        app.press("Next")
        harness.wait_until_equal(desk.clipboard, url(42), "wl-paste")
    # Where the compositor runs an X server too (sway here).
    x_clipboard = (lambda: harness.Desktop.clipboard(desk)) if desk.display else None
    if x_clipboard:
        with report.part("an X program without the focus reads it too, and the compositor's bridge leaves it there"):
            harness.wait_until_equal(x_clipboard, url(42), "xclip -o on the X display")
            stamp = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "TIMESTAMP"], env=desk.env,
                                   capture_output=True, text=True, timeout=harness.DEADLINE).stdout
            check(stamp.strip() not in ("", "0"), "the owner's TIMESTAMP is not when it took the clipboard: %r" % stamp)
            harness.stays_equal(lambda: (x_clipboard(), desk.clipboard()), (url(42), url(42)), 1,
                                "X and Wayland clipboards")

    app.set_text("URL", url(1))
    items = app.find("# of items to increment")
    for _ in range(ITEMS - 1):
        app.press("Up", root=items)
    harness.wait_until_equal(lambda: app.text("Items", pyatspi.ROLE_TEXT), str(ITEMS), "Items box")

    seen = desk.clipboard_watch()
    # The watcher first reports what the clipboard holds now.
    harness.wait_until_equal(lambda: seen[:1], [url(42)], "the watcher's first report")
    del seen[:1]
    desk.focus("Downloads")
    app.press("Feed")
    ours = lambda: [text for text in seen if text.startswith(BASE)]
    try:
        harness.wait_until(ours, lambda urls: len(urls) >= 2, "two hand-overs")
    except harness.TestFailure as failure:
        # What the feed and the clipboard say tells a hold from a lost hand-over.
        said = []
        for what, probe in (("the status line", app.status_panels), ("wl-paste", desk.clipboard),
                            ("the window in front", desk.focused_title)):
            try:
                said.append("%s %r" % (what, probe()))
            except Exception as exc:  # noqa: BLE001  (a probe that fails is part of the picture)
                said.append("%s: %s" % (what, exc))
        raise harness.TestFailure("%s; %s" % (failure, ", ".join(said)))
    desk.set_clipboard("copied by another program")
    harness.wait_until(ours, lambda urls: len(urls) >= 3, "a hand-over after another program copied")

    with report.part("a Save As window open before Serimo started holds the run when focused"):
        desk.focus("Save As")
        check_held(desk, app, ours, "the Save As window open before Serimo")
        desk.focus("Downloads")
        check_goes_on(ours, "back in the download manager")
    with report.part("a Save As dialog holds the run; when it closes back to the download manager the run goes on"):
        desk.focus("Save As - Downloads")
        check_held(desk, app, ours, "the Save As dialog")
        dialog.terminate()
        desk.wait_focused("Downloads")
        check_goes_on(ours, "after the Save As dialog closed")
    with report.part("a window whose title changes to Save while in front holds the run"):
        desk.focus("Browser")
        check_goes_on(ours, "in front of the browser")
        desk.retitle(browser, "Save file - Browser")
        check_held(desk, app, ours, "the browser titled Save file")
        desk.retitle(browser, "Browser")
    app.wait_status(1, "Ready.")
    with report.part("every URL once, in order, while other windows had the focus"):
        check_equal(ours(), [url(n) for n in range(1, ITEMS + 1)], "clipboard texts seen by wl-paste --watch")
    if x_clipboard:
        with report.part("the X clipboard holds the run's last URL"):
            check_equal(x_clipboard(), url(ITEMS), "xclip -o on the X display")
    with report.part("a program that stops reading a long copied URL holds nothing up"):
        long_url = "data:text/plain," + "x" * 400000
        app.set_text("URL", long_url)
        harness.wait_until_equal(lambda: len(app.url()), len(long_url), "the long URL in the box")
        app.press("Copy")
        # wl-paste writes into a pipe nobody reads: once it is full, wl-paste
        # stops reading what Serimo sends.
        full, stalled_out = os.pipe()
        desk._spawn(["wl-paste", "--no-newline"], stdout=stalled_out)
        os.close(stalled_out)
        held = lambda: struct.unpack("i", fcntl.ioctl(full, termios.FIONREAD, b"\0" * 4))[0]
        harness.wait_until(held, lambda n: n >= 65536, "wl-paste's output pipe full")
        app.set_text("URL", url(7))
        app.press("Next")
        app.wait_url(url(8))
        os.close(full)
    return app


def main(serimo, report):
    # With X at hand too, Serimo still chooses Wayland, where the compositor
    # lets it set the clipboard without focus.
    with wayland_desktop.SwayDesktop(xwayland=True) as desk:
        app = check_desktop(desk, serimo, report)
        check_equal(app.close(), 0, "exit status")


if __name__ == "__main__":
    harness.run(main)
