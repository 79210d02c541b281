#!/usr/bin/env python3
"""Serimo installed into a prefix runs as it does from the build tree: it
finds its help file in share/serimo, answers --help and --version without a
display, starts on a URL given on the command line, writes its web-site
page into the user's data directory rather than among the programs, and its
desktop entry, icons, manual page and software-centre metadata are where the
desktop looks for them."""

import os
import shutil
import subprocess
import tempfile

import harness
from harness import check, check_equal

URL = "http://www.example.com/given/shot07.png"


def install(build_dir, prefix):
    result = subprocess.run(["cmake", "--install", build_dir, "--prefix", prefix],
                            capture_output=True, text=True, timeout=120)
    check(result.returncode == 0, "cmake --install failed: %s" % result.stderr)


def main(serimo, report):
    build_dir = os.path.dirname(serimo)  # the build tree holds serimo at its top
    prefix = tempfile.mkdtemp(prefix="serimo-prefix-")
    try:
        install(build_dir, prefix)
        installed = os.path.join(prefix, "bin", "serimo")
        with report.part("installed files"):
            for path in ("share/serimo/qxvemp.hlp", "share/applications/com.example.serimo.desktop",
                         "share/metainfo/com.example.serimo.metainfo.xml", "share/man/man1/serimo.1",
                         "share/icons/hicolor/32x32/apps/serimo.png",
                         "share/icons/hicolor/256x256/apps/serimo.png"):
                check(os.path.isfile(os.path.join(prefix, path)), "%s not installed" % path)
            check(not os.path.exists(os.path.join(prefix, "bin", "qxvemp.hlp")),
                  "help file installed among the programs")
        with report.part("desktop entry valid"):
            result = subprocess.run(["desktop-file-validate",
                                     os.path.join(prefix, "share/applications/com.example.serimo.desktop")],
                                    capture_output=True, text=True)
            # Hints (such as one about two main categories) are advice, not faults.
            faults = [line for line in result.stdout.splitlines() if ": hint: " not in line]
            check_equal((result.returncode, faults), (0, []), "desktop-file-validate")
        with report.part("--version and --help without a display"):
            env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
            version = subprocess.run([installed, "--version"], env=env, capture_output=True, text=True,
                                     timeout=harness.DEADLINE)
            check_equal((version.returncode, version.stdout.strip()), (0, "Serimo 1.0"), "--version")
            usage = subprocess.run([installed, "--help"], env=env, capture_output=True, text=True,
                                   timeout=harness.DEADLINE)
            check(usage.returncode == 0 and "[url]" in usage.stdout, "--help printed %r" % usage.stdout)

        with harness.Desktop() as desk:
            # An opener that opens nothing, so no browser starts.
            stub_dir = os.path.join(desk.home, "stub")
            os.makedirs(stub_dir)
            with open(os.path.join(stub_dir, "xdg-open"), "w") as f:
                f.write("#!/bin/sh\nexit 0\n")
            os.chmod(os.path.join(stub_dir, "xdg-open"), 0o755)
            path = stub_dir + os.pathsep + desk.env.get("PATH", "/usr/bin:/bin")
            app = desk.start_serimo(installed, args=[URL], extra_env={"PATH": path})
            desk.wait_active(app.window)
            with report.part("starts on the URL given"):
                app.wait_url(URL)
            with report.part("help file found in the prefix"):
                app.press("Help")
                app.find("Serimo Help")
            with report.part("web-site page in the user's data directory, not among the programs"):
                app.choose_from_menu("Web site")
                page = os.path.join(desk.home, ".local", "share", "Serimo", "qxpict.htm")
                harness.wait_for(lambda: os.path.isfile(page), "the web-site page at %s" % page)
                check_equal(sorted(os.listdir(os.path.join(prefix, "bin"))), ["serimo"], "files in the bin folder")
            check_equal(app.close(), 0, "exit status of the installed program")
    finally:
        shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    harness.run(main)
