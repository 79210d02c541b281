"""Shared machinery for the end-to-end tests.

Each test script runs the real serimo binary on a private X server (Xvfb)
with openbox as the window manager, a private D-Bus session with the
accessibility bus, and a temporary HOME and XDG_CONFIG_HOME, so that no
user settings or desktop are touched. Everything started here is stopped
again when the session ends, also when a check fails or the script is
terminated.

A test script looks like:

    import harness

    def main(serimo, report):
        with harness.Desktop() as desk:
            app = desk.start_serimo(serimo)
            with report.part("URL box"):   # a failure here is noted, the test goes on
                app.wait_url(harness.EXAMPLE_URL)
            ...

    harness.run(main)

One Desktop per process: the accessibility library binds to the first
session bus it is used with.
"""

import contextlib
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import traceback


def _ensure_pyatspi():
    """Re-runs the script with the system interpreter when the one we were
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
# How long anything may take to show an effect before a check fails: waits
# end as soon as what they wait for holds, so a generous deadline costs a
# passing test nothing and keeps a loaded machine from failing it.
DEADLINE = 20.0
# A whole test script, start-up and cleanup included, fails after this.
TEST_LIMIT = 170
# How long one AT-SPI call waits for serimo's answer. The library's own
# default, under a second, is shorter than a sanitizer build on a busy
# machine may take to answer.
ATSPI_TIMEOUT_MS = int(DEADLINE * 1000)
# Window geometry may differ by this many pixels (rounding of halvings).
GEOMETRY_TOLERANCE = 2


class TestFailure(Exception):
    pass


class Interrupted(BaseException):
    """The test was stopped from outside or ran out of time; unlike a
    TestFailure, no report part swallows it."""


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise TestFailure("%s: expected %r, got %r" % (what, expected, actual))


def wait_for(probe, what, timeout=DEADLINE, interval=0.03):
    """Polls probe() until it returns a true value and returns that value;
    fails naming `what` and the last value seen when the deadline passes.
    Exceptions from probe() count as "not yet" until the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            last, error = probe(), None
            if last:
                return last
        except Exception as exc:  # noqa: BLE001  (retried until the deadline)
            last, error = None, exc
        if time.monotonic() >= deadline:
            detail = "last error: %s" % error if error else "last value: %r" % (last,)
            raise TestFailure("timed out after %.1fs waiting for %s (%s)"
                              % (timeout, what, detail))
        time.sleep(interval)


def retried_once(call, *args):
    """call(*args), made once more when serimo's answer did not come in
    time. Only for calls that read state or set it to a given value, which
    may be repeated, and whose effect the test checks."""
    from gi.repository import GLib
    try:
        return call(*args)
    except GLib.GError as exc:
        if "Did not receive a reply" not in str(exc):
            raise
    return call(*args)


def wait_until(probe, accept, what, timeout=DEADLINE):
    """Polls probe() until accept(value) holds and returns that value; the
    failure names `what` and the last value seen."""
    seen = []

    def accepted():
        seen[:] = [probe()]
        return accept(seen[0])

    try:
        wait_for(accepted, what, timeout)
    except TestFailure as exc:
        if not seen:
            raise
        raise TestFailure("%s: still %r after %.1fs" % (what, seen[0], timeout)) from exc
    return seen[0]


def wait_until_equal(probe, expected, what, timeout=DEADLINE):
    wait_until(probe, lambda value: value == expected,
               "%s: expected %r" % (what, expected), timeout)


def stays_equal(probe, expected, seconds, what):
    """Fails as soon as probe() differs from expected within `seconds`."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        check_equal(probe(), expected, what)
        time.sleep(0.03)
    check_equal(probe(), expected, what)


def check_held(app, handed, clipboard, seconds, what):
    """Checks that a feed holds while a window titled with "save" is in
    front: the status line says so before the run has ended, and for
    `seconds` after the watcher has seen the last URL handed over
    (clipboard() reads it), no more go out and the status stays."""
    status = wait_until(lambda: app.status_panels()[1], lambda text: text.startswith("Waiting:") or text == "Ready.",
                        "the status saying the run waits while %s is in front" % what)
    check(status != "Ready.", "the run ended while %s was in front: %r" % (what, handed()))
    last = clipboard()
    held = wait_until(lambda: list(handed()), lambda urls: urls[-1:] == [last],
                      "the watcher to see the last URL before the hold, %r" % last)
    stays_equal(lambda: (list(handed()), app.status_panels()[1]), (held, status), seconds,
                "URLs handed over and status while %s is in front" % what)


def near(actual, expected, tolerance=GEOMETRY_TOLERANCE):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class Report:
    """Collects the failures of checks that need not stop the test, so that
    one run names every fault it finds."""

    def __init__(self):
        self.failures = []

    class _Part:
        def __init__(self, report, name):
            self.report, self.name = report, name

        def __enter__(self):
            return self

        def __exit__(self, kind, exc, _tb):
            if kind is not None and issubclass(kind, TestFailure):
                self.report.failures.append("%s: %s" % (self.name, exc))
                return True
            return False

    def part(self, name):
        """`with report.part("what"):` records a TestFailure raised inside the
        block and goes on after it."""
        return self._Part(self, name)


def run(main, limit=TEST_LIMIT):
    """Entry point of a test script: calls main(binary, report), where binary
    is argv[1]; fails when main raises TestFailure or a report part failed,
    or when it takes longer than `limit` seconds."""
    if len(sys.argv) != 2:
        sys.exit("usage: %s PATH_TO_SERIMO" % sys.argv[0])
    binary = os.path.abspath(sys.argv[1])
    if not os.access(binary, os.X_OK):
        sys.exit("FAIL: %s is not an executable" % binary)
    name = os.path.basename(sys.argv[0])
    started = time.monotonic()

    # Turn a termination request and the overall deadline into exceptions,
    # so that the cleanup still stops every process the test started.
    def interrupted(signum, _frame):
        if signum == signal.SIGALRM:
            raise Interrupted("the test took longer than %ds" % limit)
        raise Interrupted("terminated by signal %d" % signum)

    for signum in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGALRM):
        signal.signal(signum, interrupted)
    signal.alarm(limit)
    report = Report()
    shutil.rmtree(kept_logs_folder(), ignore_errors=True)
    try:
        main(binary, report)
    except (TestFailure, Interrupted) as exc:
        report.failures.append(str(exc))
    except Exception:  # noqa: BLE001  (an error of the script or a library, reported with its trace)
        report.failures.append(traceback.format_exc())
    finally:
        signal.alarm(0)
    if report.failures:
        _show_kept_logs()
        print("FAIL %s: %d check(s) failed:\n  - %s"
              % (name, len(report.failures), "\n  - ".join(report.failures)), file=sys.stderr)
        sys.exit(1)
    shutil.rmtree(kept_logs_folder(), ignore_errors=True)
    print("PASS %s (%.1fs)" % (name, time.monotonic() - started))


def kept_logs_folder():
    """Where the logs of this script's session (serimo's whole output, the
    compositor's) are kept when it fails: a folder named after the script,
    below where it runs (the build's tests folder under CTest)."""
    script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    return os.path.join(os.getcwd(), "e2e-logs", script)


def _keep_logs(home):
    logs = [name for name in os.listdir(home) if name.endswith(".log")] if os.path.isdir(home) else []
    if logs:
        os.makedirs(kept_logs_folder(), exist_ok=True)
    for name in logs:
        shutil.copyfile(os.path.join(home, name), os.path.join(kept_logs_folder(), name))


def _show_kept_logs():
    """Prints serimo's whole output, a sanitizer's report included, and
    names the other logs kept."""
    folder = kept_logs_folder()
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    for name in names:
        if name.startswith("serimo"):
            with open(os.path.join(folder, name), errors="replace") as f:
                print("---- serimo's whole output (%s) ----\n%s---- end of %s ----"
                      % (name, f.read(), name), file=sys.stderr)
    if names:
        print("logs kept in %s: %s" % (folder, ", ".join(names)), file=sys.stderr)


# ---- processes -------------------------------------------------------------

def _become_subreaper():
    """Makes processes that our children leave behind (the D-Bus daemon
    starts the accessibility services and lets go of them) our children
    instead of init's, so that we can stop them and reap them."""
    import ctypes
    pr_set_child_subreaper = 36
    libc = ctypes.CDLL(None, use_errno=True)
    check(libc.prctl(pr_set_child_subreaper, 1, 0, 0, 0) == 0,
          "prctl(PR_SET_CHILD_SUBREAPER) failed: errno %d" % ctypes.get_errno())


def _stat_fields(pid):
    """The fields of /proc/pid/stat after the command name, or None."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
    except OSError:
        return None
    # The command name may hold blanks and parentheses: split after it.
    return stat[stat.rfind(")") + 2:].split()


def _descendants(pid):
    """The living descendants of pid, each with its depth below pid (1 for
    a child)."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            fields = _stat_fields(int(entry))
            if fields:
                children.setdefault(int(fields[1]), []).append(int(entry))
    found, queue = {}, [(pid, 0)]
    while queue:
        parent, depth = queue.pop(0)
        for child in children.get(parent, []):
            found[child] = depth + 1
            queue.append((child, depth + 1))
    return found


def _wait_exited(pids, timeout):
    """Waits until each pid has exited (a zombie counts); True if all did."""
    deadline = time.monotonic() + timeout
    while True:
        states = [_stat_fields(p) for p in pids]
        if all(fields is None or fields[0] == "Z" for fields in states):
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(0.02)


def _stop_descendants(reap):
    """Stops every process below this one, the deepest first, so that each
    parent is still there to reap its children; then reaps, of our own
    children, those that `reap` says nobody else waits for."""
    depths = _descendants(os.getpid())
    for depth in sorted(set(depths.values()), reverse=True):
        level = [pid for pid, d in depths.items() if d == depth]
        for pid in level:
            try:
                os.kill(pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        if not _wait_exited(level, 2.0):
            for pid in level:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            _wait_exited(level, 2.0)
    for pid, depth in depths.items():
        if depth == 1 and reap(pid):
            try:
                os.waitpid(pid, 0)
            except ChildProcessError:
                pass


# ---- settings file ---------------------------------------------------------

# The window settings record: bounds of the outer frame (left, top, right,
# bottom), feed interval in ms, reserved byte, show hints, show text, show
# URL, four reserved bytes; little-endian, 28 bytes.
RECORD = struct.Struct("<iiiiIBBBB4s")
RECORD_FIELDS = ("left", "top", "right", "bottom", "interval", "reserved20",
                 "hints", "text", "url", "reserved24")


def encode_record(**fields):
    return RECORD.pack(*(fields[name] for name in RECORD_FIELDS))


def decode_record(data):
    check(len(data) == RECORD.size,
          "settings record is %d bytes, expected %d: %r" % (len(data), RECORD.size, data))
    return dict(zip(RECORD_FIELDS, RECORD.unpack(data)))


_INI_ESCAPES = {"a": "\a", "b": "\b", "f": "\f", "n": "\n", "r": "\r", "t": "\t",
                "v": "\v", '"': '"', "'": "'", "?": "?", "\\": "\\"}


def _ini_unescape(raw):
    """The value of one line of an INI file written by QSettings: quotes,
    backslash escapes (named, \\x hex, octal), a comment after ';'."""
    out, quoted, i = [], False, 0
    raw = raw.strip()
    while i < len(raw):
        ch = raw[i]
        i += 1
        if ch == '"':
            quoted = not quoted
        elif ch == "\\" and i < len(raw):
            code = raw[i]
            i += 1
            if code == "x":
                digits = ""
                while i < len(raw) and raw[i] in "0123456789abcdefABCDEF":
                    digits += raw[i]
                    i += 1
                out.append(chr(int(digits or "0", 16)))
            elif code in "01234567":
                digits = code
                while i < len(raw) and raw[i] in "01234567":
                    digits += raw[i]
                    i += 1
                out.append(chr(int(digits, 8)))
            else:
                out.append(_INI_ESCAPES.get(code, code))
        elif ch == ";" and not quoted:
            break
        elif ch == "," and not quoted:
            raise TestFailure("unexpected list value in settings file: %r" % raw)
        else:
            out.append(ch)
    return "".join(out)


def read_settings(path):
    """The values of the [General] section: str, or bytes for @ByteArray."""
    values, section = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("["):
                section = line
                continue
            check(section == "[General]", "value outside [General] in %s: %r" % (path, line))
            key, _, raw = line.partition("=")
            value = _ini_unescape(raw)
            if value.startswith("@ByteArray(") and value.endswith(")"):
                value = value[len("@ByteArray("):-1].encode("latin-1")
            values[key.strip()] = value
    return values


def write_settings(path, values):
    """Writes values (str or bytes) as QSettings reads them back. Every byte
    of a byte array is written as a hex escape; strings must be plain."""
    lines = ["[General]"]
    for key, value in values.items():
        if isinstance(value, bytes):
            text = "@ByteArray(%s)" % "".join("\\x%02x" % b for b in value)
        else:
            check(all(" " < ch < "\x7f" and ch not in ';,="\\@' for ch in value),
                  "write_settings takes plain strings only: %r" % value)
            text = value
        lines.append("%s=%s" % (key, text))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


# ---- the desktop -----------------------------------------------------------

class Desktop:
    """A private X display with openbox, a D-Bus session with the
    accessibility bus, and a temporary home directory."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="serimo-e2e-")
        self.config_home = os.path.join(self.home, ".config")
        self.settings_path = os.path.join(self.config_home, "Brellix", "SERIMO.conf")
        self._procs = []
        self.display = None
        self.env = None
        self._menus_shown = []
        self._others = 0

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

    def _start(self):
        _become_subreaper()
        os.makedirs(self.config_home, exist_ok=True)
        runtime = os.path.join(self.home, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "DBUS_", "XDG_", "AT_SPI", "WAYLAND"))
               and k not in ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "SERIMO_E2E_REEXEC")}
        env.update(HOME=self.home, XDG_CONFIG_HOME=self.config_home,
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8",
                   GSETTINGS_BACKEND="memory")
        self.env = env

        # Xvfb picks a free display itself and writes its number to the pipe
        # once it accepts connections.
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end),
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
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE)
        if not select.select([bus.stdout], [], [], 10)[0]:
            raise TestFailure("dbus-daemon printed no address within 10s")
        address = bus.stdout.readline().decode().strip()
        check(address, "dbus-daemon printed no address")
        env["DBUS_SESSION_BUS_ADDRESS"] = address

        self._spawn(["openbox", "--sm-disable"])
        wait_for(lambda: "window id #" in self._root_property("_NET_SUPPORTING_WM_CHECK"),
                 "openbox to manage the screen", timeout=10)

        # The accessibility library finds the buses through our environment.
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "HOME"):
            os.environ[key] = env[key]
        self._join_accessibility()

    def close(self):
        # Everything below this process was started by this session, the
        # accessibility services our bus daemon launched included.
        spawned = {proc.pid for proc in self._procs}
        _stop_descendants(reap=lambda pid: pid not in spawned)
        for proc in self._procs:
            try:
                proc.wait(timeout=1)
            except subprocess.TimeoutExpired:
                pass
            for stream in (proc.stdin, proc.stdout, proc.stderr):
                if stream:
                    stream.close()
        self._procs = []
        # Copied once every process has ended, so that what a sanitizer
        # reports at serimo's exit is in it.
        _keep_logs(self.home)
        shutil.rmtree(self.home, ignore_errors=True)

    # ---- X helpers ------------------------------------------------------

    def x(self, *argv, timeout=DEADLINE, check_rc=True):
        """Runs an X client (xdotool, xprop, ...) on our display; returns stdout."""
        try:
            result = subprocess.run(argv, env=self.env, capture_output=True,
                                    text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("%s did not finish within %.1fs" % (" ".join(argv), timeout))
        if check_rc and result.returncode != 0:
            raise TestFailure("%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                                      result.stderr.strip()))
        return result.stdout

    def search(self, *criteria):
        """Ids of the windows that `xdotool search` finds. xdotool dies on a
        window that vanishes while it walks the tree (a tooltip, a menu that
        closes); that is an error here, for wait_for to retry, never "none"."""
        result = subprocess.run(["xdotool", "search"] + list(criteria), env=self.env,
                                capture_output=True, text=True, timeout=DEADLINE)
        if "X Error" in result.stderr:
            raise TestFailure("xdotool search %s: %s" % (" ".join(criteria), result.stderr.strip()))
        return [int(w) for w in result.stdout.split()]

    def _root_property(self, name):
        return self.x("xprop", "-root", name, check_rc=False)

    def active_window(self):
        out = self.x("xdotool", "getactivewindow", check_rc=False).strip()
        return int(out) if out.isdigit() else None

    def wait_active(self, window):
        wait_for(lambda: self.active_window() == window,
                 "window 0x%x to become the active window" % window)

    def activate(self, window):
        self.x("xdotool", "windowactivate", str(window))
        self.wait_active(window)

    def net_wm_state(self, window):
        """The atoms of the window's _NET_WM_STATE, as the WM set them."""
        out = self.x("xprop", "-id", str(window), "_NET_WM_STATE")
        if "=" not in out:
            return set()
        return {atom.strip() for atom in out.split("=", 1)[1].split(",") if atom.strip()}

    def stacking(self):
        """The managed windows from bottom to top."""
        out = self._root_property("_NET_CLIENT_LIST_STACKING")
        check("#" in out, "no _NET_CLIENT_LIST_STACKING on the root window: %r" % out)
        return [int(w.strip(), 16) for w in out.split("#", 1)[1].split(",")]

    def outer_frame(self, window):
        """(left, top, right, bottom) of the window including the decoration
        that the window manager put round it."""
        values = {}
        for line in self.x("xwininfo", "-id", str(window)).splitlines():
            key, _, value = line.strip().partition(":")
            if key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                values[key] = int(value)
        x, y = values["Absolute upper-left X"], values["Absolute upper-left Y"]
        width, height = values["Width"], values["Height"]
        out = self.x("xprop", "-id", str(window), "_NET_FRAME_EXTENTS")
        check("=" in out, "window has no _NET_FRAME_EXTENTS: %r" % out)
        left, right, top, bottom = (int(v) for v in out.split("=", 1)[1].split(","))
        return (x - left, y - top, x + width + right, y + height + bottom)

    def key(self, *keys):
        """Types keys through XTEST, as the keyboard does, into the window
        that has the input focus."""
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def close_window(self, window):
        """Asks the window manager to close the window (_NET_CLOSE_WINDOW);
        openbox sends it WM_DELETE_WINDOW, as its close button does."""
        # Timestamp 0 (CurrentTime); source 2: a tool acting for the user.
        _send_wm_message(self.display, window, "_NET_CLOSE_WINDOW", [0, 2])

    @contextlib.contextmanager
    def other_window(self, left, top, width, height, title=None):
        """An ordinary window of another program at that place (titled
        `title` when given), made active; yields its id and closes it
        afterwards."""
        self._others += 1
        name = "serimo-e2e-other-%d" % self._others
        titled = ["-title", title] if title else []
        proc = self._spawn(["xmessage", "-name", name] + titled + ["-geometry",
                            "%dx%d+%d+%d" % (width, height, left, top),
                            "another program's window"])
        try:
            window = wait_for(lambda: self.search("--onlyvisible", "--classname", name),
                              "a visible window of class %s" % name)[0]
            self.activate(window)
            yield window
        finally:
            proc.terminate()
            proc.wait(timeout=DEADLINE)

    # ---- clipboard ------------------------------------------------------

    def clipboard(self):
        """The text of the CLIPBOARD selection as another program reads it, or
        None when nobody offers text."""
        try:
            result = subprocess.run(["xclip", "-selection", "clipboard", "-o"],
                                    env=self.env, capture_output=True, timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            raise TestFailure("xclip could not read the clipboard within %.1fs" % DEADLINE)
        if result.returncode != 0:
            return None
        return result.stdout.decode("utf-8", "replace")

    @contextlib.contextmanager
    def clipboard_recorder(self):
        """Records every text the clipboard offers, read each time its owner
        changes, as clipboard managers learn of it (XFixes): yields the
        list, which grows with each new text, once the recorder has read
        what the clipboard holds now, so that it sees every change after."""
        import threading
        from Xlib import display as xdisplay
        from Xlib.ext import xfixes
        connection = xdisplay.Display(self.display)
        connection.xfixes_query_version()
        connection.xfixes_select_selection_input(connection.screen().root, connection.intern_atom("CLIPBOARD"),
                                                 xfixes.XFixesSetSelectionOwnerNotifyMask)
        connection.sync()
        seen, stop, listening = [], threading.Event(), threading.Event()

        def note():
            text = self.clipboard()
            if text is not None and (not seen or seen[-1] != text):
                seen.append(text)

        def watch():
            note()
            listening.set()
            while not stop.is_set():
                if connection.pending_events():
                    connection.next_event()
                    note()
                else:
                    select.select([connection.fileno()], [], [], 0.1)

        thread = threading.Thread(target=watch, daemon=True)
        thread.start()
        try:
            check(listening.wait(DEADLINE), "the clipboard recorder did not start within %.1fs" % DEADLINE)
            yield seen
        finally:
            stop.set()
            thread.join(timeout=DEADLINE)
            connection.close()

    def wait_clipboard(self, expected, what="clipboard"):
        wait_until_equal(self.clipboard, expected, what)

    def set_clipboard(self, text):
        """Makes an xclip process the owner of CLIPBOARD holding text; it stays
        until another program takes the clipboard (or the session ends)."""
        proc = self._spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                           stdin=subprocess.PIPE)
        proc.stdin.write(text.encode())
        proc.stdin.close()
        wait_until_equal(self.clipboard, text, "clipboard after xclip took it")

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


class Serimo:
    """A running serimo process and its main window."""

    def __init__(self, desktop, proc):
        self.desk = desktop
        self.proc = proc
        self.window = None
        self._app = None

    # ---- process --------------------------------------------------------

    def wait_window(self, timeout=10):
        """Waits until the main window is shown and notes its id."""
        deadline = time.monotonic() + timeout
        while True:
            if self.proc.poll() is not None:
                raise TestFailure("serimo exited with status %s before showing a window "
                                  "titled %r" % (self.proc.poll(), TITLE))
            try:
                out = self.desk.search("--all", "--onlyvisible", "--pid", str(self.proc.pid),
                                       "--name", "^%s$" % TITLE)
            except TestFailure:
                out = []
            if out:
                break
            if time.monotonic() >= deadline:
                raise TestFailure("no visible window titled %r within %ds" % (TITLE, timeout))
            time.sleep(0.03)
        self.window = out[0]

    def running(self):
        return self.proc.poll() is None

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

    def find(self, name, role=None, root=None, timeout=DEADLINE):
        """The accessible named `name` (and of `role`, a pyatspi role constant)
        nearest to the top of the tree: the tool bar's "Next" rather than the
        arrow of the same name inside the up-down. Two matches at that depth
        are an error, since the test could not tell which one it drives."""

        def search():
            level = [root or self.app]
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

    def press(self, name, role=None, root=None, opens_modal=False, control=None):
        """Presses the control with that accessible name (or the `control`
        found before) through its first action, as a screen reader user
        would. A control that opens a modal window answers only when that
        window closes: with opens_modal the missing answer is expected."""
        import pyatspi
        from gi.repository import GLib
        control = control or self.find(name, role or pyatspi.ROLE_PUSH_BUTTON, root)
        action = control.queryAction()
        check(action.nActions > 0, "%r offers no action" % name)
        if opens_modal:
            # Wait for the answer only briefly: it comes when the window
            # closes.
            pyatspi.setTimeout(500, 500)
        try:
            check(action.doAction(0), "%r refused its action" % name)
        except GLib.GError as exc:
            # Serimo answers once the command has run, which on a busy
            # machine may take longer than a call waits (megabytes pasted).
            # The request is delivered all the same; what the test checks
            # next shows whether it took effect.
            if "Did not receive a reply" not in str(exc):
                raise
        finally:
            if opens_modal:
                pyatspi.setTimeout(ATSPI_TIMEOUT_MS, ATSPI_TIMEOUT_MS)

    def click(self, name, role=None):
        """Clicks the middle of the control with that accessible name with the
        mouse. For a control that opens a modal box: an accessibility action
        gets its reply only once the box has closed."""
        import pyatspi
        control = self.find(name, role or pyatspi.ROLE_PUSH_BUTTON)
        box = control.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.desk.x("xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1")

    def choose_from_menu(self, item, opens_modal=False):
        """Opens the pop-up menu with the Menu button and chooses an item."""
        import pyatspi
        self.press("Menu")
        menu = self.desk.wait_menu_shown("the pop-up menu to open after pressing Menu")
        self.press(item, pyatspi.ROLE_MENU_ITEM, root=menu, opens_modal=opens_modal)
        if not opens_modal:
            # An item triggered through accessibility leaves the menu open
            # (the toolkit only triggers the action); close it as a user would,
            # so that the next press of Menu shows it anew.
            menu.clear_cache()
            if menu.getState().contains(pyatspi.STATE_SHOWING):
                self.desk.key("Escape")
                wait_for(lambda: menu.clear_cache() or not menu.getState().contains(pyatspi.STATE_SHOWING),
                         "the pop-up menu to close after choosing %r" % item)

    def text(self, name, role=None):
        """The text of the control with that accessible name."""
        return _text_of(self.find(name, role))

    def set_text(self, name, text, role=None, root=None):
        """Replaces the text of the box with that accessible name (a text
        box unless `role` says otherwise), as assistive technology edits it."""
        import pyatspi
        box = self.find(name, role or pyatspi.ROLE_TEXT, root)
        check(retried_once(box.queryEditableText().setTextContents, text),
              "%r refused the text %r" % (name, text))

    def wait_message_box(self, text):
        """The message box (a top-level alert or dialog of serimo) that shows
        `text`; returns (its caption, the box)."""
        import pyatspi

        def labels(acc):
            for index in range(acc.childCount):
                child = acc.getChildAtIndex(index)
                if child is None:
                    continue
                if child.getRole() == pyatspi.ROLE_LABEL:
                    yield _text_of(child)
                yield from labels(child)

        def search():
            for index in range(self.app.childCount):
                top = self.app.getChildAtIndex(index)
                if (top is not None and top.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
                        and text in labels(top)):
                    return top
            return None

        box = wait_for(search, "a message box saying %r" % text)
        return box.name, box

    def dismiss_message_box(self, box):
        """Presses the box's OK and waits until it has closed."""
        import pyatspi
        self.press("OK", root=box)

        def closed():
            try:
                box.clear_cache()
                state = box.getState()
            except Exception:  # noqa: BLE001  (a box already destroyed is closed)
                return True
            return state.contains(pyatspi.STATE_DEFUNCT) or not state.contains(pyatspi.STATE_SHOWING)

        wait_for(closed, "the message box to close")

    def url(self):
        import pyatspi
        return self.text("URL", pyatspi.ROLE_TEXT)

    def status_panels(self):
        """The texts of the two status line panels, left first."""
        import pyatspi
        bar = self.find("Status")
        labels = [bar.getChildAtIndex(i) for i in range(bar.childCount)]
        labels = [acc for acc in labels if acc is not None and acc.getRole() == pyatspi.ROLE_LABEL]
        check(len(labels) == 2, "status line has %d labels, expected 2" % len(labels))
        return tuple(_text_of(acc) for acc in labels)

    def is_showing(self, name, role=None):
        import pyatspi
        acc = self.find(name, role)
        acc.clear_cache()
        return retried_once(acc.getState).contains(pyatspi.STATE_SHOWING)

    def wait_url(self, expected, what="URL box"):
        wait_until_equal(self.url, expected, what)

    def wait_status(self, panel, expected):
        """Waits for a status panel's text, as assistive technology reads it:
        its text, or its accessible name when it offers no text."""
        wait_until_equal(lambda: self.status_panels()[panel], expected,
                         "status panel %d (read through accessibility)" % panel)



def store_feed_start(settings_path, url, interval):
    """Stores a small window on `url` with a feed delay of `interval` ms, every
    view switch on, as a feed test's start."""
    record = encode_record(left=40, top=40, right=340, bottom=200, interval=interval,
                           reserved20=0, hints=1, text=1, url=1, reserved24=bytes(4))
    write_settings(settings_path, {"LastURL": url, "Serimo_099": record})

def _text_of(acc):
    try:
        text = acc.queryText()
    except NotImplementedError:
        return acc.name
    return retried_once(text.getText, 0, -1)


def _send_wm_message(display_name, window, message_type, data):
    """Sends a 32-bit client message about window to the root window, where
    the window manager receives it (the way pagers and task bars ask it)."""
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
        event.client.message_type = xlib.XInternAtom(display, message_type.encode(), 0)
        event.client.format = 32
        for index, value in enumerate(data):
            event.client.data[index] = value
        substructure_notify_redirect = (1 << 19) | (1 << 20)
        xlib.XSendEvent(display, xlib.XDefaultRootWindow(display), 0,
                        substructure_notify_redirect, ctypes.byref(event))
        xlib.XFlush(display)
    finally:
        xlib.XCloseDisplay(display)
