"""A test script's run: its entry point, its time limit, its verdict, and
the logs of its session kept when it fails."""

import os
import shutil
import signal
import sys
import time
import traceback

from .checks import TEST_LIMIT, Interrupted, Report, TestFailure

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


# The file in which a session's end notes how each of its desktop's
# processes fared (the X server, the window manager or the compositor, the
# session bus) and the last lines each wrote.
DESKTOP_REPORT = "desktop-processes.log"


def kept_logs_folder():
    """Where the logs of this script's session (serimo's whole output, the
    desktop's processes') are kept when it fails: a folder named after the script,
    below where it runs (the build's tests folder under CTest)."""
    script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    return os.path.join(os.getcwd(), "e2e-logs", script)


def keep_logs(home):
    """Copies the session's logs (home/*.log) to kept_logs_folder()."""
    logs = [name for name in os.listdir(home) if name.endswith(".log")] if os.path.isdir(home) else []
    if logs:
        os.makedirs(kept_logs_folder(), exist_ok=True)
    for name in logs:
        shutil.copyfile(os.path.join(home, name), os.path.join(kept_logs_folder(), name))


def _show_kept_logs():
    """Prints serimo's whole output, a sanitizer's report included, how the
    desktop's processes fared, and names the other logs kept."""
    folder = kept_logs_folder()
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    for name in names:
        if name.startswith("serimo"):
            with open(os.path.join(folder, name), errors="replace") as f:
                print("---- serimo's whole output (%s) ----\n%s---- end of %s ----"
                      % (name, f.read(), name), file=sys.stderr)
    if DESKTOP_REPORT in names:
        with open(os.path.join(folder, DESKTOP_REPORT), errors="replace") as f:
            print("---- the desktop's processes ----\n%s---- end of the desktop's processes ----"
                  % f.read(), file=sys.stderr)
    if names:
        print("logs kept in %s: %s" % (folder, ", ".join(names)), file=sys.stderr)
