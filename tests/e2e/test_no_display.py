#!/usr/bin/env python3
"""Without a display Serimo says so in one line and ends with status 1, never
with the toolkit's abort; --help names the program as its user calls it;
--list prints a run without any display and without touching the settings."""

import os
import subprocess
import tempfile

import harness
from harness import check, check_equal

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
        check("--list" in out, "--help does not name --list:\n" + out)

    home = tempfile.mkdtemp()
    quiet = {"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, "config")}
    base = "http://www.example.com/given/shot"
    cases = (("--list URL COUNT, widening", [base + "98.png", "3"],
              (0, "".join(base + "%s.png\n" % n for n in ("98", "99", "100")), "")),
             ("--list URL, as many as Items allows", [URL], (0, "".join(base + "%02d.png\n" % n for n in range(7, 106)), "")),
             ("--list with a counter that is not a number", ["x", "5"],
              (2, "", 'serimo: No series in "x": its counter is not a number.\n')),
             ("--list with COUNT 1000", [URL, "1000"],
              (2, "", 'serimo: COUNT must be a whole number from 1 to 999, not "1000".\n')),
             ("--list without a URL", [], (2, "", "serimo: --list takes a URL and an optional COUNT.\n")))
    for name, args, expected in cases:
        with report.part(name):
            check_equal(run(serimo, ["--list"] + args, **quiet), expected, "(status, output, errors)")
    with report.part("--list writes no settings"):
        check_equal([f for _, _, files in os.walk(home) for f in files], [], "files under the home")


if __name__ == "__main__":
    harness.run(main)
