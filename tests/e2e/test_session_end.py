#!/usr/bin/env python3
"""The session's end (SIGTERM at logout or from a service manager, SIGINT,
SIGHUP) closes Serimo as its user's close does: the settings are written and
the exit status is 0, also while a modal window is open."""

import os
import signal

import harness
from harness import check_equal

BASE = "http://www.example.com/members/gallery/photos/98/"


def stored_url(desk):
    return harness.read_settings(desk.settings_path).get("LastURL")


def two_steps_then(desk, serimo, signum):
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)
    app.wait_url(harness.EXAMPLE_URL)
    app.press("Next")
    app.press("Next")
    app.wait_url(BASE + "pic003.jpg")
    app.proc.send_signal(signum)
    return app.wait_exit()


def main(serimo, report):
    with harness.Desktop() as desk:
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            name = signal.Signals(signum).name
            if os.path.exists(desk.settings_path):
                os.remove(desk.settings_path)
            with report.part(name):
                check_equal(two_steps_then(desk, serimo, signum), 0, "exit status after %s" % name)
                check_equal(stored_url(desk), BASE + "pic003.jpg", "stored URL after %s" % name)

        # A modal window runs a loop of its own; About does not even close
        # on the window manager's request.
        for step, (item, title) in enumerate((("Feed delay", "^Set Feed Delay"), ("About", "^About"))):
            with report.part("SIGTERM while %s is open" % item):
                url = BASE + "pic%03d.jpg" % (4 + step)
                app = desk.start_serimo(serimo)
                desk.wait_active(app.window)
                app.press("Next")
                app.wait_url(url)
                app.choose_from_menu(item, opens_modal=True)
                harness.wait_for(lambda: desk.search("--all", "--onlyvisible", "--pid", str(app.proc.pid),
                                                     "--name", title),
                                 "the %s window to open" % item)
                app.proc.send_signal(signal.SIGTERM)
                check_equal(app.wait_exit(), 0, "exit status after SIGTERM with %s open" % item)
                check_equal(stored_url(desk), url, "stored URL after SIGTERM with %s open" % item)

        with report.part("SIGTERM while the start-up settings error is shown"):
            with open(desk.settings_path, "w") as f:
                f.write("[General]\nLastURL=http://keep.me/x001.jpg\nSerimo_099=hello\n")
            app = desk.start_serimo(serimo, window=False)
            app.wait_message_box("Invalid data type for 'Serimo_099'")
            app.proc.send_signal(signal.SIGTERM)
            check_equal(app.wait_exit(), 0, "exit status after SIGTERM with the settings error shown")
            check_equal(stored_url(desk), "http://keep.me/x001.jpg", "stored URL after SIGTERM at start-up")

        with report.part("SIGHUP ignored by whoever started Serimo stays ignored"):
            ignored = signal.signal(signal.SIGHUP, signal.SIG_IGN)
            try:
                app = desk.start_serimo(serimo)
            finally:
                signal.signal(signal.SIGHUP, ignored)
            desk.wait_active(app.window)
            app.press("Next")
            app.proc.send_signal(signal.SIGHUP)
            harness.stays_equal(app.proc.poll, None, 1.0, "serimo running after an ignored SIGHUP")
            app.proc.send_signal(signal.SIGTERM)
            check_equal(app.wait_exit(), 0, "exit status after SIGTERM")


if __name__ == "__main__":
    harness.run(main)
