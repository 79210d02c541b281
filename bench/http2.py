#!/usr/bin/env python3
"""Downloads of 300 files of 50 KB from servers on 127.0.0.1 that hold each
answer 30 ms, as a site 30 ms away: over HTTP/1.1 (a threaded server), and
over HTTPS with HTTP/2 (harness/h2_server.py, a certificate made for the run:
curl is given it, serimo runs with --no-check-certificate; wget and aria2c
speak HTTP/1.1 only, and the server HTTP/2 only). `serimo --download URL 300`
against curl -Z, wget and aria2c, in interleaved rounds; prints the median time of each, with the connections and the most
requests in flight at once that the server saw.
Usage: bench/http2.py BUILD_DIR [ROUNDS]"""

import functools
import http.server
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e", "harness"))
import h2_server  # noqa: E402
import servers  # noqa: E402

COUNT = 300


class Held(servers.FolderHandler):
    """The folder's files over kept-alive connections, each answer held 30 ms."""
    protocol_version = "HTTP/1.1"
    lock = threading.Lock()
    connections = in_flight = most_in_flight = 0

    def setup(self):
        super().setup()
        with Held.lock:
            Held.connections += 1

    def do_GET(self):
        with Held.lock:
            Held.in_flight += 1
            Held.most_in_flight = max(Held.most_in_flight, Held.in_flight)
        time.sleep(0.03)
        try:
            super().do_GET()
        finally:
            with Held.lock:
                Held.in_flight -= 1


def runs(serimo, h1, h2, certificate):
    files = "p[001-%03d].jpg" % COUNT
    return [
        ("HTTP/1.1", "serimo --download", [serimo, "--download", h1 + "p001.jpg", str(COUNT)]),
        ("HTTP/1.1", "serimo --connections 8", [serimo, "--download", h1 + "p001.jpg", str(COUNT), "--connections", "8"]),
        ("HTTP/1.1", "curl -Z --parallel-max 4", ["curl", "-sZ", "--parallel-max", "4", "-O", h1 + files]),
        ("HTTP/1.1", "curl -Z", ["curl", "-sZ", "-O", h1 + files]),
        ("HTTP/1.1", "wget", ["wget", "-q", "-i", "list1"]),
        ("HTTP/1.1", "aria2c", ["aria2c", "-q", "-i", "list1"]),
        ("HTTP/2", "serimo --download", [serimo, "--download", h2 + "p001.jpg", str(COUNT), "--no-check-certificate"]),
        ("HTTP/2", "curl -Z", ["curl", "-sZ", "--cacert", certificate, "-O", h2 + files]),
    ]


def main():
    build = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    work = tempfile.mkdtemp(prefix="serimo-bench-h2-")
    try:
        site = os.path.join(work, "site")
        os.makedirs(site)
        for n in range(1, COUNT + 1):
            with open(os.path.join(site, "p%03d.jpg" % n), "wb") as f:
                f.write(os.urandom(50 * 1024))
        h1_server, h1 = servers.loopback_server(functools.partial(Held, directory=site))
        h2 = h2_server.H2Server(site, delay=0.03)
        planned = runs(os.path.join(build, "serimo"), h1, h2.base, h2.certificate)
        times = {(protocol, name): [] for protocol, name, _ in planned}
        seen = {}
        for number in range(rounds):
            for protocol, name, argv in planned:
                entry = (protocol, name)
                folder = os.path.join(work, "run%d" % number, protocol.replace("/", ""), name.replace(" ", "_"))
                os.makedirs(folder)
                with open(os.path.join(folder, "list1"), "w") as f:
                    f.write("".join("%sp%03d.jpg\n" % (h1, n) for n in range(1, COUNT + 1)))
                Held.connections = Held.most_in_flight = h2.connections = h2.most_in_flight = 0
                start = time.monotonic()
                result = subprocess.run(argv, cwd=folder, capture_output=True)
                times[entry].append(time.monotonic() - start)
                got = len([f for f in os.listdir(folder) if f.startswith("p")])
                if result.returncode != 0 or got != COUNT:
                    sys.exit("%s %s: status %d, %d files\n%s" % (protocol, name, result.returncode, got,
                                                                 result.stderr.decode(errors="replace")[-500:]))
                seen[entry] = ((Held.connections, Held.most_in_flight) if protocol == "HTTP/1.1"
                               else (h2.connections, h2.most_in_flight))
        for protocol, name, _ in planned:
            connections, at_once = seen[(protocol, name)]
            print("%-8s %-26s %6.2f s  connections %3d  at once %3d"
                  % (protocol, name, statistics.median(times[(protocol, name)]), connections, at_once))
        h1_server.shutdown()
        h2.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
