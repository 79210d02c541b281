#!/usr/bin/env python3
"""Without a display Serimo says so in one line and ends with status 1, never
with the toolkit's abort; --help names the program as its user calls it;
--list prints a run without any display and without touching the settings;
a usage error is one line, a pointer to --help and status 2, display or not."""

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
        for option in ("--list URL [COUNT]", "--download URL [COUNT]", "--to FOLDER", "--help", "--version"):
            check(option in out, "--help does not name %s:\n%s" % (option, out))

    home = tempfile.mkdtemp()
    quiet = {"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, "config")}
    base = "http://www.example.com/given/shot"
    cases = (("--list URL COUNT, widening", [base + "98.png", "3"],
              (0, "".join(base + "%s.png\n" % n for n in ("98", "99", "100")), "")),
             ("--list URL finds the end first: a server that is not there", ["http://127.0.0.1:9/shot07.png"],
              (1, "", "serimo: http://127.0.0.1:9/shot07.png: Connection refused\n")),
             ("--list of a gallery's page", ["http://127.0.0.1:9/gallery/"],
              (2, "", "serimo: 'http://127.0.0.1:9/gallery/' is a page, not a series: it has no number to step; "
                      "open the page in the browser and copy a picture's address\n")),
             ("--list keeps bytes that are not UTF-8", [base.encode() + b"\xe91.png", "2"],
              (0, base + "%E91.png\n" + base + "%E92.png\n", "")),
             ("--list=URL COUNT", ["--list=" + base + "98.png", "2"], (0, base + "98.png\n" + base + "99.png\n", "")),
             ("--list with a counter that is not a number", ["http://www.example.com/", "5"],
              (2, "", "serimo: no series in 'http://www.example.com/': its counter is not a number\n")),
             ("--list of a text that is no address", ["not a url", "3"],
              (2, "", "serimo: not an address: 'not a url' does not start with scheme://host\n")),
             ("--list of 13 digits", [base + "1700000000999.png", "2"],
              (0, base + "1700000000999.png\n" + base + "1700000001000.png\n", "")),
             ("--list of an address with a line break", [base + "1.png\n" + base + "2.png", "3"],
              (2, "", "serimo: the URL holds a control character (code 10)\n")))
    for name, args, expected in cases:
        with report.part(name):
            arguments = args if str(args[0]).startswith("--list=") else ["--list"] + args
            check_equal(run(serimo, arguments, **quiet), expected, "(status, output, errors)")
    # Usage errors: one line, the pointer to --help and status 2, without a
    # display as with one.
    try_help = "Try 'serimo --help'.\n"
    cases = (("--list URL -1", ["--list", URL, "-1"], "COUNT must be 1 to 999: '-1'"),
             ("--list without a URL", ["--list"], "option '--list' needs a URL"),
             ("--bogus", ["--bogus"], "unknown option '--bogus'"),
             ("--download URL with a bad COUNT", ["--download", URL, "x"], "COUNT must be 1 to 999: 'x'"))
    for name, args, error in cases:
        for display in ({}, {"DISPLAY": ":9999"}):
            with report.part(name + (" with a display named" if display else "")):
                check_equal(run(serimo, args, **quiet, **display), (2, "", "serimo: %s\n%s" % (error, try_help)),
                            "(status, output, errors)")
    with report.part("a full standard output is status 1"):
        with open("/dev/full", "w") as full:
            result = subprocess.run([serimo, "--list", URL, "3"], stdout=full, stderr=subprocess.PIPE, text=True,
                                    timeout=harness.DEADLINE)
        check_equal((result.returncode, result.stderr), (1, "serimo: No space left on device\n"), "(status, errors)")
    with report.part("--list writes no settings"):
        check_equal([f for _, _, files in os.walk(home) for f in files], [], "files under the home")


if __name__ == "__main__":
    harness.run(main)
