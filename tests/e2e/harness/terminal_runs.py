"""Serimo run as on a terminal, without a display."""

import os
import subprocess


def terminal_environment(home):
    """The environment of a terminal run: no display, HOME at home."""
    return dict({k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}, HOME=home)


def run_on_terminal(argv, home, cwd=None):
    """Runs argv as on a terminal without a display, HOME at home, in cwd
    (else home); returns its status, standard output and standard error."""
    result = subprocess.run(argv, cwd=cwd or home, env=terminal_environment(home), capture_output=True, text=True,
                            timeout=60)
    return result.returncode, result.stdout, result.stderr
