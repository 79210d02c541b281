#!/usr/bin/env python3
"""The Debian package on this machine: scripts/package.sh (the argument)
builds and checks it; apt installs it; the installed program prints its
version, its manual page, desktop entry, icons and software-centre metadata
are in /usr/share, and X and Wayland desktops can match its windows to the
entry; removing the package leaves none of its files. Installs into the
system, as root or through sudo."""

import configparser
import glob
import os
import re
import signal
import subprocess
import xml.etree.ElementTree as ET

import harness
import wayland_desktop
from harness import check, check_equal

BINARY = "/usr/bin/serimo"
APP_ID = "com.example.serimo"
ENTRY = "/usr/share/applications/%s.desktop" % APP_ID
METAINFO = "/usr/share/metainfo/%s.metainfo.xml" % APP_ID
BUILD_LIMIT = 1500  # the build compiles the program (and its tests, unless nocheck)


def run(argv, root=False):
    if root and os.geteuid() != 0:
        argv = ["sudo"] + argv
    return subprocess.run(argv, capture_output=True, text=True, timeout=300,
                          env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def build(script):
    # In a process group of its own: a test stopped half-way stops the build too.
    proc = subprocess.Popen([script], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            text=True, start_new_session=True)
    try:
        output = proc.communicate(timeout=BUILD_LIMIT)[0]
    except BaseException:
        os.killpg(proc.pid, signal.SIGKILL)
        raise
    check(proc.returncode == 0, "package.sh failed:\n%s" % output[-3000:])


def check_files(version):
    check_equal(run([BINARY, "--version"]).stdout.strip(), "Serimo " + version, "--version")
    check_equal(run(["man", "-w", "serimo"]).stdout.strip(), "/usr/share/man/man1/serimo.1.gz", "man -w")
    validated = run(["desktop-file-validate", ENTRY])
    check_equal([line for line in validated.stdout.splitlines() if ": hint: " not in line], [],
                "desktop-file-validate")
    for size in (32, 64, 128, 256):
        check(os.path.isfile("/usr/share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, entry("Icon"))),
              "no %d-pixel icon" % size)
    validated = run(["appstreamcli", "validate", "--no-net", METAINFO])
    check(validated.returncode == 0, "appstreamcli validate: %s" % validated.stdout)
    component = ET.parse(METAINFO).getroot()
    check_equal((component.findtext("id"), component.findtext("launchable")),
                (APP_ID, os.path.basename(ENTRY)), "metainfo id and launchable")


def entry(key):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(ENTRY)
    return parser["Desktop Entry"].get(key)


def check_windows():
    with harness.Desktop() as desk:
        app = desk.start_serimo(BINARY)
        wm_class = desk.x("xprop", "-id", str(app.window), "WM_CLASS").split(",")[-1]
        check_equal(wm_class.strip().strip('"'), entry("StartupWMClass"), "X window class")
        check_equal(app.close(), 0, "exit status under X")
    with wayland_desktop.SwayDesktop() as desk:
        app = desk.start_serimo(BINARY)
        # sway refuses a command whose criteria match no window.
        desk.swaymsg('[pid=%d app_id="^%s$"] focus' % (app.proc.pid, re.escape(APP_ID)))
        check_equal(app.close(), 0, "exit status under sway")


def main(script, report):
    root = os.path.dirname(os.path.dirname(script))
    build(script)
    with open(os.path.join(root, "CMakeLists.txt")) as f:
        version = re.search(r"project\(Serimo VERSION ([^ )]+)", f.read()).group(1)
    arch = run(["dpkg", "--print-architecture"]).stdout.strip()
    debs = glob.glob(os.path.join(root, "dist", "*.deb"))
    check_equal(debs, [os.path.join(root, "dist", "serimo_%s_%s.deb" % (version, arch))], "built packages")
    with report.part("dependencies"):
        depends = run(["dpkg-deb", "-f", debs[0], "Depends", "Recommends"]).stdout
        # The X11 and Wayland parts bring their libraries; xdg-utils is the opener.
        for name in ("libqt6widgets6", "libxcb1", "libwayland-client0", "xdg-utils", "Recommends: qt6-wayland"):
            check(name in depends, "%s not in %s" % (name, depends))

    installed = run(["apt-get", "install", "-y", debs[0]], root=True)
    check(installed.returncode == 0, "apt-get install: %s" % installed.stderr)
    try:
        files = run(["dpkg-query", "-L", "serimo"]).stdout.split("\n")
        with report.part("installed files"):
            check_files(version)
        with report.part("windows"):
            check_windows()
    finally:
        removed = run(["apt-get", "remove", "-y", "serimo"], root=True)
    check(removed.returncode == 0, "apt-get remove: %s" % removed.stderr)
    # A directory may stay while another package has files in it.
    left = [path for path in files if path not in ("", "/.") and os.path.lexists(path)
            and (not os.path.isdir(path) or run(["dpkg-query", "-S", path]).returncode != 0)]
    check_equal(left, [], "files left after removal")


if __name__ == "__main__":
    harness.run(main, limit=BUILD_LIMIT + 300)
