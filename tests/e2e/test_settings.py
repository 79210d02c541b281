#!/usr/bin/env python3
"""Settings between runs, with a real window manager and a real settings
file: the first run is centred and writes the file on close; a run with an
edited file restores URL, bounds and switches and writes back the bytes it
does not own; Stay on top is never carried into the next run."""

import os

import harness
from harness import check, check_equal, near

import pyatspi  # after harness, which finds the system's bindings

STORED_URL = "http://www.example.com/archive/img0042.png"
STORED_BOUNDS = (40, 60, 440, 360)          # left, top, right, bottom: 400 x 300
STORED_INTERVAL = 750
RESERVED20 = 0xA5
RESERVED24 = bytes([0x3B, 0x80, 0xFF, 0x01])  # ';' makes the store quote the value


def read_record(desk):
    check(os.path.exists(desk.settings_path), "no settings file at %s" % desk.settings_path)
    values = harness.read_settings(desk.settings_path)
    check("Serimo_099" in values, "no Serimo_099 in the settings file: %r" % values)
    check(isinstance(values["Serimo_099"], bytes),
          "Serimo_099 is not a byte array: %r" % values["Serimo_099"])
    return values.get("LastURL"), harness.decode_record(values["Serimo_099"])


def bounds_of(record):
    return tuple(record[k] for k in ("left", "top", "right", "bottom"))


def check_saved(report, desk, frame, url, interval, flags, reserved):
    """The file written by the last close: URL, the frame the window had,
    feed interval, (hints, text, url) switches and the reserved bytes."""
    saved_url, record = read_record(desk)
    with report.part("saved LastURL"):
        check_equal(saved_url, url, "LastURL")
    with report.part("saved bounds"):
        check(near(bounds_of(record), frame),
              "stored bounds %r differ from the outer frame %r at close"
              % (bounds_of(record), frame))
    with report.part("saved feed interval"):
        check_equal(record["interval"], interval, "feed interval")
    with report.part("saved switches"):
        check_equal((record["hints"], record["text"], record["url"]), flags,
                    "(show hints, show text, show URL)")
    with report.part("saved reserved bytes"):
        check_equal((record["reserved20"], record["reserved24"]), reserved,
                    "reserved bytes 20 and 24..27")


def first_run(desk, serimo, report):
    check(not os.path.exists(desk.settings_path), "settings file exists before the first run")
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)

    def centred(frame):
        left, top, right, bottom = frame
        return near((left, top), ((harness.SCREEN_WIDTH - (right - left)) // 2,
                                  (harness.SCREEN_HEIGHT - (bottom - top)) // 2))

    with report.part("first run centred"):
        harness.wait_until(lambda: desk.outer_frame(app.window), centred,
                           "outer frame centred on the %dx%d screen"
                           % (harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT))
    with report.part("first run shows the count labels"):
        check(app.is_showing("Digits", pyatspi.ROLE_LABEL), "Digits label hidden")
    frame = desk.outer_frame(app.window)
    check_equal(app.close(), 0, "exit status of the first run")
    check_saved(report, desk, frame, harness.EXAMPLE_URL, 2000, (1, 1, 1), (0, bytes(4)))


def stored_run(desk, serimo, report):
    # Show hints is stored as 2: any nonzero byte counts as on.
    harness.write_settings(desk.settings_path, {
        "LastURL": STORED_URL,
        "Serimo_099": harness.encode_record(
            left=STORED_BOUNDS[0], top=STORED_BOUNDS[1], right=STORED_BOUNDS[2],
            bottom=STORED_BOUNDS[3], interval=STORED_INTERVAL, reserved20=RESERVED20,
            hints=2, text=0, url=1, reserved24=RESERVED24),
    })
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)
    with report.part("restored URL"):
        app.wait_url(STORED_URL)
    with report.part("restored bounds"):
        harness.wait_until(lambda: desk.outer_frame(app.window),
                           lambda frame: near(frame, STORED_BOUNDS),
                           "outer frame within %dpx of %r"
                           % (harness.GEOMETRY_TOLERANCE, STORED_BOUNDS))
    with report.part("show text off hides the count labels"):
        check(not app.is_showing("Digits", pyatspi.ROLE_LABEL), "Digits label still shown")
        check(not app.is_showing("Items", pyatspi.ROLE_LABEL), "Items label still shown")
    with report.part("not on top at start"):
        check("_NET_WM_STATE_ABOVE" not in desk.net_wm_state(app.window),
              "_NET_WM_STATE_ABOVE set at start")

    with report.part("Stay on top"):
        app.choose_from_menu("Stay on top")
        harness.wait_until(lambda: desk.net_wm_state(app.window),
                           lambda state: "_NET_WM_STATE_ABOVE" in state,
                           "_NET_WM_STATE with _NET_WM_STATE_ABOVE after choosing Stay on top")
        with desk.other_window(0, 0, 500, 400) as other:
            stack = desk.stacking()
            check(stack.index(app.window) > stack.index(other),
                  "another program's active window was stacked above the window")

    desk.activate(app.window)
    frame = desk.outer_frame(app.window)
    check_equal(app.close(), 0, "exit status of the run with stored settings")
    check_saved(report, desk, frame, STORED_URL, STORED_INTERVAL, (1, 0, 1),
                (RESERVED20, RESERVED24))


def rerun_after_on_top(desk, serimo, report):
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)
    with report.part("Stay on top not restored"):
        check("_NET_WM_STATE_ABOVE" not in desk.net_wm_state(app.window),
              "_NET_WM_STATE_ABOVE set after a restart")
        with desk.other_window(0, 0, 500, 400) as other:
            stack = desk.stacking()
            check(stack.index(app.window) < stack.index(other),
                  "the window stayed above another program's active window after a restart")
    check_equal(app.close(), 0, "exit status of the run after Stay on top")


def damaged_files(desk, serimo, report):
    """A record whose size reaches 2^31 opens a window no larger than the
    screen; a file with lines the store cannot parse still gives the values
    it can, and closing writes without an error box (which would hold the
    close until answered)."""
    huge = (1 << 31) - 1
    harness.write_settings(desk.settings_path, {"LastURL": STORED_URL, "Serimo_099": harness.encode_record(
        left=0, top=0, right=huge, bottom=huge, interval=500, reserved20=0, hints=1, text=1, url=1,
        reserved24=bytes(4))})
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)
    with report.part("huge stored size limited to the screen"):
        left, top, right, bottom = desk.outer_frame(app.window)
        check(right - left <= harness.SCREEN_WIDTH and bottom - top <= harness.SCREEN_HEIGHT,
              "outer frame %r larger than the screen" % ((left, top, right, bottom),))
    check_equal(app.close(), 0, "exit status after a huge stored size")

    with open(desk.settings_path, "a", encoding="latin-1") as f:
        f.write("[Broken\n\xff junk = =\n")
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)
    with report.part("values kept from a file with unparseable lines"):
        app.wait_url(STORED_URL)
    app.press("Next")
    check_equal(app.close(), 0, "exit status after a file with unparseable lines")
    with report.part("written after a file with unparseable lines"):
        with open(desk.settings_path, encoding="latin-1") as f:
            lines = f.read().splitlines()
        check("LastURL=" + STORED_URL.replace("0042", "0043") in lines,
              "LastURL of the stepped URL not in the file: %r" % lines)


def main(serimo, report):
    with harness.Desktop() as desk:
        first_run(desk, serimo, report)
        stored_run(desk, serimo, report)
        rerun_after_on_top(desk, serimo, report)
        damaged_files(desk, serimo, report)


if __name__ == "__main__":
    harness.run(main)
