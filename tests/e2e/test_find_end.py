#!/usr/bin/env python3
"""Where a series ends, against the test's own server: --find-end across a
gap (HEAD refused by the server) and its statuses, --download without COUNT
saving a series longer than 999 whole, and the window's "Find the end"
setting Items and saying where the series ends."""

import os
import re
import tempfile

import harness
from harness import check, check_equal

SERIES = {"img": (347, {64}), "big": (1203, set()), "login": (40, set()),
          "liar": (37, set()), "gaps": (60, {*range(6, 15), *range(21, 31), *range(41, 52)})}  # items, missing ones


class Handler(harness.SeriesHandler):
    asked = []

    def status_of(self):
        Handler.asked.append((self.command, self.path))
        match = re.fullmatch(r"/(img|big|nohead|login|gaps|liar)_(\d+)\.jpg", self.path)
        items, gaps = SERIES.get(match and match.group(1).replace("nohead", "img"), (0, set()))
        if self.command == "HEAD" and match and match.group(1) == "nohead":
            return 405
        if self.command == "HEAD" and match and match.group(1) == "liar":
            return 200
        if "forbidden" in self.path or ("login" in self.path and "session=ok" not in self.headers.get("Cookie", "")):
            return 403
        present = match is not None and 1 <= int(match.group(2)) <= items and int(match.group(2)) not in gaps
        return 200 if present else 404


def main(serimo, report):
    _server, base = harness.loopback_server(Handler)
    work = tempfile.mkdtemp()

    def run(*args):
        return harness.run_on_terminal([serimo] + list(args), work)

    with report.part("--find-end across a gap"):
        Handler.asked.clear()
        check_equal(run("--find-end", base + "img_001.jpg"), (0, base + "img_347.jpg\n", ""), "(status, out, err)")
        check(len(Handler.asked) <= 2 * 9 + 14 + 10, "%d requests" % len(Handler.asked))
        check_equal({method for method, _ in Handler.asked}, {"HEAD", "GET"}, "methods asked with")
    with report.part("--find-end where the server refuses HEAD"):
        Handler.asked.clear()
        check_equal(run("--find-end", base + "nohead_100.jpg")[:2], (0, base + "nohead_347.jpg\n"), "(status, out)")
        check_equal([method for method, _ in Handler.asked].count("HEAD"), 1, "HEAD requests")
    with report.part("--find-end: nothing there, a server that fails, bad input"):
        check_equal(run("--find-end", base + "img_400.jpg"),
                    (1, "", "serimo: nothing at the first address: '%simg_400.jpg'\n" % base), "(status, out, err)")
        check_equal(run("--find-end", "ftp://127.0.0.1/a1.jpg")[::2],
                    (2, "serimo: only http and https addresses can be asked for: 'ftp://127.0.0.1/a1.jpg'\n"),
                    "(status, err)")
        check_equal(run("--find-end", base + "forbidden_001.jpg"),
                    (1, "", "serimo: the server answered HTTP 403 for %sforbidden_001.jpg: it may want its own page as "
                           "the Referer, or the browser's cookies (Download options, or --referer and --load-cookies)\n"
                           % base), "(status, out, err)")
        check_equal(run("--find-end", "x")[::2],
                    (2, "serimo: not an address: 'x' does not start with scheme://host\n"), "(status, err)")
        check_equal(run("--find-end", base + "a1.jpg\nb")[::2],
                    (2, "serimo: the URL holds a control character (code 10)\n"), "(status, err)")
    with report.part("--download without COUNT: the whole series, past 999"):
        status, out, err = run("--download", base + "big_0001.jpg", "--to", "big")
        summary = "Saved 1203 files to ~/big.\nThe series ends at big_1203.jpg.\nNothing is missing.\n"
        check_equal((status, out, err), (0, summary, ""), "(status, out, err)")
        check_equal(sorted(os.listdir(os.path.join(work, "big"))), ["big_%04d.jpg" % n for n in range(1, 1204)],
                    "files saved")
    with report.part("--list without COUNT: the run to the series' end"):
        check_equal(run("--list", base + "img_340.jpg"),
                    (0, "".join(base + "img_%d.jpg\n" % n for n in range(340, 348)), ""), "(status, out, err)")
    with report.part("HEAD that says present past the end: GET has the last word"):
        check_equal(run("--find-end", base + "liar_001.jpg")[:2], (0, base + "liar_037.jpg\n"), "(status, out)")
    with report.part("gaps of nine, ten and eleven: one end from --find-end and --download"):
        check_equal(run("--find-end", base + "gaps_001.jpg")[:2], (0, base + "gaps_040.jpg\n"), "(status, out)")
        check_equal(run("--download", base + "gaps_001.jpg", "--to", "gaps")[:2],
                    (0, "Saved 21 files to ~/gaps.\nThe series ends at gaps_040.jpg.\nMissing: 006\u2013014, "
                        "021\u2013030.\n"), "(status, out)")

    with harness.Desktop() as desk:
        record = harness.encode_record(left=40, top=40, right=400, bottom=200, interval=1000, reserved20=0,
                                       hints=1, text=1, url=1, reserved24=bytes(4))
        # Download options: the browser's cookies, which the login series wants.
        cookies = os.path.join(work, "cookies.txt")
        with open(cookies, "w") as file:
            file.write("# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tsession\tok\n")
        os.makedirs(os.path.join(desk.home, "got"))
        harness.write_settings(desk.settings_path, {"LastURL": base + "big_0001.jpg", "Serimo_099": record,
                                                    "CookiesFile": cookies, "DownloadFolder": desk.home + "/got"})
        app = desk.start_serimo(serimo)
        desk.wait_active(app.window)

        def items():
            import pyatspi
            return app.text("Items", pyatspi.ROLE_TEXT)

        def find_the_end():
            # By its mnemonic: the Esc that closes a menu chosen from through
            # accessibility would reach the window and stop the search.
            app.press("Menu")
            desk.wait_menu_shown("the pop-up menu")
            desk.key("f")
        with report.part("the window's Find the end: more than Items holds"):
            find_the_end()
            harness.wait_until(lambda: app.status_panels()[1], lambda text: text.startswith("Ends at 1203"),
                               "status panel 1")
            check_equal(app.status_panels()[1], "Ends at 1203; Items holds 999", "status panel 1")
            check_equal(items(), "999", "Items")
            check_equal(app.url(), base + "big_0001.jpg", "URL box")
        with report.part("the window's Find the end across a gap"):
            app.set_text("URL", base + "img_001.jpg")
            find_the_end()
            harness.wait_until(lambda: app.status_panels()[1], lambda text: text.startswith("Series ends at 347 ("),
                               "status panel 1")
            check_equal(items(), "347", "Items")
        with report.part("the window's Find the end behind a login: the Download options' cookies go along"):
            app.set_text("URL", base + "login_001.jpg")
            find_the_end()
            harness.wait_until(lambda: app.status_panels()[1], lambda text: text.startswith("Series ends at 040 ("),
                               "status panel 1")
        with report.part("the window's Download run goes to the end Find the end found, across a gap of ten"):
            app.set_text("URL", base + "gaps_001.jpg")
            find_the_end()
            harness.wait_until(lambda: app.status_panels()[1], lambda text: text.startswith("Series ends at 040 ("),
                               "status panel 1")
            app.choose_from_menu("Download run...", opens_modal=True)
            app.press("Choose", root=app.wait_dialog(what="the folder chooser"))
            app.dismiss_message_box(app.wait_message_box("Saved 21 files to ~/got.\nThe series ends at gaps_040.jpg.\n"
                                                         "Missing: 006\u2013014, 021\u2013030.")[1])
        with report.part("the window's Find the end refuses a gallery's page"):
            app.set_text("URL", base + "gallery/")
            find_the_end()
            app.wait_message_box(base + "gallery/ is a page, not a series: it has no number to step. Open the page in "
                                 "the browser and copy a picture's address.")
        check_equal(app.close(), 0, "exit status")


if __name__ == "__main__":
    harness.run(main)
