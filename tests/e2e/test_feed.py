#!/usr/bin/env python3
"""A feed hands each URL of a run to the real X clipboard once, in order, at
the feed delay, and holds back while a window titled "Save ..." of another
program is in front."""

import time

import harness

BASE = "http://www.example.com/members/gallery/photos/98/"
DELAY_MS = 300


def url(n):
    return BASE + "pic%03d.jpg" % n


def main(serimo, report):
    import pyatspi
    with harness.Desktop() as desk:
        record = harness.encode_record(left=40, top=40, right=340, bottom=200, interval=DELAY_MS,
                                       reserved20=0, hints=1, text=1, url=1, reserved24=b"\0" * 4)
        harness.write_settings(desk.settings_path, {"LastURL": url(1), "Serimo_099": record})
        app = desk.start_serimo(serimo)
        desk.wait_active(app.window)
        app.wait_url(url(1))
        items = app.find("# of items to increment")
        for _ in range(3):
            app.press("Up", root=items)
        harness.wait_until_equal(lambda: app.text("Items", pyatspi.ROLE_TEXT), "4", "Items box")

        with desk.clipboard_recorder() as seen:
            app.press("Feed")
            harness.wait_until_equal(lambda: seen[-1:], [url(1)], "first hand-over")
            with desk.other_window(400, 300, 300, 100, title="Save As - Downloads"):
                held = list(seen)
                time.sleep(4 * DELAY_MS / 1000)
                with report.part("nothing is handed over while a Save window is in front"):
                    harness.check_equal(seen, held, "clipboard texts while held")
            app.wait_status(1, "Ready.")
            with report.part("every URL once, in order"):
                harness.check_equal(seen, [url(n) for n in range(1, 5)], "clipboard texts")
        app.wait_url(url(4))
        harness.check_equal(app.text("Items", pyatspi.ROLE_TEXT), "1", "Items box after the run")
        harness.check_equal(app.close(), 0, "exit status after closing the window")


if __name__ == "__main__":
    harness.run(main)
