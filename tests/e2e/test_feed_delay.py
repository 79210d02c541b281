#!/usr/bin/env python3
"""The feed delay as a new user sets it: Menu, "Feed delay", preset e closes
the dialog at once; the delay is saved at close, and after a restart the
dialog opens at it. Also the About window, which only its Ok button closes."""

import harness
from harness import check, check_equal

import pyatspi  # after harness, which finds the system's bindings

DIALOG_TITLE = "Set Feed Delay (msecs.) to"


def dialog_windows(desk, app):
    return desk.search("--all", "--onlyvisible", "--pid", str(app.proc.pid),
                       "--name", "^%s$" % DIALOG_TITLE.replace("(", "\\(").replace(")", "\\)")
                       .replace(".", "\\."))


def open_dialog(desk, app):
    app.choose_from_menu("Feed delay", opens_modal=True)
    return harness.wait_for(lambda: dialog_windows(desk, app), "the feed delay dialog to open")


def saved_interval(desk):
    values = harness.read_settings(desk.settings_path)
    return harness.decode_record(values["Serimo_099"])["interval"]


def main(serimo, report):
    with harness.Desktop() as desk:
        app = desk.start_serimo(serimo)
        desk.wait_active(app.window)
        open_dialog(desk, app)
        with report.part("dialog opens at the default delay"):
            harness.wait_until_equal(lambda: app.text("Value", pyatspi.ROLE_TEXT), "2000", "value box")
        app.press("e = 3000", pyatspi.ROLE_RADIO_BUTTON)
        harness.wait_until_equal(lambda: dialog_windows(desk, app), [], "dialog windows after preset e")

        with report.part("About closes with Ok only"):
            app.choose_from_menu("About", opens_modal=True)
            about = harness.wait_for(lambda: app.find("Ok", pyatspi.ROLE_PUSH_BUTTON), "About's Ok button")
            desk.key("Escape")
            check(app.find("Serimo icon").getState().contains(pyatspi.STATE_SHOWING),
                  "the About window went away on Esc")
            app.press("Ok", root=about.parent)
            harness.wait_until(lambda: app.app.childCount, lambda n: n == 1,
                               "one window left after Ok in About")

        desk.activate(app.window)
        check_equal(app.close(), 0, "exit status of the first run")
        check_equal(saved_interval(desk), 3000, "feed interval saved after preset e")

        app = desk.start_serimo(serimo)
        desk.wait_active(app.window)
        open_dialog(desk, app)
        harness.wait_until_equal(lambda: app.text("Value", pyatspi.ROLE_TEXT), "3000",
                                 "value box after a restart")
        app.press("Cancel")
        harness.wait_until_equal(lambda: dialog_windows(desk, app), [], "dialog windows after Cancel")
        desk.activate(app.window)
        check_equal(app.close(), 0, "exit status of the second run")
        check_equal(saved_interval(desk), 3000, "feed interval kept after Cancel")


if __name__ == "__main__":
    harness.run(main)
