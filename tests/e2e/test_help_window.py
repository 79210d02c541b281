#!/usr/bin/env python3
"""The help window lies wholly on the main window's screen: beside the main
window where there is room (right, else left), pulled onto the screen where
there is not, and no larger than the screen at a scale factor of 2."""

import os

import harness
from harness import check, check_equal

W, H = harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT
GAP = 8


def store_bounds(desk, left, top, right, bottom):
    harness.write_settings(desk.settings_path, {"Serimo_099": harness.encode_record(
        left=left, top=top, right=right, bottom=bottom, interval=2000, reserved20=0,
        hints=1, text=1, url=1, reserved24=bytes(4))})


def on_screen(frame):
    left, top, right, bottom = frame
    return left >= 0 and top >= 0 and right <= W and bottom <= H


def open_help(desk, app):
    """Opens Help and returns the outer frames (left, top, right, bottom) of
    the main window and of the help window once it is on the screen."""
    app.press("Help")
    window = harness.wait_for(lambda: desk.search("--all", "--onlyvisible", "--pid", str(app.proc.pid),
                                                  "--name", "^Serimo Help$"), "the help window")[0]
    # Read until the window manager has framed and placed it.
    frame = harness.wait_until(lambda: desk.outer_frame(window), on_screen,
                               "help window's outer frame within the %dx%d screen" % (W, H))
    return desk.outer_frame(app.window), frame


def run(desk, serimo, env=None, close_key=None):
    app = desk.start_serimo(serimo, extra_env=env)
    desk.wait_active(app.window)
    try:
        frames = open_help(desk, app)
        if close_key:
            desk.key(close_key)
            harness.wait_for(lambda: not desk.search("--all", "--onlyvisible", "--pid", str(app.proc.pid),
                                                     "--name", "^Serimo Help$"), "help window closed by " + close_key)
        return frames
    finally:
        check_equal(app.close(), 0, "exit status")


def main(serimo, report):
    with harness.Desktop() as desk:
        with report.part("room on the right"):
            store_bounds(desk, 20, 40, 320, 200)
            main_frame, frame = run(desk, serimo, close_key="Escape")
            check(harness.near(frame[:2], (main_frame[2] + GAP, main_frame[1])),
                  "help window at %r, main window at %r" % (frame, main_frame))

        with report.part("room only on the left"):
            store_bounds(desk, 700, 500, 1000, 660)
            main_frame, frame = run(desk, serimo, close_key="ctrl+w")
            check(harness.near((frame[2],), (main_frame[0] - GAP,)),
                  "help window at %r does not end left of the main window at %r" % (frame, main_frame))
            check_equal(frame[3], H, "bottom of the help window, pulled up onto the screen")

        with report.part("scale factor 2"):
            os.remove(desk.settings_path)
            main_frame, frame = run(desk, serimo, {"QT_SCALE_FACTOR": "2"})
            check(frame[2] - frame[0] > 400 and frame[3] - frame[1] > 400,
                  "help window at %r is smaller than it needs be" % (frame,))


if __name__ == "__main__":
    harness.run(main)
