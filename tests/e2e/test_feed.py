#!/usr/bin/env python3
"""A feed hands each URL of a run to the real X clipboard once, in order, at
the feed delay, and holds back while a window titled "Save ..." of another
program is in front."""

import time

import harness

BASE = "http://www.example.com/members/gallery/photos/98/"
DELAY_MS = 400
# Enough URLs that the run is still going when the Save window comes to the front.
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

        # The Save window is there before the run, and comes to the front during it.
        with desk.other_window(400, 300, 300, 100, title="Save As - Downloads") as save, \
                desk.clipboard_recorder() as seen:
            desk.activate(app.window)
            app.press("Feed")
            harness.wait_until_equal(lambda: seen[:1], [url(1)], "first hand-over")
            started = time.monotonic()
            harness.wait_until(lambda: len(seen), lambda n: n >= 2, "second hand-over")
            pace = time.monotonic() - started
            desk.activate(save)
            with report.part("nothing is handed over while a Save window is in front"):
                # Four times the pace the run kept so far.
                harness.check_held(app, lambda: seen, desk.clipboard, 4 * pace, "the Save window")
            desk.activate(app.window)
            app.wait_status(1, "Ready.")
            with report.part("every URL once, in order"):
                harness.wait_until_equal(lambda: list(seen), [url(n) for n in range(1, ITEMS + 1)], "clipboard texts")
        app.wait_url(url(ITEMS))
        harness.check_equal(app.text("Items", pyatspi.ROLE_TEXT), "1", "Items box after the run")
        harness.check_equal(app.close(), 0, "exit status after closing the window")


if __name__ == "__main__":
    harness.run(main)
