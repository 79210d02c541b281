#!/usr/bin/env python3
"""From a window's close to the process's end, on each desktop the
end-to-end tests start: X11 with openbox, sway, sway with Serimo as an X
client through XWayland, and KWin. Each desktop has a KGet stand-in on its
bus; Serimo is closed CLOSES times (20 by default), in turn idle, during a
feed and kept on top, and the longest time is reported. The clock starts when the
close request goes to the desktop, so the desktop's own part is counted.

    bench/close_to_exit.py build/serimo [CLOSES]

With SERIMO_CLOSE_DURING=download every close comes during a Download run
of 999 files of 50 KB from a server on 127.0.0.1 (X11 only), and no
partial file may stay behind.

With SERIMO_EXIT_STACKS=SECONDS, a close that has not ended after that
long prints the stacks of every thread of Serimo (gdb): what holds it."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

E2E = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e")
sys.path.insert(0, E2E)
import harness  # noqa: E402
import wayland_desktop  # noqa: E402

import pyatspi  # noqa: E402  (after harness, which finds the system's bindings)

URL = "http://www.example.com/members/gallery/photos/98/pic001.jpg"

def stacks(pid):
    result = subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt 12"],
                            capture_output=True, text=True, timeout=60)
    return "\n".join(line for line in result.stdout.splitlines() if line.startswith(("#", "Thread")))


def close_time(app, request):
    """Seconds from the close request to the process's end."""
    started = time.monotonic()
    request()
    if os.environ.get("SERIMO_EXIT_STACKS"):
        after = float(os.environ["SERIMO_EXIT_STACKS"])
        try:
            app.proc.wait(timeout=after)
        except subprocess.TimeoutExpired:
            print("still running %.2fs after the close:\n%s" % (after, stacks(app.proc.pid)), flush=True)
    app.wait_exit(timeout=30)
    return time.monotonic() - started


def kwin_request(desk, app):
    """The close as a KWin script, loaded before the clock starts."""
    desk._scripts = getattr(desk, "_scripts", 0) + 1
    name = "close-%d" % desk._scripts
    path = os.path.join(desk.home, name + ".js")
    with open(path, "w") as f:
        f.write("var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
                "for (var i = 0; i < windows.length; ++i)\n"
                "    if (windows[i].pid == %d && windows[i].caption == %r) windows[i].closeWindow();\n"
                % (app.proc.pid, harness.TITLE))
    desk._scripting("loadScript", path, name)
    return lambda: desk._scripting("start")


def during_download(desk, serimo, closes):
    """Closes the window CLOSES times while Download run fetches."""
    from download import serve_gallery
    work = tempfile.mkdtemp(prefix="serimo-close-")
    server, base, _ = serve_gallery(work, 999)
    times = []
    try:
        for n in range(closes):
            folder = os.path.join(work, "run%d" % n)
            os.makedirs(folder)
            record = harness.encode_record(left=40, top=40, right=340, bottom=200, interval=1000,
                                           reserved20=0, hints=1, text=1, url=1, reserved24=bytes(4))
            harness.write_settings(desk.settings_path, {"LastURL": base + "pic001.jpg", "Serimo_099": record,
                                                        "DownloadFolder": folder})
            app = desk.start_serimo(serimo)
            desk.wait_active(app.window)
            app.set_text("Items", "999")
            app.choose_from_menu("Download run...", opens_modal=True)
            choose = app.find("Choose", root=app.wait_dialog(what="the folder chooser"))
            app.press("Choose", control=choose)
            harness.wait_until(lambda: app.status_panels()[1], lambda text: text.startswith("Downloading"),
                               "the download to run")
            times.append(close_time(app, lambda: desk.close_window(app.window)))
            harness.check_equal(app.proc.returncode, 0, "exit status")
            left = [name for name in os.listdir(folder) if name.endswith(".serimo-part")]
            harness.check(not left, "partial files left behind: %r" % left)
            print("  close %2d: %4.0f ms, %d files saved" % (n + 1, times[-1] * 1000, len(os.listdir(folder))),
                  flush=True)
    finally:
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    times.sort()
    print("%-16s %2d closes during a download: longest %4.0f ms, median %4.0f ms, load average %s" % (
        "X11 (openbox)", closes, times[-1] * 1000, times[len(times) // 2] * 1000,
        " ".join("%.1f" % x for x in os.getloadavg())), flush=True)


def one_desktop(name, desk, start, request, closes):
    kget = desk._spawn([sys.executable, os.path.join(E2E, "kget_standin.py")],
                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    harness.check_equal(kget.stdout.readline(), "ready\n", "the KGet stand-in")
    times = []
    for n in range(closes):
        harness.store_feed_start(desk.settings_path, URL, 100)
        app = start()
        app.wait_url(URL)
        if n % 3 == 1:
            app.press("Feed")
            harness.wait_until(lambda: app.status_panels()[1], lambda text: text.startswith("Sending"),
                               "the feed to run")
        elif n % 3 == 2:
            # The menu stays open: the close comes with it showing.
            app.press("Menu")
            menu = desk.wait_menu_shown("the pop-up menu")
            app.press("Stay on top", pyatspi.ROLE_MENU_ITEM, root=menu)
        times.append(close_time(app, request(app)))
        harness.check_equal(app.proc.returncode, 0, "exit status")
    times.sort()
    print("%-16s %2d closes: longest %4.0f ms, median %4.0f ms" % (
        name, closes, times[-1] * 1000, times[len(times) // 2] * 1000), flush=True)


DESKTOPS = {
    "X11 (openbox)": lambda serimo: (harness.Desktop(), lambda desk: desk.start_serimo(serimo),
                                     lambda desk, app: lambda: desk.close_window(app.window)),
    "sway": lambda serimo: (wayland_desktop.SwayDesktop(), lambda desk: desk.start_serimo(serimo),
                            lambda desk, app: lambda: desk.close_window(app.proc.pid)),
    "sway + XWayland": lambda serimo: (wayland_desktop.SwayDesktop(xwayland=True),
                                       lambda desk: desk.start_serimo(serimo, platform="xcb"),
                                       lambda desk, app: lambda: desk.close_window(app.proc.pid)),
    "KWin": lambda serimo: (wayland_desktop.KwinDesktop(serimo), lambda desk: desk.start_serimo(serimo),
                            kwin_request),
}


def main(serimo, _report):
    closes = int(os.environ.get("SERIMO_CLOSES", "20"))
    if os.environ.get("SERIMO_CLOSE_DURING") == "download":
        sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
        with harness.Desktop() as desk:
            during_download(desk, serimo, closes)
        return
    name = os.environ.get("SERIMO_BENCH_DESKTOP")
    if name is None:
        # One desktop per process: the accessibility library keeps the
        # first session bus it was used with.
        for name in DESKTOPS:
            subprocess.run([sys.executable, sys.argv[0], serimo],
                           env=dict(os.environ, SERIMO_BENCH_DESKTOP=name, SERIMO_CLOSES=str(closes)), check=True)
        return
    desktop, start, request = DESKTOPS[name](serimo)
    with desktop as desk:
        one_desktop(name, desk, lambda: start(desk), lambda app: request(desk, app), closes)


if __name__ == "__main__":
    if len(sys.argv) == 3:
        os.environ["SERIMO_CLOSES"] = sys.argv.pop()
    harness.run(main, limit=1800)
