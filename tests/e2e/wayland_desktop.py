"""Wayland sessions for the end-to-end tests: a headless sway and a virtual
KWin.

serimo and the helper programs (wl-copy, wl-paste, foot) connect to the
compositor's socket. The session bus and the accessibility bus are set up as
for the X tests, so that serimo is driven through AT-SPI the same way."""

import glob
import json
import os
import shutil
import subprocess
import threading

import harness
from harness import check, wait_for

NOBODY = 65534
# How long a compositor, and Serimo under it, may take to follow a change
# when the machine is busy.
SLOW = 20


class WaylandDesktop(harness.Desktop):
    """What the Wayland sessions share: the environment, the buses, the
    clipboard through wl-clipboard and serimo started natively. A subclass
    starts its compositor in _start_compositor and sets WAYLAND_DISPLAY."""

    def _start(self):
        self._prepare_session()
        self._start_session_bus()
        self._start_compositor()
        self._join_session(("DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "HOME"))

    # ---- windows --------------------------------------------------------------

    def native_window(self, title):
        """A native window of another program that publishes accessibility
        (a Qt window, built with the tests), titled `title`; the compositor
        gives it the focus. Returns its process; retitle() changes its
        title."""
        proc = self._spawn([os.environ["SERIMO_TITLED_WINDOW"], title], stdin=subprocess.PIPE,
                           env=dict(self.env, QT_QPA_PLATFORM="wayland", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                    QT_ACCESSIBILITY="1"))
        self.wait_focused(title)
        return proc

    def retitle(self, window, title):
        """Changes the title of a native_window() that is in front."""
        window.stdin.write(title.encode() + b"\n")
        window.stdin.flush()
        self.wait_focused(title)

    # ---- clipboard ----------------------------------------------------------

    def clipboard(self):
        result = subprocess.run(["wl-paste", "--no-newline"], env=self.env, capture_output=True,
                                timeout=harness.DEADLINE)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None

    def set_clipboard(self, text):
        subprocess.run(["wl-copy", text], env=self.env, check=True, timeout=harness.DEADLINE)
        harness.wait_until_equal(self.clipboard, text, "clipboard after wl-copy")

    def clipboard_watch(self):
        """Starts `wl-paste --watch`, which runs once for every new clipboard
        text; returns the list it fills, one entry per text."""
        seen = []
        proc = self._spawn(["wl-paste", "--no-newline", "--watch", "sh", "-c", "cat; echo"],
                           stdout=subprocess.PIPE)

        def read():
            for line in proc.stdout:
                seen.append(line.decode("utf-8", "replace").rstrip("\n"))

        threading.Thread(target=read, daemon=True).start()
        return seen

    # ---- serimo -------------------------------------------------------------

    def start_serimo(self, binary, extra_env=None, args=(), platform=None):
        """Starts serimo on the given Qt platform, or, by default, on the
        one serimo chooses itself."""
        env = dict(self.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        if platform:
            env["QT_QPA_PLATFORM"] = platform
        env.update(extra_env or {})
        with open(self._log_path(), "ab") as log:
            proc = self._spawn([binary] + list(args), env=env, stdout=log, stderr=log, cwd=self.home)
        app = WaylandSerimo(self, proc)
        app.window = proc.pid
        self._wait_shown(app)
        return app


class WaylandSerimo(harness.Serimo):
    def close(self, timeout=harness.DEADLINE):
        self.desk.close_window(self.proc.pid)
        return self.wait_exit(timeout)


class SwayDesktop(WaylandDesktop):
    """A headless sway. sway refuses to run as root, so it runs as the
    unprivileged user nobody in the session's runtime directory."""

    def __init__(self, xwayland=False):
        """With xwayland, sway also runs an X server for X clients; its
        display is self.display."""
        super().__init__()
        self._xwayland = xwayland

    def _start_compositor(self):
        os.chown(self.home, NOBODY, NOBODY)
        os.chown(self.runtime, NOBODY, NOBODY)
        config = os.path.join(self.home, "sway.conf")
        display_file = os.path.join(self.runtime, "x-display")
        with open(config, "w") as f:
            f.write("output HEADLESS-1 resolution %dx%d\n" % (harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT))
            if self._xwayland:
                # X clients of other users (root runs the tests) may connect.
                f.write("exec sh -c 'xhost +si:localuser:root; echo $DISPLAY > %s'\n" % display_file)
            else:
                f.write("xwayland disable\n")
        self._spawn_desktop("sway", ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups",
                                     "sway", "-c", config],
                            env=dict(self.env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                                     WLR_RENDERER="pixman"))
        sockets = wait_for(lambda: glob.glob(os.path.join(self.runtime, "wayland-*[0-9]")),
                           "sway's Wayland socket", timeout=10)
        self.env["WAYLAND_DISPLAY"] = os.path.basename(sockets[0])
        self.env["SWAYSOCK"] = wait_for(
            lambda: (glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock")) or [None])[0],
            "sway's IPC socket", timeout=10)
        if self._xwayland:
            def display():
                with open(display_file) as f:
                    return f.read().strip() or None
            self.display = wait_for(lambda: os.path.exists(display_file) and display(),
                                    "sway's XWayland display", timeout=10)
            self.env["DISPLAY"] = self.display
            # XWayland ends with its last client; one that stays keeps it up
            # between the short-lived X tools of the tests.
            self._spawn(["xprop", "-root", "-spy"])

    def swaymsg(self, *args):
        result = subprocess.run(["swaymsg"] + list(args), env=self.env, capture_output=True,
                                text=True, timeout=harness.DEADLINE)
        check(result.returncode == 0, "swaymsg %s failed: %s%s" % (args, result.stdout, result.stderr))
        return result.stdout

    def windows(self):
        """Every window sway manages: (title, pid, focused)."""
        found = []

        def walk(node):
            if node.get("pid"):
                found.append((node.get("name"), node["pid"], node.get("focused", False)))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(json.loads(self.swaymsg("-t", "get_tree", "-r")))
        return found

    def focused_title(self):
        return next((title for title, _pid, focused in self.windows() if focused), None)

    def wait_focused(self, title):
        harness.wait_until_equal(self.focused_title, title, "focused window", timeout=SLOW)

    def _wait_shown(self, app):
        wait_for(lambda: app.running() and any(pid == app.proc.pid and title == harness.TITLE
                                               for title, pid, _f in self.windows()),
                 "serimo's window %r" % harness.TITLE, timeout=10)

    def focus(self, title):
        self.swaymsg('[title="^%s$"] focus' % title)
        self.wait_focused(title)

    def other_window(self, title):
        """A terminal window of another program titled `title`; sway gives a
        new window the focus. Returns its process."""
        proc = self._spawn(["foot", "--title", title, "sleep", "600"])
        self.wait_focused(title)
        return proc

    def close_window(self, pid):
        self.swaymsg("[pid=%d] kill" % pid)


class KwinDesktop(WaylandDesktop):
    """A virtual KWin. KWin offers its window list only to programs whose
    installed desktop entry asks for it, as Serimo's does: an entry for the
    serimo under test is installed in the session's data directory.
    KWin's scripting interface on the session bus tells which window is
    active and their stacking, and moves the focus; a new window takes the
    focus, and closing it gives the focus back to the one before."""

    def __init__(self, serimo):
        super().__init__()
        self._serimo = serimo

    def _start_compositor(self):
        applications = os.path.join(self.env["XDG_DATA_HOME"], "applications")
        os.makedirs(applications)
        with open(os.path.join(applications, "com.example.serimo.desktop"), "w") as f:
            f.write("[Desktop Entry]\nType=Application\nName=Serimo\nExec=%s %%u\n"
                    "X-KDE-Wayland-Interfaces=org_kde_plasma_window_management\n" % self._serimo)
        # A copy of KWin: the installed one carries a file capability, which
        # a sandbox that forbids new privileges refuses to start. KWin looks
        # for its own name to load its platform plugin.
        kwin = os.path.join(self.home, "kwin", "kwin_wayland")
        os.makedirs(os.path.dirname(kwin))
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        self._spawn_desktop("kwin", [kwin, "--virtual", "--no-lockscreen", "--socket", "kwin-0",
                                     "--width", str(harness.SCREEN_WIDTH), "--height", str(harness.SCREEN_HEIGHT)])
        wait_for(lambda: os.path.exists(os.path.join(self.runtime, "kwin-0")), "KWin's Wayland socket",
                 timeout=15)
        self.env["WAYLAND_DISPLAY"] = "kwin-0"

    # ---- KWin's own view of its windows, through its scripting interface --

    def kwin_script(self, body):
        """Runs a script in KWin, where `windows` lists every window and
        say(text) reports a line; returns the lines it said."""
        self._scripts = getattr(self, "_scripts", 0) + 1
        name = "e2e-%d" % self._scripts
        path = os.path.join(self.home, name + ".js")
        with open(path, "w") as f:
            f.write('function say(text) { print("%s " + text); }\n' % name)
            f.write("var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();\n")
            f.write(body)
            f.write('\nsay("end");\n')
        self._scripting("loadScript", path, name)
        self._scripting("start")
        mark = "js: %s " % name

        def said():
            with open(os.path.join(self.home, "kwin.log"), errors="replace") as log:
                lines = [line[len(mark):].rstrip("\n") for line in log if line.startswith(mark)]
            return lines if lines[-1:] == ["end"] else None

        lines = wait_for(said, "KWin to run script %s" % name, timeout=10)
        self._scripting("unloadScript", name)
        return lines[:-1]

    def _scripting(self, method, *args):
        result = subprocess.run(["gdbus", "call", "--session", "--dest", "org.kde.KWin", "--object-path",
                                 "/Scripting", "--method", "org.kde.kwin.Scripting." + method] + list(args),
                                env=self.env, capture_output=True, text=True, timeout=harness.DEADLINE)
        check(result.returncode == 0, "KWin's %s failed: %s" % (method, result.stderr))

    def focused_title(self):
        said = self.kwin_script("var active = workspace.activeWindow || workspace.activeClient;\n"
                                'say(active ? active.caption : "");')
        return said[0] if said else None

    def windows(self):
        """Every ordinary window: {title: (stacking position, kept above)},
        the higher position the nearer the top."""
        said = self.kwin_script("for (var i = 0; i < windows.length; ++i) if (windows[i].normalWindow)\n"
                                '    say(windows[i].stackingOrder + " " + windows[i].keepAbove + " " + windows[i].caption);')
        found = {}
        for line in said:
            order, above, title = line.split(" ", 2)
            found[title] = (int(order), above == "true")
        return found

    def wait_focused(self, title):
        harness.wait_until_equal(self.focused_title, title, "KWin's active window", timeout=SLOW)

    def _wait_shown(self, app):
        app.find("URL", timeout=10)

    def close_window(self, pid):
        """Closes the program's main window (not a menu it may have open)."""
        self.kwin_script("for (var i = 0; i < windows.length; ++i)\n"
                         "    if (windows[i].pid == %d && windows[i].caption == %s) windows[i].closeWindow();"
                         % (pid, json.dumps(harness.TITLE)))

    def focus(self, title):
        self.kwin_script("for (var i = 0; i < windows.length; ++i) if (windows[i].caption == %s) {\n"
                         "    if (\"activeWindow\" in workspace) workspace.activeWindow = windows[i];\n"
                         "    else workspace.activeClient = windows[i];\n}" % json.dumps(title))
        self.wait_focused(title)

    def other_window(self, title):
        """A window of another program titled `title`, which does not
        publish accessibility: only KWin's window list can see it. (foot
        stops on a division by zero under a virtual KWin.)"""
        proc = self._spawn([os.environ["SERIMO_TITLED_WINDOW"], title],
                           env=dict(self.env, QT_QPA_PLATFORM="wayland"))
        self.wait_focused(title)
        return proc
