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

The parts, each importable on its own as harness.<part>:
    checks         deadlines, checks, waits and the report of a test's failures
    script_run     a script's entry point, its verdict and the logs kept on failure
    processes      stopping and reaping everything a session started
    desktop        the session's desktop: Xvfb, openbox, the buses, serimo's start
    window_driver  the X display's windows, keyboard and clipboard
    serimo_app     a running serimo driven through accessibility
    settings_file  serimo's settings file and its window record
    servers        HTTP servers of the tests' own on 127.0.0.1
    terminal_runs  serimo run as on a terminal, without a display
"""

import importlib
import os
import sys


def _ensure_pyatspi():
    """Re-runs the script with the system interpreter when the one we were
    started with cannot see the Debian python3-pyatspi bindings (e.g. a
    pyenv interpreter found first on PATH)."""
    try:
        importlib.import_module("pyatspi")  # only probing that it imports
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

from .checks import (ATSPI_TIMEOUT_MS, DEADLINE, EXAMPLE_URL, GEOMETRY_TOLERANCE, SCREEN_HEIGHT,  # noqa: E402
                     SCREEN_WIDTH, TEST_LIMIT, TITLE, Interrupted, Report, TestFailure, check, check_equal,
                     check_held, near, retried_once, stays_equal, wait_for, wait_until, wait_until_equal)
from .desktop import Desktop  # noqa: E402
from .script_run import kept_logs_folder, run  # noqa: E402
from .serimo_app import Serimo  # noqa: E402
from .servers import FolderHandler, SeriesHandler, loopback_server, serve_folder  # noqa: E402
from .settings_file import (RECORD, RECORD_FIELDS, decode_record, encode_record, read_settings,  # noqa: E402
                            store_feed_start, write_settings)
from .terminal_runs import run_on_terminal, terminal_environment  # noqa: E402

__all__ = [
    "ATSPI_TIMEOUT_MS", "DEADLINE", "EXAMPLE_URL", "GEOMETRY_TOLERANCE", "SCREEN_HEIGHT", "SCREEN_WIDTH",
    "TEST_LIMIT", "TITLE", "Interrupted", "Report", "TestFailure", "check", "check_equal", "check_held",
    "near", "retried_once", "stays_equal", "wait_for", "wait_until", "wait_until_equal",
    "Desktop", "kept_logs_folder", "run", "Serimo",
    "FolderHandler", "SeriesHandler", "loopback_server", "serve_folder",
    "RECORD", "RECORD_FIELDS", "decode_record", "encode_record", "read_settings", "store_feed_start",
    "write_settings", "run_on_terminal", "terminal_environment",
]
