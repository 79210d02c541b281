#!/usr/bin/env python3
"""Where a series of 10, 100, 1000 and 10000 pictures ends, from a threaded
HTTP server on 127.0.0.1: Serimo's search (bench_find_end find) against a
plain walk that asks for every address, four at a time, until ten in a row
are missing (bench_find_end walk). Prints the requests each sent, as the
server counted them, and the wall time, the best of three runs.
Usage: bench/find_end.py BUILD_DIR"""

import os
import re
import subprocess
import sys
import threading

# The series' server is the one the end-to-end test of the same search uses.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import SeriesHandler, loopback_server  # noqa: E402

state = {"items": 0, "requests": 0}
lock = threading.Lock()


class Handler(SeriesHandler):
    body_size = 50 * 1024

    def status_of(self):
        with lock:
            state["requests"] += 1
        match = re.fullmatch(r"/pic(\d+)\.jpg", self.path)
        return 200 if match is not None and 1 <= int(match.group(1)) <= state["items"] else 404


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    bench = os.path.join(sys.argv[1], "bench", "bench_find_end")
    _server, base = loopback_server(Handler)
    url = base + "pic00001.jpg"
    print("%6s  %-5s %9s %10s" % ("items", "how", "requests", "time"))
    for items in (10, 100, 1000, 10000):
        state["items"] = items
        for how in ("find", "walk"):
            best = None
            for _ in range(3):
                state["requests"] = 0
                out = subprocess.run([bench, how, url], capture_output=True, text=True, check=True).stdout
                found, ms = re.search(r"(\d+) items, \d+ requests, ([\d.]+) ms", out).groups()
                if int(found) != items:
                    sys.exit("%s found %s items of %d" % (how, found, items))
                best = min(best or float("inf"), float(ms))
            print("%6d  %-5s %9d %8.1f ms" % (items, how, state["requests"], best))


if __name__ == "__main__":
    main()
