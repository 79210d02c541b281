#!/usr/bin/env python3
"""A feed hands each URL of a run to the real X clipboard once, in order, at
the feed delay, and holds back while a window titled "Save ..." of another
program is in front."""

import re
import time

import harness

BASE = "http://www.example.com/members/gallery/photos/98/"
DELAY_MS = 400
# Enough URLs that the run is still going when the Save window has come.
ITEMS = 8


def url(n):
    return BASE + "pic%03d.jpg" % n


def main(serimo, report):
    import pyatspi
    with harness.Desktop() as desk:
        harness.store_feed_start(desk.settings_path, url(1), DELAY_MS)
        app = desk.start_serimo(serimo)
        desk.wait_active(app.window)
        app.wait_url(url(1))
        items = app.find("# of items to increment")
        for _ in range(ITEMS - 1):
            app.press("Up", root=items)
        harness.wait_until_equal(lambda: app.text("Items", pyatspi.ROLE_TEXT), str(ITEMS), "Items box")

        with desk.clipboard_recorder() as seen:
            app.press("Feed")
            harness.wait_until_equal(lambda: seen[:1], [url(1)], "first hand-over")
            started = time.monotonic()
            harness.wait_until(lambda: len(seen), lambda n: n >= 2, "second hand-over")
            pace = time.monotonic() - started
            with desk.other_window(400, 300, 300, 100, title="Save As - Downloads"):
                # The status line says the run waits for the window in front;
                # the run has not ended.
                sent, status = harness.wait_until(
                    lambda: (len(seen), app.status_panels()[1]),
                    lambda now: re.fullmatch('Waiting: ".*" is in front|Ready[.]', now[1]),
                    "the status saying the run waits")
                held = seen[:sent]
                with report.part("nothing is handed over while a Save window is in front"):
                    harness.check(sent < ITEMS and status != "Ready.",
                                  "the run ended before the Save window came: %r, %r" % (held, status))
                    # Four times the pace the run kept so far.
                    harness.stays_equal(lambda: (seen, app.status_panels()[1]), (held, status), 4 * pace,
                                "clipboard texts and status while held")
            app.wait_status(1, "Ready.")
            with report.part("every URL once, in order"):
                harness.check_equal(seen, [url(n) for n in range(1, ITEMS + 1)], "clipboard texts")
        app.wait_url(url(ITEMS))
        harness.check_equal(app.text("Items", pyatspi.ROLE_TEXT), "1", "Items box after the run")
        harness.check_equal(app.close(), 0, "exit status after closing the window")


if __name__ == "__main__":
    harness.run(main)
