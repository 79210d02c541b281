#!/usr/bin/env python3
"""Without a display Serimo says so in one line and ends with status 1, never
with the toolkit's abort; --help names the program as its user calls it."""

import os
import subprocess

import harness
from harness import check_equal

URL = "http://www.example.com/given/shot07.png"
NO_DISPLAY = "serimo: no display could be opened\n"


def run(binary, args, **env):
    base = {k: v for k, v in os.environ.items()
            if not k.startswith("QT_") and k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    base.update(env)
    result = subprocess.run([binary] + args, env=base, capture_output=True, text=True,
                            timeout=harness.DEADLINE)
    return result.returncode, result.stdout, result.stderr


def main(serimo, report):
    cases = (("no DISPLAY nor WAYLAND_DISPLAY", [URL], {}),
             ("a display that does not exist", [URL], {"DISPLAY": ":9999"}),
             ("a Wayland socket that does not exist", [], {"WAYLAND_DISPLAY": "no-such-socket",
                                                          "XDG_RUNTIME_DIR": "/tmp"}),
             ("-platform junk", ["-platform", "junk"], {"DISPLAY": ":9999"}),
             ("QT_QPA_PLATFORM=junk", [], {"QT_QPA_PLATFORM": "junk"}))
    for name, args, env in cases:
        with report.part(name):
            check_equal(run(serimo, args, **env), (1, "", NO_DISPLAY), "(status, output, errors)")

    with report.part("--help from the full path"):
        status, out, _ = run(serimo, ["--help"])
        check_equal((status, out.splitlines()[0]), (0, "Usage: serimo [options] [url]"), "first line of --help")


if __name__ == "__main__":
    harness.run(main)
