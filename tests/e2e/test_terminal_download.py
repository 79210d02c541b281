#!/usr/bin/env python3
"""serimo --download on a terminal without a display, against a server of
its own on 127.0.0.1: a gallery with a gap ends where the series ends and the
summary names both; a rerun into the same folder fetches nothing; a failed
file is status 1, bad input 2; SIGTERM in the middle leaves no .part behind
and ends with 143."""

import http.server
import os
import signal
import subprocess
import tempfile
import threading

import harness
from harness import check, check_equal

GALLERY = ["img_%03d.jpg" % n for n in range(1, 13) if n != 5]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        name = self.path.lstrip("/")
        if name == "bad_002.jpg":
            self.answer(403, b"no")
        elif name.startswith("slow_"):
            # Part of the body, then silence until the client goes.
            self.send_response(200)
            self.send_header("Content-Length", "99999")
            self.end_headers()
            self.wfile.write(b"x" * 1000)
            self.wfile.flush()
            threading.Event().wait(30)
        elif name in GALLERY or name.startswith("bad_"):
            self.answer(200, name.encode() * 1000)
        else:
            self.answer(404, b"missing")

    def answer(self, status, body):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main(serimo, report):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.handle_error = lambda *args: None  # a client that went away
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = "http://127.0.0.1:%d/" % server.server_address[1]
    work = tempfile.mkdtemp()
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["HOME"] = work

    def download(*args, cwd=work):
        result = subprocess.run([serimo, "--download"] + list(args), cwd=cwd, env=env, capture_output=True,
                                text=True, timeout=60)
        return result.returncode, result.stdout, result.stderr

    gallery = os.path.join(work, "gallery")
    with report.part("a gap and the series' end, into a new folder"):
        status, out, err = download(base + "img_001.jpg", "--to", "gallery")
        check_equal((status, out), (0, "Saved 11 files to ~/gallery.\nThe series ends at img_012.jpg.\n"
                                       "Missing: 005.\n"), "(status, summary)")
        check("\r" not in err, "a progress line without a terminal: %r" % err)
        check_equal(sorted(os.listdir(gallery)), GALLERY, "files saved")
    with report.part("a rerun into the same folder"):
        status, out, _ = download(base + "img_001.jpg", cwd=gallery)
        check_equal((status, out), (0, "Saved 0 files to ~/gallery.\n11 files were there already.\n"
                                       "The series ends at img_012.jpg.\nMissing: 005.\n"), "(status, summary)")
    with report.part("a failed file is status 1"):
        status, out, _ = download(base + "bad_001.jpg", "3", "--to", "bad")
        check_equal((status, out), (1, "Saved 2 files to ~/bad.\nNothing is missing.\nFailed: 1 file.\n"
                                       "  bad_002.jpg: HTTP 403\n"), "(status, summary)")
    with report.part("bad input is status 2"):
        check_equal(download("ftp://127.0.0.1/a1.jpg")[::2],
                    (2, "serimo: only http and https addresses can be downloaded: 'ftp://127.0.0.1/a1.jpg'\n"),
                    "(status, errors)")
        check_equal(download(base + "img_001.jpg", "0")[0], 2, "status for COUNT 0")
    with report.part("SIGTERM in the middle"):
        folder = os.path.join(work, "slow")
        proc = subprocess.Popen([serimo, "--download", base + "slow_001.jpg", "3", "--to", folder], env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        harness.wait_for(lambda: os.path.isdir(folder) and any(f.endswith(".part") for f in os.listdir(folder)),
                         "a .part file")
        proc.send_signal(signal.SIGTERM)
        out, _ = proc.communicate(timeout=harness.DEADLINE)
        check_equal(proc.returncode, 143, "status after SIGTERM")
        check_equal(os.listdir(folder), [], "files left behind")
        check(out.startswith("The download was stopped.\n"), "summary after SIGTERM: %r" % out)
    server.shutdown()


if __name__ == "__main__":
    harness.run(main)
