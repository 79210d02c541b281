"""The desktop of a test session: a private X display (Xvfb) with openbox
as the window manager, a private D-Bus session with the accessibility bus,
and a temporary home directory; started together and stopped together.

What each of the desktop's processes writes goes to a log of its own in the
home directory; at the end of the session a report notes, for each, whether
it was still running or how it ended, with its last lines, so that a test
that lost its display tells why beside serimo's own output."""

import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

from .checks import ATSPI_TIMEOUT_MS, DEADLINE, SCREEN_HEIGHT, SCREEN_WIDTH, TestFailure, check, wait_for
from .processes import become_subreaper, stop_descendants
from .script_run import DESKTOP_REPORT, keep_logs
from .serimo_app import Serimo
from .window_driver import XWindowDriver

# How many of its last lines of output the report shows for each process.
REPORT_LINES = 30


def _how_it_ended(returncode):
    if returncode is None:
        return "still running when the session ended"
    if returncode < 0:
        return "killed by signal %d (%s)" % (-returncode, signal.Signals(-returncode).name)
    return "exited with status %d" % returncode


class Desktop(XWindowDriver):
    """A private X display with openbox, a D-Bus session with the
    accessibility bus, and a temporary home directory."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="serimo-e2e-")
        self.config_home = os.path.join(self.home, ".config")
        self.settings_path = os.path.join(self.config_home, "Brellix", "SERIMO.conf")
        self.runtime = os.path.join(self.home, "runtime")
        self._procs = []
        self._desktop_procs = []
        self.display = None
        self.env = None
        self._menus_shown = []

    # ---- lifetime -------------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, _kind, _exc, _tb):
        self.close()
        return False

    def _spawn(self, argv, **kwargs):
        kwargs.setdefault("env", self.env)
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        proc = subprocess.Popen(argv, **kwargs)
        self._procs.append(proc)
        return proc

    def _spawn_desktop(self, name, argv, **kwargs):
        """Starts one of the desktop's own processes, its output (standard
        error, and standard output unless kwargs takes it) in home/name.log,
        for the report at the session's end."""
        with open(os.path.join(self.home, name + ".log"), "wb") as log:
            kwargs.setdefault("stdout", log)
            proc = self._spawn(argv, stderr=log, **kwargs)
        self._desktop_procs.append((name, proc))
        return proc

    def _prepare_session(self):
        """The home, configuration and runtime folders, and an environment
        of the session's own in self.env, with nothing of the desktop the
        tests run in."""
        become_subreaper()
        os.makedirs(self.config_home, exist_ok=True)
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "DBUS_", "XDG_", "AT_SPI", "WAYLAND", "SWAYSOCK"))
               and k not in ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "SERIMO_E2E_REEXEC")}
        env.update(HOME=self.home, XDG_CONFIG_HOME=self.config_home,
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_RUNTIME_DIR=self.runtime, LC_ALL="C.UTF-8",
                   GSETTINGS_BACKEND="memory")
        self.env = env

    def _start_session_bus(self):
        """A session bus of our own; the accessibility bus is activated on it."""
        bus = self._spawn_desktop("dbus-daemon", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                  stdout=subprocess.PIPE)
        if not select.select([bus.stdout], [], [], 10)[0]:
            raise TestFailure("dbus-daemon printed no address within 10s")
        address = bus.stdout.readline().decode().strip()
        check(address, "dbus-daemon printed no address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _join_session(self, keys):
        """The accessibility library finds the buses through our own
        environment: the session's values of `keys` go there."""
        for key in keys:
            os.environ[key] = self.env[key]
        self._join_accessibility()

    def _start(self):
        self._prepare_session()
        # Xvfb picks a free display itself and writes its number to the pipe
        # once it accepts connections.
        read_end, write_end = os.pipe()
        self._spawn_desktop("Xvfb", ["Xvfb", "-displayfd", str(write_end),
                                     "-screen", "0", "%dx%dx24" % (SCREEN_WIDTH, SCREEN_HEIGHT),
                                     "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 10
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([read_end], [], [], left)[0]:
                raise TestFailure("Xvfb did not report a display within 10s")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise TestFailure("Xvfb exited before reporting a display")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.display

        self._start_session_bus()
        self._spawn_desktop("openbox", ["openbox", "--sm-disable"])
        wait_for(lambda: "window id #" in self._root_property("_NET_SUPPORTING_WM_CHECK"),
                 "openbox to manage the screen", timeout=10)
        self._join_session(("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "HOME"))

    def close(self):
        # How the desktop's processes fared, before the cleanup stops them.
        ended = [(name, proc.pid, proc.poll()) for name, proc in self._desktop_procs]
        # Everything below this process was started by this session, the
        # accessibility services our bus daemon launched included.
        spawned = {proc.pid for proc in self._procs}
        stop_descendants(reap=lambda pid: pid not in spawned)
        for proc in self._procs:
            try:
                proc.wait(timeout=1)
            except subprocess.TimeoutExpired:
                pass
            for stream in (proc.stdin, proc.stdout, proc.stderr):
                if stream:
                    stream.close()
        self._procs = []
        self._desktop_procs = []
        self._write_desktop_report(ended)
        # Copied once every process has ended, so that what a sanitizer
        # reports at serimo's exit is in it.
        keep_logs(self.home)
        shutil.rmtree(self.home, ignore_errors=True)

    def _write_desktop_report(self, ended):
        """For each of the desktop's processes: how it ended (or that it was
        still running) and the last lines of its log."""
        if not ended or not os.path.isdir(self.home):
            return
        parts = []
        for name, pid, returncode in ended:
            try:
                with open(os.path.join(self.home, name + ".log"), errors="replace") as f:
                    lines = f.read().splitlines()[-REPORT_LINES:]
            except OSError:
                lines = []
            parts.append("%s (pid %d): %s; %s\n" % (
                name, pid, _how_it_ended(returncode),
                "its last lines of output (%s.log):" % name if lines else "no output"))
            parts.extend("    %s\n" % line for line in lines)
        with open(os.path.join(self.home, DESKTOP_REPORT), "w") as f:
            f.writelines(parts)

    # ---- serimo ---------------------------------------------------------

    def start_serimo(self, binary, extra_env=None, args=(), window=True):
        """Starts serimo (with command-line args) and returns a Serimo handle
        once its window is shown (at once with window=False: then call its
        wait_window() once a box shown at start-up has been answered).
        extra_env adds to (or, with a value of None, removes from) the
        environment serimo gets, e.g. a PATH with a stand-in program."""
        env = dict(self.env)
        env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1")
        for key, value in (extra_env or {}).items():
            if value is None:
                env.pop(key, None)
            else:
                env[key] = value
        with open(self._log_path(), "ab") as log:
            proc = self._spawn([binary] + list(args), env=env, stdout=log, stderr=log,
                               cwd=self.home)
        app = Serimo(self, proc)
        if window:
            app.wait_window()
        return app

    def _log_path(self):
        return os.path.join(self.home, "serimo.log")

    # ---- accessibility --------------------------------------------------

    def _join_accessibility(self):
        """Sets how long calls wait and listens for pop-up menus. A program
        learns which events have listeners when it joins the accessibility
        bus; listeners added later may never reach it. So this comes before
        any serimo starts."""
        import pyatspi
        pyatspi.setTimeout(ATSPI_TIMEOUT_MS, ATSPI_TIMEOUT_MS)

        def on_showing(event):
            if event.detail1 and event.source.getRole() == pyatspi.ROLE_POPUP_MENU:
                self._menus_shown.append(event.source)

        pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")

    def wait_menu_shown(self, what, timeout=DEADLINE):
        """The pop-up menu shown since the last call, once its event arrived."""
        from gi.repository import GLib
        context = GLib.MainContext.default()

        def shown():
            while context.iteration(False):
                pass
            return self._menus_shown[-1] if self._menus_shown else None

        try:
            return wait_for(shown, what, timeout, interval=0.02)
        finally:
            self._menus_shown.clear()

    def atspi_application(self, pid):
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)

        def find():
            for index in range(desktop.childCount):
                child = desktop.getChildAtIndex(index)
                if child is not None and child.get_process_id() == pid:
                    return child
            return None

        return wait_for(find, "serimo (pid %d) on the accessibility bus" % pid)
