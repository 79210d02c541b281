#!/usr/bin/env python3
"""The URL travels through the real X clipboard: each step puts the new URL
where another program (xclip) reads it, and Paste takes what another
program put there: text (megabytes of it too), or only an image, or an
owner that never answers. Copy run puts the whole run there at once; Send
run to KGet shows only while KGet is on the session bus and hands it the run
in one call (a stand-in of the test's own), and a refusal names KGet's
error."""

import json
import os
import subprocess
import sys
import time

import harness

BASE = "http://www.example.com/members/gallery/photos/98/"
SILENT = "The program that holds the clipboard did not answer."
# Serimo gives up on an owner that does not answer long before the toolkit
# alone would (five seconds and more). Its message must come within this,
# timed from the owner's receipt of Serimo's request to the message's window
# on the screen, so that how slowly a busy machine delivers the test's own
# actions does not count.
SILENT_LIMIT = 3.0


def step_and_check(desk, app, how, expected):
    """Steps with `how` and checks the URL box and the clipboard, which only
    a running serimo can serve."""
    how()
    app.wait_url(expected, "URL box")
    desk.wait_clipboard(expected, "clipboard")
    harness.check(app.running(), "serimo exited while it held the clipboard")


def check_silent_owner_box(desk, app, owner, action, what):
    """Runs action() while `owner`, an X connection, holds the clipboard and
    PRIMARY and never answers; checks that Serimo asks it, then says so in
    time, and dismisses the message (also when it came late, so that the
    test goes on without a box in the way)."""
    from Xlib import X
    boxes = lambda: set(desk.search("--onlyvisible", "--pid", str(app.proc.pid), "--name", "^Warning$"))
    before = boxes()
    action()
    asked = []

    def request_seen():
        while owner.pending_events():
            if owner.next_event().type == X.SelectionRequest and not asked:
                asked.append(time.monotonic())
        return asked

    harness.wait_for(request_seen, "Serimo to ask the clipboard's owner after %s" % what, interval=0.01)
    harness.wait_for(lambda: boxes() - before, "a warning's window after %s" % what)
    took = time.monotonic() - asked[0]
    _caption, box = app.wait_message_box(SILENT)
    app.dismiss_message_box(box)
    harness.check(took < SILENT_LIMIT, "the message came %.1fs after Serimo asked, on %s" % (took, what))


def main(serimo, report):
    with harness.Desktop() as desk:
        app = desk.start_serimo(serimo)
        desk.wait_active(app.window)
        app.wait_url(harness.EXAMPLE_URL)

        step_and_check(desk, app, lambda: desk.key("alt+i"), BASE + "pic002.jpg")
        step_and_check(desk, app, lambda: app.press("Next"), BASE + "pic003.jpg")
        step_and_check(desk, app, lambda: app.press("Back"), BASE + "pic002.jpg")

        pasted = "http://www.example.com/pic9.jpg"
        desk.set_clipboard(pasted)
        app.press("Paste")
        app.wait_url(pasted, "URL box after Paste")
        step_and_check(desk, app, lambda: app.press("Next"), "http://www.example.com/pic10.jpg")
        with report.part("status line after the step past 9"):
            app.wait_status(0, "../pic10.jpg")

        with report.part("a clipboard owner that never answers"):
            from Xlib import X, Xatom, display
            silent = display.Display(desk.display)
            owner = silent.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
            owner.set_selection_owner(silent.intern_atom("CLIPBOARD"), X.CurrentTime)
            owner.set_selection_owner(Xatom.PRIMARY, X.CurrentTime)
            silent.sync()
            paste = app.find("Paste")
            check_silent_owner_box(desk, app, silent, lambda: app.press("Paste", opens_modal=True, control=paste), "Paste")
            import pyatspi
            # The keys go to the window that has the focus once the box has gone.
            desk.activate(app.window)
            harness.check(app.find("URL", pyatspi.ROLE_TEXT).queryComponent().grabFocus(), "URL box focus")
            check_silent_owner_box(desk, app, silent, lambda: desk.key("ctrl+v"), "Ctrl+V")
            url = app.find("URL", pyatspi.ROLE_TEXT).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            check_silent_owner_box(desk, app, silent, lambda: desk.x("xdotool", "mousemove", "--sync", str(url.x + url.width // 2),
                                                             str(url.y + url.height // 2), "click", "2"),
                                   "a middle click")
            step_and_check(desk, app, lambda: app.press("Next"), "http://www.example.com/pic11.jpg")
            silent.close()
            desk.set_clipboard(pasted)
            desk.key("ctrl+a", "ctrl+v")
            app.wait_url(pasted, "URL box after Ctrl+V")
            primary = desk._spawn(["xclip", "-quiet", "-selection", "primary", "-i"], stdin=subprocess.PIPE)
            primary.stdin.write(b"?b=1")
            primary.stdin.close()
            harness.wait_until_equal(lambda: desk.x("xclip", "-selection", "primary", "-o"), "?b=1", "PRIMARY")
            desk.x("xdotool", "mousemove", "--sync", str(url.x + url.width - 4), str(url.y + url.height // 2),
                   "click", "2")
            app.wait_url(pasted + "?b=1", "URL box after a middle click at its end")

        with report.part("megabytes of text with a line break"):
            long_text = "http://www.example.com/pic07.jpg" + "x" * (4 << 20) + "\n"
            desk.set_clipboard(long_text)
            app.press("Paste")
            app.wait_url(long_text[:1023], "URL box after pasting 4 MB")

        with report.part("only an image in the clipboard"):
            image = desk._spawn(["xclip", "-quiet", "-selection", "clipboard", "-t", "image/png", "-i"],
                                stdin=subprocess.PIPE)
            image.stdin.write(b"\x89PNG\r\n\x1a\n")
            image.stdin.close()
            harness.wait_until(lambda: desk.x("xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"),
                               lambda targets: "image/png" in targets, "the clipboard to offer the image")
            app.click("Paste")
            caption, box = app.wait_message_box("No text in clipboard.")
            harness.check_equal(caption, "Warning", "caption")
            app.dismiss_message_box(box)
            app.wait_url(long_text[:1023], "URL box after pasting an image")

        run = [BASE + "s;v=2/pic%03d.jpg" % n for n in (8, 9, 10)]
        app.set_text("URL", run[0])
        app.set_text("Items", "3")
        with report.part("Copy run"):
            app.choose_from_menu("Copy run")
            desk.wait_clipboard("".join(url + "\n" for url in run), "clipboard after Copy run")
            app.wait_status(1, "Copied 3 URLs")

        with report.part("Send run to KGet hidden while KGet is not on the bus"):
            app.press("Menu")
            menu = desk.wait_menu_shown("the pop-up menu")
            app.find("Copy run", root=menu)
            import pyatspi
            shown = lambda: [item.name for item in (menu.getChildAtIndex(i) for i in range(menu.childCount))
                             if item.getState().contains(pyatspi.STATE_VISIBLE)]
            harness.stays_equal(lambda: "Send run to KGet" in shown(), False, 1, "Send run to KGet in the menu")
            desk.key("Escape")
            harness.wait_for(lambda: menu.clear_cache() or not menu.getState().contains(pyatspi.STATE_SHOWING),
                             "the pop-up menu to close")
        kget = desk._spawn([sys.executable, os.path.join(os.path.dirname(__file__), "kget_standin.py")],
                           stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        harness.check_equal(kget.stdout.readline(), "ready\n", "the KGet stand-in")
        with report.part("Send run to KGet: the run in one call, into Downloads, started"):
            app.choose_from_menu("Send run to KGet")
            harness.check_equal(json.loads(kget.stdout.readline()),
                                [";".join(url.replace(";", "%3B") for url in run),
                                 os.path.join(desk.home, "Downloads"), True], "KGet's call")
            app.wait_status(1, "KGet took 3 of 3 URLs")
        with report.part("KGet's refusal is reported with its error"):
            app.choose_from_menu("Send run to KGet")
            kget.stdout.readline()
            # The refusal comes once the menu has closed, lest its Esc close the box.
            kget.stdin.write("refuse\n")
            kget.stdin.flush()
            caption, box = app.wait_message_box("KGet did not take the run: The folder is full")
            harness.check_equal(caption, "Error", "caption")
            app.dismiss_message_box(box)
        harness.check_equal(app.close(), 0, "exit status after closing the window")


if __name__ == "__main__":
    harness.run(main)
