#!/usr/bin/env python3
"""Download of 999 files of 50 KB from a threaded HTTP server on 127.0.0.1:
Serimo's engine (bench_download) and `serimo --download URL COUNT` against
`wget -nc -i list` and `aria2c -j 4 -i list`, each into an empty folder, in
one run. Prints each one's wall time and peak resident memory. With
SET_COOKIES, every answer sets that many cookies, as some sites' trackers do.
Usage: bench/download.py BUILD_DIR [FILES [SET_COOKIES]]

The server is the end-to-end tests' folder server, with Nagle's algorithm
off, answering over kept-alive connections."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402


class Handler(harness.FolderHandler):
    protocol_version = "HTTP/1.1"
    set_cookies = 0

    def end_headers(self):
        for n in range(self.set_cookies):
            self.send_header("Set-Cookie", "tracker%d=%d; Path=/" % (n, time.monotonic_ns()))
        super().end_headers()


def measure(argv, cwd):
    """Runs argv; returns (seconds, peak resident KiB, its output)."""
    start = time.monotonic()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("%s failed:\n%s" % (argv[0], output.decode(errors="replace")[-2000:]))
    return seconds, usage.ru_maxrss, output.decode(errors="replace")


def serve_gallery(work, count):
    """Writes count files of 50 KB (pic001.jpg, ...) into work/site, serves
    them on 127.0.0.1 and lists their URLs in work/list; returns the server,
    its base URL and the list's path."""
    site = os.path.join(work, "site")
    os.makedirs(site)
    for n in range(1, count + 1):
        with open(os.path.join(site, "pic%03d.jpg" % n), "wb") as f:
            f.write(os.urandom(50 * 1024))
    server, base = harness.serve_folder(site, Handler)
    listing = os.path.join(work, "list")
    with open(listing, "w") as f:
        f.write("".join("%spic%03d.jpg\n" % (base, n) for n in range(1, count + 1)))
    return server, base, listing


def main():
    build = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 999
    Handler.set_cookies = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    work = tempfile.mkdtemp(prefix="serimo-bench-")
    try:
        server, base, listing = serve_gallery(work, count)

        runs = [
            ("Serimo", [os.path.join(build, "bench", "bench_download"), listing, "."]),
            ("serimo --download", [os.path.join(build, "serimo"), "--download", base + "pic001.jpg", str(count)]),
            ("wget -nc", ["wget", "-q", "-nc", "-i", listing]),
            ("aria2c -j 4", ["aria2c", "-q", "-j", "4", "-i", listing]),
        ]
        for number, (name, argv) in enumerate(runs):
            folder = os.path.join(work, "run%d" % number)
            os.makedirs(folder)
            seconds, peak, output = measure(argv, folder)
            got = len(os.listdir(folder))
            said = output.strip().splitlines()[0] if name.lower().startswith("serimo") and output.strip() else ""
            print("%-18s %6.2f s  peak resident %6d KiB  files %d%s"
                  % (name, seconds, peak, got, ("  (" + said + ")") if said else ""))
        server.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
