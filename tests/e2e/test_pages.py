#!/usr/bin/env python3
"""Images writes the image page into the home directory and hands it to the
desktop's opener (xdg-open); without any opener, and when the opener fails,
the user is told. The opener never holds the window, is never left a zombie
and outlives Serimo."""

import os
import stat
import urllib.parse

import harness

BASE = "http://www.example.com/members/gallery/photos/98/"


def expected_page(names):
    """The page for a run, as the desktop's default colours (black text on
    white) make it."""
    lines = ["<TITLE> Web Vemp Page </TITLE>",
             '<HTML><BODY TEXT="#000000" BGCOLOR="#FFFFFF">',
             '<BODY><P ALIGN="CENTER"><center><FONT SIZE="4">']
    for name in names:
        lines.append('<a href="%s%s" target="_blank"><img border="4" src="%s%s" alt="../%s"></a>'
                     % (BASE, name, BASE, name, name))
    lines.append("</BODY></HTML>")
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def recording_opener(folder, record):
    """An xdg-open that only notes each argument it is given, one a line."""
    os.makedirs(folder)
    opener = os.path.join(folder, "xdg-open")
    with open(opener, "w") as f:
        f.write('#!/bin/sh\nfor arg in "$@"; do printf "%%s\\n" "$arg" >> "%s"; done\n' % record)
    os.chmod(opener, stat.S_IRWXU)


def stub_opener(folder, body):
    """A folder holding an xdg-open that runs the shell text `body`."""
    os.makedirs(folder)
    opener = os.path.join(folder, "xdg-open")
    with open(opener, "w") as f:
        f.write("#!/bin/sh\n" + body + "\n")
    os.chmod(opener, stat.S_IRWXU)
    return folder


def zombie_children(pid):
    """The ended but unreaped children of the process pid."""
    zombies = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if fields[0] == "Z" and int(fields[1]) == pid:
                zombies.append(int(entry))
    return zombies


def alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def read_record(record):
    try:
        with open(record) as f:
            return f.read().splitlines()
    except OSError:
        return None


def main(serimo, report):
    no_browser = {"BROWSER": None, "DEFAULT_BROWSER": None}
    with harness.Desktop() as desk:
        bin_dir = os.path.join(desk.home, "bin")
        record = os.path.join(desk.home, "opened.txt")
        recording_opener(bin_dir, record)
        env = dict(no_browser, PATH=bin_dir + os.pathsep + desk.env.get("PATH", "/usr/bin:/bin"))
        app = desk.start_serimo(serimo, env)
        desk.wait_active(app.window)
        app.wait_url(harness.EXAMPLE_URL)
        app.set_text("Items", "3")
        app.press("Images")

        page = os.path.join(desk.home, "serimo.htm")
        opened = harness.wait_for(lambda: read_record(record), "xdg-open to be called")
        harness.check_equal(len(opened), 1, "arguments given to xdg-open")
        target = urllib.parse.urlparse(opened[0])
        harness.check_equal((target.scheme, urllib.parse.unquote(target.path)), ("file", page),
                            "what xdg-open was asked to open")
        with report.part("page on disk"):
            with open(page, "rb") as f:
                harness.check_equal(f.read(), expected_page(["pic001.jpg", "pic002.jpg", "pic003.jpg"]),
                                    "image page")
        with report.part("URL after the run"):
            app.wait_url(BASE + "pic004.jpg")
        with report.part("ended opener reaped"):
            harness.wait_until_equal(lambda: zombie_children(app.proc.pid), [], "zombie children of serimo")
        harness.check_equal(app.close(), 0, "exit status after closing the window")

        # An opener that fails: the user learns it, naming the page.
        path = stub_opener(os.path.join(desk.home, "failing"), "exit 3") + os.pathsep + desk.env["PATH"]
        app = desk.start_serimo(serimo, dict(no_browser, PATH=path))
        desk.wait_active(app.window)
        app.press("Images")
        caption, box = app.wait_message_box("The browser could not open %s: xdg-open ended with 3." % page)
        with report.part("caption of the box for a failing opener"):
            harness.check_equal(caption, "Error", "caption")
        with report.part("failed opener reaped"):
            harness.check_equal(zombie_children(app.proc.pid), [], "zombie children of serimo")
        app.dismiss_message_box(box)
        harness.check_equal(app.close(), 0, "exit status after a failing opener")

        # An opener that does not end: the window goes on, and the opener
        # (which may be the browser itself) outlives Serimo.
        pid_file = os.path.join(desk.home, "opener.pid")
        path = (stub_opener(os.path.join(desk.home, "hanging"), 'echo $$ > "%s"; exec sleep 60' % pid_file)
                + os.pathsep + desk.env["PATH"])
        app = desk.start_serimo(serimo, dict(no_browser, PATH=path))
        desk.wait_active(app.window)
        start = app.url()
        app.press("Images")
        opener = int(harness.wait_for(lambda: read_record(pid_file), "the hanging opener to start")[0])
        with report.part("window answers while the opener runs"):
            app.press("Next")
            harness.wait_until(app.url, lambda url: url != start, "URL after Next")
        harness.check_equal(app.close(), 0, "exit status while the opener runs")
        with report.part("opener outlives serimo"):
            harness.check(alive(opener), "the opener ended with serimo")

        # Again with no opener anywhere on PATH (one desktop per process).
        os.remove(page)
        empty = os.path.join(desk.home, "empty")
        os.makedirs(empty)
        app = desk.start_serimo(serimo, dict(no_browser, PATH=empty))
        desk.wait_active(app.window)
        app.click("Images")
        caption, box = app.wait_message_box("Web Browser not found.")
        with report.part("caption of the box"):
            harness.check_equal(caption, "Error", "caption")
        with report.part("page written before the hand-over"):
            harness.check(os.path.isfile(os.path.join(desk.home, "serimo.htm")), "no image page on disk")
        app.dismiss_message_box(box)
        harness.check_equal(app.close(), 0, "exit status after closing the window")


if __name__ == "__main__":
    harness.run(main)
