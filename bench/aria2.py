#!/usr/bin/env python3
"""A run of 999 files of 50 KB handed to an aria2 daemon by Serimo's aria2
engine (bench_aria2: the hand-over, the following each second, the summary)
against `aria2c -j 4 -i list` run directly, both from the download
benchmark's loopback server (download.py), each into an empty folder. The
daemon downloads four at a time, as `-j 4` does. Prints each one's wall time
and the ratio, and how much later than the daemon's last written file
Serimo's summary came.
Usage: bench/aria2.py BUILD_DIR [FILES] [ROUNDS]"""

import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from download import measure, serve_gallery  # noqa: E402

SECRET = "bench-secret"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_daemon(folder):
    port = free_port()
    daemon = subprocess.Popen(["aria2c", "--enable-rpc", "--rpc-listen-port=%d" % port,
                               "--rpc-secret=" + SECRET, "--dir=" + folder, "-j", "4", "-q"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    address = "http://127.0.0.1:%d/jsonrpc" % port
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            urllib.request.urlopen(address, data=b"{}", timeout=1)
        except urllib.error.HTTPError:
            return daemon, address
        except OSError:
            time.sleep(0.05)
    daemon.kill()
    sys.exit("aria2c did not answer on %s" % address)


def main():
    build = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 999
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    work = tempfile.mkdtemp(prefix="serimo-bench-")
    try:
        server, _, listing = serve_gallery(work, count)

        for round_ in range(1, rounds + 1):
            folder = os.path.join(work, "serimo%d" % round_)
            os.makedirs(folder)
            daemon, address = start_daemon(folder)
            began = time.time()
            try:
                serimo, _, output = measure([os.path.join(build, "bench", "bench_aria2"), listing,
                                             address, SECRET, folder], folder)
            finally:
                daemon.terminate()
                daemon.wait()
            names = [name for name in os.listdir(folder) if not name.endswith(".aria2")]
            got = len(names)
            last = max(os.path.getmtime(os.path.join(folder, name)) for name in names) - began
            direct_folder = os.path.join(work, "direct%d" % round_)
            os.makedirs(direct_folder)
            direct, _, _ = measure(["aria2c", "-q", "-j", "4", "-i", listing], direct_folder)
            print("round %d: Serimo through aria2 %5.2f s (files %d; the daemon wrote its last file after %.2f s: "
                  "following adds %.1f%%)  aria2c -j 4 -i list %5.2f s  ratio %.2f"
                  % (round_, serimo, got, last, 100 * (serimo - last) / last, direct, serimo / direct))
        server.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
