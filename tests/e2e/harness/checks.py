"""Deadlines, checks and waits of the end-to-end tests, and the report that
collects the failures of checks that need not stop a test."""

import time

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
