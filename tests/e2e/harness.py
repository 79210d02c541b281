"""Shared machinery for the end-to-end tests.

Each test runs the real serimo binary on a private X server (Xvfb) with
openbox as the window manager, a private D-Bus session with the
accessibility bus, and a temporary HOME and XDG_CONFIG_HOME, so that no
user settings or desktop are touched. Everything started here is stopped
again when the session ends, also when a check fails.

A test script looks like:

    import harness

    def main(serimo):
        with harness.Desktop() as desk:
            app = desk.start_serimo(serimo)
            ...

    harness.run(main)
"""

import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def _ensure_pyatspi():
    """Re-run the script with the system interpreter when the one we were
    started with cannot see the Debian python3-pyatspi bindings (e.g. a
    pyenv interpreter found first on PATH)."""
    try:
        import pyatspi  # noqa: F401  (only probing that it imports)
        return
    except ImportError:
        pass
    system_python = "/usr/bin/python3"
    if os.environ.get("SERIMO_E2E_REEXEC") or not os.path.exists(system_python):
        sys.exit("FAIL: python3-pyatspi is not importable from %s "
                 "(run ./scripts/install-deps.sh --tests)" % sys.executable)
    os.environ["SERIMO_E2E_REEXEC"] = "1"
    script = os.path.abspath(sys.argv[0])
    os.execv(system_python, [system_python, script] + sys.argv[1:])


_ensure_pyatspi()

SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
TITLE = "Serimo 1.0"
EXAMPLE_URL = "http://www.example.com/members/gallery/photos/98/pic001.jpg"
# How long anything may take to show an effect before a check fails.
DEADLINE = 5.0


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise TestFailure("%s: expected %r, got %r" % (what, expected, actual))


def wait_for(probe, what, timeout=DEADLINE, interval=0.03):
    """Polls probe() until it returns a true value and returns that value;
    fails with `what` and the last value seen when the deadline passes.
    Exceptions from probe() count as "not yet" until the deadline."""
    deadline = time.monotonic() + timeout
    last, error = None, None
    while True:
        try:
            last = probe()
            error = None
            if last:
                return last
        except Exception as exc:  # noqa: BLE001  (retried until the deadline)
            error = exc
        if time.monotonic() >= deadline:
            detail = "last error: %s" % error if error else "last value: %r" % (last,)
            raise TestFailure("timed out after %.1fs waiting for %s (%s)"
                              % (timeout, what, detail))
        time.sleep(interval)


def wait_until_equal(probe, expected, what, timeout=DEADLINE):
    """Polls probe() until it returns `expected`; on timeout the failure
    names the last value seen."""
    seen = []

    def matches():
        seen[:] = [probe()]
        return seen[0] == expected

    try:
        wait_for(matches, what, timeout)
    except TestFailure:
        raise TestFailure("%s: expected %r, last seen %r after %.1fs"
                          % (what, expected, seen[0] if seen else None, timeout))


def run(main):
    """Entry point of a test script: argv[1] is the serimo binary."""
    if len(sys.argv) != 2:
        sys.exit("usage: %s PATH_TO_SERIMO" % sys.argv[0])
    binary = os.path.abspath(sys.argv[1])
    if not os.access(binary, os.X_OK):
        sys.exit("FAIL: %s is not an executable" % binary)
    name = os.path.basename(sys.argv[0])
    started = time.monotonic()
    try:
        main(binary)
    except TestFailure as exc:
        print("FAIL %s: %s" % (name, exc), file=sys.stderr)
        sys.exit(1)
    print("PASS %s (%.1fs)" % (name, time.monotonic() - started))


def _descendants(pid):
    """Pids of all living descendants of pid, children before grandchildren."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        # The command name may hold blanks and parentheses: split after it.
        fields = stat[stat.rfind(")") + 2:].split()
        children.setdefault(int(fields[1]), []).append(int(entry))
    found, queue = [], [pid]
    while queue:
        for child in children.get(queue.pop(0), []):
            found.append(child)
            queue.append(child)
    return found


def _alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
    except OSError:
        return False
    return stat[stat.rfind(")") + 2:].split()[0] != "Z"


def _stop_pids(pids, timeout=2.0):
    """SIGTERM each pid, then SIGKILL whatever is still there at the deadline."""
    for pid in pids:
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + timeout
    while any(_alive(p) for p in pids) and time.monotonic() < deadline:
        time.sleep(0.02)
    for pid in pids:
        if _alive(pid):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass


class Desktop:
    """A private X display with openbox, a D-Bus session with the
    accessibility bus, and a temporary home directory."""

    def __init__(self, home=None):
        self._own_home = home is None
        self.home = home or tempfile.mkdtemp(prefix="serimo-e2e-")
        self.config_home = os.path.join(self.home, ".config")
        self._procs = []          # (name, Popen), stopped in reverse order
        self.display = None
        self.env = None
        self._registry = None

    # ---- lifetime -------------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _spawn(self, name, argv, **kwargs):
        kwargs.setdefault("env", self.env)
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        proc = subprocess.Popen(argv, **kwargs)
        self._procs.append((name, proc))
        return proc

    def _start(self):
        os.makedirs(self.config_home, exist_ok=True)
        runtime = os.path.join(self.home, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "DBUS_", "XDG_", "AT_SPI", "WAYLAND"))
               and k not in ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER")}
        env.update(HOME=self.home, XDG_CONFIG_HOME=self.config_home,
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8",
                   GSETTINGS_BACKEND="memory", NO_AT_BRIDGE="1")
        self.env = env

        # Xvfb picks a free display itself and writes its number to the pipe
        # once it accepts connections.
        read_end, write_end = os.pipe()
        self._spawn("Xvfb", ["Xvfb", "-displayfd", str(write_end),
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
        env["DISPLAY"] = self.display

        # A session bus of our own; the accessibility bus is activated on it.
        bus = self._spawn("dbus-daemon", ["dbus-daemon", "--session", "--nofork",
                                          "--print-address=1"],
                          stdout=subprocess.PIPE)
        if not select.select([bus.stdout], [], [], 10)[0]:
            raise TestFailure("dbus-daemon printed no address within 10s")
        address = bus.stdout.readline().decode().strip()
        check(address, "dbus-daemon printed no address")
        env["DBUS_SESSION_BUS_ADDRESS"] = address

        self._spawn("openbox", ["openbox", "--sm-disable"])
        wait_for(lambda: self._root_property("_NET_SUPPORTING_WM_CHECK")
                 .find("window id #") >= 0, "openbox to manage the screen", timeout=10)

        # pyatspi finds the buses through the environment of this process.
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "HOME"):
            os.environ[key] = env[key]

    def close(self):
        # Services activated by our D-Bus daemon (the accessibility bus and its
        # registry) are its descendants; stop them together with it.
        pids = []
        for name, proc in reversed(self._procs):
            if proc.poll() is None or name == "dbus-daemon":
                pids.extend(reversed(_descendants(proc.pid)))
            if proc.poll() is None:
                pids.append(proc.pid)
        if pids:
            _stop_pids(pids)
        for _, proc in self._procs:
            try:
                proc.wait(timeout=1)
            except subprocess.TimeoutExpired:
                pass
            for stream in (proc.stdout, proc.stderr):
                if stream:
                    stream.close()
        self._procs = []
        if self._own_home:
            shutil.rmtree(self.home, ignore_errors=True)

    # ---- X helpers ------------------------------------------------------

    def x(self, *argv, timeout=DEADLINE, check_rc=True):
        """Runs an X client (xdotool, xprop, ...) on our display; returns stdout."""
        result = subprocess.run(argv, env=self.env, capture_output=True,
                                text=True, timeout=timeout)
        if check_rc and result.returncode != 0:
            raise TestFailure("%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                                      result.stderr.strip()))
        return result.stdout

    def _root_property(self, name):
        return self.x("xprop", "-root", name, check_rc=False)

    def active_window(self):
        out = self.x("xdotool", "getactivewindow", check_rc=False).strip()
        return int(out) if out.isdigit() else None

    def window_property(self, window, name):
        return self.x("xprop", "-id", str(window), name).strip()

    def net_wm_state(self, window):
        """The atoms of _NET_WM_STATE as a set."""
        out = self.window_property(window, "_NET_WM_STATE")
        if "=" not in out:
            return set()
        return {atom.strip() for atom in out.split("=", 1)[1].split(",") if atom.strip()}

    def frame_extents(self, window):
        """(left, right, top, bottom) of the decoration the WM put round window."""
        out = self.window_property(window, "_NET_FRAME_EXTENTS")
        if "=" not in out:
            raise TestFailure("window has no _NET_FRAME_EXTENTS: %r" % out)
        return tuple(int(v) for v in out.split("=", 1)[1].split(","))

    def client_geometry(self, window):
        """(x, y, width, height) of the client window in root coordinates."""
        values = {}
        for line in self.x("xwininfo", "-id", str(window)).splitlines():
            line = line.strip()
            for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                if line.startswith(key + ":"):
                    values[key] = int(line.split(":", 1)[1])
        return (values["Absolute upper-left X"], values["Absolute upper-left Y"],
                values["Width"], values["Height"])

    def outer_frame(self, window):
        """(left, top, right, bottom) of the window including its decoration."""
        x, y, w, h = self.client_geometry(window)
        left, right, top, bottom = self.frame_extents(window)
        return (x - left, y - top, x + w + right, y + h + bottom)

    def key(self, *keys):
        """Types keys through XTEST, as the keyboard would, into the window
        that has the input focus."""
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def activate(self, window):
        self.x("xdotool", "windowactivate", "--sync", str(window))
        wait_for(lambda: self.active_window() == window, "window %d to be active" % window)

    def close_window(self, window):
        """Asks the window manager to close the window (_NET_CLOSE_WINDOW), which
        openbox turns into WM_DELETE_WINDOW, as the title bar's close button does."""
        _send_net_close_window(self.display, window)

    # ---- clipboard ------------------------------------------------------

    def clipboard(self):
        """The text of the CLIPBOARD selection as another program reads it, or
        None when nobody offers text."""
        result = subprocess.run(["xclip", "-selection", "clipboard", "-o"],
                                env=self.env, capture_output=True, timeout=DEADLINE)
        if result.returncode != 0:
            return None
        return result.stdout.decode("utf-8", "replace")

    def set_clipboard(self, text):
        """Makes an xclip process the owner of CLIPBOARD holding text; it stays
        (and is cleaned up with the session) until another program takes over."""
        proc = self._spawn("xclip", ["xclip", "-quiet", "-selection", "clipboard", "-i"],
                           stdin=subprocess.PIPE)
        proc.stdin.write(text.encode())
        proc.stdin.close()
        wait_until_equal(self.clipboard, text, "xclip to own the clipboard")

    def wait_clipboard(self, expected, what):
        wait_until_equal(self.clipboard, expected, what)

    # ---- serimo ---------------------------------------------------------

    def start_serimo(self, binary):
        """Starts serimo and returns a Serimo handle once its window is mapped."""
        env = dict(self.env)
        env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1")
        del env["NO_AT_BRIDGE"]
        log = open(os.path.join(self.home, "serimo.log"), "ab")
        proc = self._spawn("serimo", [binary], env=env, stdout=log, stderr=log,
                           cwd=self.home)
        log.close()
        app = Serimo(self, proc)
        try:
            out = self.x("xdotool", "search", "--sync", "--onlyvisible", "--pid",
                         str(proc.pid), "--name", "^%s$" % TITLE, timeout=10)
        except subprocess.TimeoutExpired:
            raise TestFailure("no visible window titled %r within 10s (serimo %s)"
                              % (TITLE, "exited with %s" % proc.poll()
                                 if proc.poll() is not None else "still running"))
        app.window = int(out.split()[0])
        return app

    def serimo_log(self):
        try:
            with open(os.path.join(self.home, "serimo.log"), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    # ---- accessibility --------------------------------------------------

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


class Serimo:
    """A running serimo process and its main window."""

    def __init__(self, desktop, proc):
        self.desk = desktop
        self.proc = proc
        self.window = None
        self._app = None

    # ---- process --------------------------------------------------------

    def close(self, timeout=DEADLINE):
        """Closes the main window as the user would and returns the exit status."""
        self.desk.close_window(self.window)
        return self.wait_exit(timeout)

    def wait_exit(self, timeout=DEADLINE):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("serimo did not exit within %.1fs after its window "
                              "was closed" % timeout)

    # ---- accessibility --------------------------------------------------

    @property
    def app(self):
        if self._app is None:
            self._app = self.desk.atspi_application(self.proc.pid)
        return self._app

    def find(self, name, role=None, timeout=DEADLINE):
        """The accessible named `name` (and of `role`, a pyatspi role constant)
        nearest to the top of the tree: the tool bar's "Next" rather than the
        arrow of the same name inside the up-down. Two matches at that depth
        are an error, since the test could not tell which one it drives."""

        def search():
            level = [self.app]
            while level:
                hits = [acc for acc in level if acc is not None and acc.name == name
                        and (role is None or acc.getRole() == role)]
                if len(hits) > 1:
                    raise TestFailure("%d accessibles named %r at the same depth"
                                      % (len(hits), name))
                if hits:
                    return hits[0]
                level = [acc.getChildAtIndex(i) for acc in level if acc is not None
                         for i in range(acc.childCount)]
            return None

        return wait_for(search, "accessible %r in serimo" % name, timeout)

    def press(self, name):
        """Presses the button with that accessible name through its default action."""
        import pyatspi
        button = self.find(name, pyatspi.ROLE_PUSH_BUTTON)
        action = button.queryAction()
        check(action.nActions > 0, "button %r offers no action" % name)
        check(action.doAction(0), "button %r refused its action" % name)

    def text(self, name):
        """The text of the control with that accessible name."""
        return _text_of(self.find(name))

    def url(self):
        return self.text("URL")

    def status_panels(self):
        """The texts of the two status line panels, left first."""
        import pyatspi
        bar = self.find("Status")
        labels = [bar.getChildAtIndex(i) for i in range(bar.childCount)]
        labels = [acc for acc in labels if acc is not None and acc.getRole() == pyatspi.ROLE_LABEL]
        check(len(labels) == 2, "status line has %d labels, expected 2" % len(labels))
        return tuple(_text_of(acc) for acc in labels)

    def is_showing(self, name):
        import pyatspi
        acc = self.find(name)
        acc.clear_cache()
        return acc.getState().contains(pyatspi.STATE_SHOWING)

    def wait_url(self, expected, what="URL box"):
        wait_until_equal(self.url, expected, what)

    def wait_status0(self, expected):
        wait_until_equal(lambda: self.status_panels()[0], expected, "status panel 0")


def _text_of(acc):
    try:
        text = acc.queryText()
    except NotImplementedError:
        return acc.name
    return text.getText(0, -1)


def _send_net_close_window(display_name, window):
    """Sends the EWMH close request for window to the root window."""
    import ctypes
    import ctypes.util

    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("client", ClientMessage), ("pad", ctypes.c_long * 24)]

    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                ctypes.c_long, ctypes.POINTER(Event)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = xlib.XOpenDisplay(display_name.encode())
    check(display, "cannot open display %s" % display_name)
    try:
        event = Event()
        event.client.type = 33  # ClientMessage
        event.client.send_event = 1
        event.client.display = display
        event.client.window = window
        event.client.message_type = xlib.XInternAtom(display, b"_NET_CLOSE_WINDOW", 0)
        event.client.format = 32
        event.client.data[0] = 0  # timestamp: CurrentTime
        event.client.data[1] = 2  # source: a pager or other tool acting for the user
        substructure_notify_redirect = (1 << 19) | (1 << 20)
        xlib.XSendEvent(display, xlib.XDefaultRootWindow(display), 0,
                        substructure_notify_redirect, ctypes.byref(event))
        xlib.XFlush(display)
    finally:
        xlib.XCloseDisplay(display)
