#!/usr/bin/env python3
"""Four endless bodies: a server on 127.0.0.1 answers every request with 200,
no length and a body that never ends, as fast as it is read; Serimo's
download engine (bench_endless_download, beside a window) fetches four of
them into an empty folder for SECONDS. Prints the bytes written, the peak
resident memory above the idle window and the longest event-loop stall.
Usage: bench/endless_download.py BUILD_DIR [SECONDS]"""

import http.server
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402


class Endless(http.server.BaseHTTPRequestHandler):
    disable_nagle_algorithm = True
    protocol_version = "HTTP/1.1"
    chunk = b"e" * (256 * 1024)

    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        self.end_headers()
        try:
            while True:
                self.wfile.write(self.chunk)
        except OSError:
            pass

    def log_message(self, *args):
        pass


def main():
    build = os.path.abspath(sys.argv[1])
    seconds = sys.argv[2] if len(sys.argv) > 2 else "20"
    work = tempfile.mkdtemp(prefix="serimo-endless-")
    try:
        server, base = harness.loopback_server(Endless)
        urls = [base + "endless%d.bin" % n for n in range(1, 5)]
        env = dict(os.environ)
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        subprocess.run([os.path.join(build, "bench", "bench_endless_download"), seconds, work] + urls,
                       env=env, check=False)
        server.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
