#!/usr/bin/env python3
"""A settings file that is a FIFO: Serimo starts at once, says once that it
leaves the file alone, runs in its first-run state and writes nothing into
the FIFO, neither while it runs nor when it closes."""

import os
import stat

import harness
from harness import check, check_equal

BASE = "http://www.example.com/members/gallery/photos/98/"


def main(serimo, report):
    with harness.Desktop() as desk:
        os.makedirs(os.path.dirname(desk.settings_path))
        os.mkfifo(desk.settings_path)
        # Held open, so that a writer would not wait but leave its bytes here.
        reader = os.open(desk.settings_path, os.O_RDONLY | os.O_NONBLOCK)
        try:
            app = desk.start_serimo(serimo, window=False)
            caption, box = app.wait_message_box(
                "The settings file %s is not a regular file. Serimo starts with its first "
                "settings and saves none." % desk.settings_path)
            with report.part("caption"):
                check_equal(caption, "Warning", "caption of the box")
            app.dismiss_message_box(box)
            app.wait_window()
            desk.wait_active(app.window)
            with report.part("first-run state"):
                app.wait_url(harness.EXAMPLE_URL)
            app.press("Next")
            app.wait_url(BASE + "pic002.jpg")
            # A second box at close would hold the exit until answered.
            check_equal(app.close(), 0, "exit status")
            check(stat.S_ISFIFO(os.stat(desk.settings_path).st_mode), "the FIFO was replaced")
            check_equal(os.read(reader, 4096), b"", "bytes written into the FIFO")
        finally:
            os.close(reader)


if __name__ == "__main__":
    harness.run(main)
