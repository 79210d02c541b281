"""The processes a test session starts: made ours to stop and reap, also
those the session bus starts and lets go of, and stopped the deepest first."""

import os
import signal
import time

from .checks import check


def become_subreaper():
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


def stop_descendants(reap):
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
