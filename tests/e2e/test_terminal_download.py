#!/usr/bin/env python3
"""serimo --download without a display, against the test's own server: the gap
and the series' end in the summary, a rerun, status 0, 1 and 2, a run that
finds nothing (status 1, no folder left), SIGTERM and SIGHUP in the middle
leaving no partial file (status 143 and 129), a gallery behind a login
that wants its own Referer and the browser's cookie, and a site over HTTPS
and HTTP/2 with a certificate of its own: refused at the first file, taken
with --no-check-certificate, as many streams at once as the site allows."""

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
        status = 403 if name == "bad_002.jpg" else 200 if name in GALLERY or name[:4] in ("bad_", "slow") else 404
        if name.startswith("club_"):
            # Members only, and no hotlinking.
            signed_in = "member=1" in self.headers.get("Cookie", "")
            own_page = self.headers.get("Referer") == "http://%s/" % self.headers.get("Host")
            status = 404 if name > "club_003.jpg" else 200 if signed_in and own_page else 403
        if name.startswith("hang"):
            threading.Event().wait(30)  # no answer at all: the end search waits
        body = name.encode() * 1000
        script = name.startswith("image.php?id=")
        self.send_response(200 if script else status)
        if script:
            self.send_header("Content-Type", "image/jpeg")
        # A slow file sends part of its body, then nothing until the client goes.
        self.send_header("Content-Length", str(len(body) * (2 if name.startswith("slow") else 1)))
        self.end_headers()
        self.wfile.write(body)
        if name.startswith("slow"):
            self.wfile.flush()
            threading.Event().wait(30)

    def log_message(self, *args):
        pass


def main(serimo, report):
    server, base = harness.loopback_server(Handler)
    work = tempfile.mkdtemp()
    env = harness.terminal_environment(work)

    def download(*args, cwd=work):
        return harness.run_on_terminal([serimo, "--download"] + list(args), work, cwd)

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
        check_equal((status, out), (1, "Saved 2 files to ~/bad.\nFailed: 1 file.\n"
                                       "  bad_002.jpg: HTTP 403\n"), "(status, summary)")
    with report.part("a script's pictures are saved as what the server says they are"):
        status, out, _ = download(base + "image.php?id=0995", "2", "--to", "script")
        check_equal((status, sorted(os.listdir(os.path.join(work, "script")))),
                    (0, ["image_id_0995.jpg", "image_id_0996.jpg"]), "(status, files)")
    with report.part("bad input is status 2"):
        check_equal(download("ftp://127.0.0.1/a1.jpg")[::2],
                    (2, "serimo: only http and https addresses can be downloaded: 'ftp://127.0.0.1/a1.jpg'\n"),
                    "(status, errors)")
    with report.part("nothing found is status 1, and the folder made for it goes"):
        status, out, _ = download(base + "nothere_001.jpg", "5", "--to", "new/nothing")
        check_equal((status, out), (1, "Nothing was found: no file of the run is on the server.\n"
                                       "Missing: 001\u2013005.\n"), "(status, summary)")
        check(not os.path.exists(os.path.join(work, "new")), "a folder left for a run that found nothing")
    for number, name in ((signal.SIGTERM, "slow"), (signal.SIGHUP, "slow"), (signal.SIGINT, "hang")):
        with report.part("%s in the middle of the %s" % (number.name, "end search" if name == "hang" else "run")):
            folder = os.path.join(work, name + "-" + number.name)
            count = ["3"] if name == "slow" else []
            proc = subprocess.Popen([serimo, "--download", base + name + "_001.jpg"] + count + ["--to", folder],
                                    env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            harness.wait_for(lambda: os.path.isdir(folder) and (name == "hang" or any(
                f.endswith(".serimo-part") for f in os.listdir(folder))), "a partial file or the end search")
            proc.send_signal(number)
            out, _ = proc.communicate(timeout=harness.DEADLINE)
            check_equal(proc.returncode, 128 + number, "status after " + number.name)
            # Nothing whole was saved: the folder made for the run goes too.
            check(not os.path.exists(folder), "left behind: %r" % (os.path.exists(folder) and os.listdir(folder)))
            check(out.startswith("The download was stopped"), "summary after %s: %r" % (number.name, out))
    cookies = os.path.join(work, "cookies.txt")
    with open(cookies, "w") as f:
        f.write("# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tmember\t1\n")
    with report.part("a gallery behind a login, with the browser's cookies"):
        status, out, _ = download(base + "club_001.jpg", "--load-cookies", cookies, "--to", "club")
        check_equal((status, sorted(os.listdir(os.path.join(work, "club")))),
                    (0, ["club_001.jpg", "club_002.jpg", "club_003.jpg"]), "(status, files saved)")
    with report.part("the same gallery without the Referer"):
        status, out, _ = download(base + "club_001.jpg", "3", "--load-cookies", cookies, "--referer", "", "--to", "c2")
        check_equal((status, os.path.exists(os.path.join(work, "c2"))), (1, False), "(status, folder left)")
    with report.part("a cookies file that is not one is status 2, a FIFO at once"):
        fifo = os.path.join(work, "cookies.fifo")
        os.mkfifo(fifo)
        for path, what in ((gallery, "a folder"), (fifo, "a FIFO, not a file")):
            check_equal(download(base + "club_001.jpg", "--load-cookies", path)[::2],
                        (2, "serimo: cannot read the cookies file '%s': it is %s\n" % (path, what)), "(status, errors)")
    server.shutdown()

    from harness import h2_server
    site = os.path.join(work, "h2site")
    os.makedirs(site)
    for n in range(1, 101):
        with open(os.path.join(site, "p%03d.jpg" % n), "wb") as f:
            f.write(os.urandom(20000))
    secure = h2_server.H2Server(site, delay=0.03, max_streams=12)
    with report.part("a certificate no authority signed ends the run at its first file"):
        status, out, _ = download(secure.base + "p001.jpg", "100", "--to", "untrusted")
        check_equal((status, out.splitlines()[0]), (1, "The download stopped: SSL handshake failed: The certificate is "
                    "self-signed, and untrusted (for a server of your own: serimo --no-check-certificate)."),
                    "(status, first line)")
        check_equal(secure.requests, 0, "requests the site answered")
    with report.part("--no-check-certificate, and the streams the site allows at once"):
        status, out, err = download(secure.base + "p001.jpg", "100", "--to", "h2", "--no-check-certificate")
        check_equal((status, out, err.count("certificates are not checked")),
                    (0, "Saved 100 files to ~/h2.\nNothing is missing.\n", 1), "(status, summary, notes)")
        # More than HTTP/1.1's four, never more than the site's twelve.
        check(secure.connections == 1 and 4 < secure.most_in_flight <= 12,
              "connections %d, most requests at once %d" % (secure.connections, secure.most_in_flight))
    secure.shutdown()


if __name__ == "__main__":
    harness.run(main)
