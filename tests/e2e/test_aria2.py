#!/usr/bin/env python3
"""Send run to aria2 against a real aria2 daemon and a file server of the
test's own on 127.0.0.1, the secret in an unlocked keyring on the session bus:
no daemon, a silent one and a wrong secret open the box; a run of 20 with a
gap and an end is saved byte for byte and summed up, the transfers past the
end removed; the secret is not in the settings file but in the keyring after a
restart; Stop removes the unfinished transfers, closing Serimo leaves them.
A gallery behind a login, which wants the site's Referer and the browser's
cookie: the cookies file given in Download options is kept across the
restart and goes with Download run and with Send run to aria2, but never to
another host a redirect leads to."""

import json
import os
import socket
import subprocess
import threading
import time
import urllib.request

import harness
from harness import check, check_equal

SECRET = "e2e secret"
STALLED = ("pic19.jpg", "pic20.jpg")


class Redirect(harness.FolderHandler):
    """Sends a call at /jsonrpc on to /elsewhere, and keeps what reaches it;
    at /html refuses it in HTML, at /endless answers without end."""
    posted = []

    def do_POST(self):
        if self.path in ("/html", "/endless"):
            self.send_response(400 if self.path == "/html" else 200)
            self.end_headers()
            self.wfile.write(b'{"jsonrpc":"2.0","id":"x","error":{"code":1,"message":"<h1>No</h1><a href=x>y</a>"}}')
            while self.path == "/endless":
                self.wfile.write(b" " * 65536)
        elif self.path == "/jsonrpc":
            self.send_response(307)
            self.send_header("Location", "/elsewhere")
            self.send_header("Content-Length", "0")
            self.end_headers()
        else:
            Redirect.posted.append(self.path)
            self.send_error(404)


class Site(harness.FolderHandler):
    """The folder's files; the stalled ones trickle one byte at a time, and
    the gallery's (under /g/) need the site's Referer and the cookie; its
    third picture is on another host (localhost), which keeps the Cookie
    headers that reach it."""
    stop = threading.Event()
    elsewhere = []

    def do_GET(self):
        if self.headers.get("Host", "").startswith("localhost"):
            Site.elsewhere.append(self.headers.get("Cookie"))
            return super().do_GET()
        if self.path.startswith("/g/") and (
                self.headers.get("Referer") != "http://%s:%d/" % self.server.server_address
                or "session=ok" not in self.headers.get("Cookie", "")):
            return self.send_error(403)
        if self.path == "/g/pic3.jpg":
            self.send_response(302)
            self.send_header("Location", "http://localhost:%d/g/pic3.jpg" % self.server.server_address[1])
            self.send_header("Content-Length", "0")
            return self.end_headers()
        if self.path.lstrip("/") not in STALLED:
            return super().do_GET()
        self.send_response(200)
        self.send_header("Content-Length", "1000000")
        self.end_headers()
        try:
            while not self.stop.wait(0.2):
                self.wfile.write(b"x")
                self.wfile.flush()
        except OSError:
            pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def listens(port):
    with socket.socket() as s:
        return s.connect_ex(("127.0.0.1", port)) == 0


def rpc(address, method, *params):
    body = json.dumps({"jsonrpc": "2.0", "id": "t", "method": method,
                       "params": ["token:" + SECRET] + list(params)}).encode()
    with urllib.request.urlopen(address, data=body, timeout=5) as answer:
        return json.load(answer)["result"]


def main(serimo, report):
    import pyatspi
    with harness.Desktop() as desk:
        keyring = desk._spawn(["gnome-keyring-daemon", "--unlock", "--components=secrets", "--foreground"],
                              stdin=subprocess.PIPE)
        keyring.stdin.write(b"keyring password")
        keyring.stdin.close()
        harness.wait_for(lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
             "org.freedesktop.DBus.NameHasOwner", "string:org.freedesktop.secrets"],
            env=desk.env, capture_output=True, text=True).stdout.strip().endswith("true"),
            "the keyring on the session bus")

        site = os.path.join(desk.home, "site")
        target = os.path.join(desk.home, "got")
        os.makedirs(site)
        os.makedirs(target)
        bodies = {}
        for n in (1, 2, 3, 4, 5, 7, 8):
            bodies["pic%02d.jpg" % n] = os.urandom(60000 + n)
            with open(os.path.join(site, "pic%02d.jpg" % n), "wb") as f:
                f.write(bodies["pic%02d.jpg" % n])
        os.makedirs(os.path.join(site, "g"))
        gallery = {}
        for n in (1, 2, 3):
            gallery["pic%d.jpg" % n] = os.urandom(30000 + n)
            with open(os.path.join(site, "g", "pic%d.jpg" % n), "wb") as f:
                f.write(gallery["pic%d.jpg" % n])
        cookies = os.path.join(desk.home, "cookies.txt")
        with open(cookies, "w") as f:
            f.write("# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t4102444800\tsession\tok\n")
        server, base = harness.serve_folder(site, Site)
        silent = socket.create_server(("127.0.0.1", 0))
        port = free_port()
        address = "http://127.0.0.1:%d/jsonrpc" % port
        try:
            url = base + "pic01.jpg"
            harness.store_feed_start(desk.settings_path, url, 1000)
            mine = os.path.join(desk.home, "mine")
            os.makedirs(mine)
            harness.write_settings(desk.settings_path,
                                   dict(harness.read_settings(desk.settings_path), DownloadFolder=mine))
            app = desk.start_serimo(serimo)
            desk.wait_active(app.window)
            app.wait_url(url)
            app.set_text("Items", "20")

            def send(to=None, secret=None, folder=None, enter=False, remember=False):
                app.choose_from_menu("Send run to aria2...", opens_modal=True)
                box = app.wait_dialog("Send run to aria2", "the aria2 dialog")
                if remember:
                    app.press("Remember the secret", pyatspi.ROLE_CHECK_BOX, root=box)
                for name, text in (("Address", to), ("Secret", secret), ("Folder on that machine", folder)):
                    if text is not None:
                        app.set_text(name, text, pyatspi.ROLE_PASSWORD_TEXT if name == "Secret" else None, root=box)
                if enter:
                    desk.key("Return")
                else:
                    app.press("OK", root=box)
                return time.monotonic()

            with report.part("no aria2: the box within 5 s"):
                sent = send(address, SECRET, target)
                _, box = app.wait_message_box("aria2 at %s did not take the run: Connection refused" % address)
                check(time.monotonic() - sent < 5, "the box came after %.1f s" % (time.monotonic() - sent))
                app.dismiss_message_box(box)
            with report.part("a daemon that does not answer: the box after 5 s"):
                quiet = "http://127.0.0.1:%d/jsonrpc" % silent.getsockname()[1]
                sent = send(quiet)
                # The wait for the box starts shortly before it is due.
                time.sleep(4)
                _, box = app.wait_message_box("aria2 at %s did not take the run: no answer within 5 s" % quiet)
                check(4.5 < time.monotonic() - sent < 7, "the box came after %.1f s" % (time.monotonic() - sent))
                app.dismiss_message_box(box)

            with report.part("an address that redirects: the run and its secret are not posted again"):
                _redirect, redirecting = harness.loopback_server(Redirect)
                send(redirecting + "jsonrpc", SECRET)
                _, box = app.wait_message_box("aria2 at %sjsonrpc did not take the run: it answered HTTP 307, a "
                                              "redirect: Serimo sends the run only to the daemon's own address"
                                              % redirecting)
                app.dismiss_message_box(box)
                check_equal(Redirect.posted, [], "calls posted where the redirect pointed")
            for path, says in (("html", "<h1>No</h1><a href=x>y</a>"), ("endless", "its answer went past 1 MB")):
                with report.part("a daemon's answer: %s" % says):
                    send(redirecting + path, SECRET)
                    app.dismiss_message_box(app.wait_message_box("aria2 at %s%s did not take the run: %s"
                                                                 % (redirecting, path, says))[1])

            desk._spawn(["aria2c", "--enable-rpc", "--rpc-listen-port=%d" % port,
                                  "--rpc-secret=" + SECRET, "--dir=" + desk.home, "-q"])
            harness.wait_for(lambda: listens(port), "aria2 to listen")
            with report.part("a wrong secret: aria2's refusal"):
                send(address, "wrong")
                _, box = app.wait_message_box("aria2 at %s did not take the run: Unauthorized" % address)
                app.dismiss_message_box(box)

            with report.part("the run: files, summary, the transfers after the end removed"):
                send(secret=SECRET, enter=True, remember=True)
                summary = "Saved 7 files to ~/got.\nThe series ends at pic08.jpg.\nMissing: 06."
                _, box = app.wait_message_box(summary)
                app.dismiss_message_box(box)
                # aria2 keeps what it wrote of a removed transfer, with its
                # control file, so that a later run resumes it.
                partial = [name + suffix for name in STALLED for suffix in ("", ".aria2")]
                check_equal(sorted(os.listdir(target)), sorted(list(bodies) + partial), "files in the folder")
                for name, body in bodies.items():
                    with open(os.path.join(target, name), "rb") as f:
                        check(f.read() == body, "%s is not the server's file" % name)
                check_equal(rpc(address, "aria2.tellActive", ["gid"]), [], "transfers aria2 still runs")
                stopped = rpc(address, "aria2.tellStopped", 0, 100, ["status", "files"])
                removed = sorted(os.path.basename(item["files"][0]["path"]) for item in stopped
                                 if item["status"] == "removed")
                check_equal(removed, sorted(STALLED), "transfers removed from aria2")
            app.choose_from_menu("Download options...", opens_modal=True)
            app.set_text("Cookies file", cookies,
                         root=app.wait_dialog("Download options", "the Download options dialog"))
            desk.key("Return")
            harness.wait_for(lambda: app.dialog("Download options") is None, "the Download options dialog to close")
            check_equal(app.close(), 0, "exit status")
            with report.part("address and folder stored, the secret not"):
                stored = harness.read_settings(desk.settings_path)
                check_equal((stored.get("Aria2Address"), stored.get("Aria2Folder")), (address, target),
                            "stored aria2 address and folder")
                with open(desk.settings_path, errors="replace") as f:
                    text = f.read()
                check(SECRET not in text and "wrong" not in text, "a secret in the settings file")

            with report.part("the gallery behind a login, with the cookies file kept across the restart"):
                app = desk.start_serimo(serimo)
                desk.wait_active(app.window)
                app.set_text("URL", base + "g/pic1.jpg")
                app.set_text("Items", "3")
                for engine, folder in (("Download run...", mine), ("Send run to aria2...", target)):
                    if engine == "Download run...":
                        app.choose_from_menu(engine, opens_modal=True)
                        # Choose takes the stored folder the chooser opened in.
                        app.press("Choose", root=app.wait_dialog(what="the folder chooser"))
                    else:
                        send()
                    summary = "Saved 3 files to ~/%s.\nNothing is missing." % os.path.basename(folder)
                    _, box = app.wait_message_box(summary)
                    app.dismiss_message_box(box)
                    for name, body in gallery.items():
                        with open(os.path.join(folder, name), "rb") as f:
                            check(f.read() == body, "%s is not the gallery's file" % name)
                check(Site.elsewhere, "no request reached the other host")
                check_equal(set(Site.elsewhere), {None}, "Cookie headers that reached the other host")

            with report.part("the keyring's secret after a restart; Stop removes, closing leaves the run"):
                app.set_text("URL", url.replace("pic01", "pic19"))
                app.set_text("Items", "2")
                send()
                app.wait_status(1, "aria2: 0 of 2 done")
                app.choose_from_menu("Stop download")
                app.wait_status(1, "Stopped. Saved 0")
                harness.wait_until_equal(lambda: rpc(address, "aria2.tellActive", ["gid"]), [],
                                         "transfers aria2 runs after Stop")
                send()
                app.wait_status(1, "aria2: 0 of 2 done")
                check_equal(app.close(), 0, "exit status")
                check_equal(len(rpc(address, "aria2.tellActive", ["gid"])), 2, "transfers aria2 runs after the close")
        finally:
            Site.stop.set()
            server.shutdown()
            silent.close()


if __name__ == "__main__":
    harness.run(main)
