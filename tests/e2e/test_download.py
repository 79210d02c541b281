#!/usr/bin/env python3
"""Download run fetches the run from a web server into the folder the
folder chooser gives: Choose takes the stored DownloadFolder it opens in: the files are
on disk whole, the one the server lacks is named in the summary, the URL box
is left as it was and the folder is stored again at close."""

import os

import harness
from harness import check, check_equal


def main(serimo, report):
    with harness.Desktop() as desk:
        site = os.path.join(desk.home, "site")
        target = os.path.join(desk.home, "got")
        os.makedirs(site)
        os.makedirs(target)
        bodies = {}
        for n in (1, 2, 4, 5):
            bodies["pic%d.jpg" % n] = os.urandom(70000 + n)
            with open(os.path.join(site, "pic%d.jpg" % n), "wb") as f:
                f.write(bodies["pic%d.jpg" % n])
        server, base = harness.serve_folder(site)
        try:
            url = base + "pic1.jpg"
            record = harness.encode_record(left=40, top=40, right=340, bottom=200, interval=1000,
                                           reserved20=0, hints=1, text=1, url=1, reserved24=bytes(4))
            harness.write_settings(desk.settings_path,
                                   {"LastURL": url, "Serimo_099": record, "DownloadFolder": target})
            app = desk.start_serimo(serimo)
            desk.wait_active(app.window)
            app.wait_url(url)
            app.set_text("Items", "5")

            app.choose_from_menu("Download run...", opens_modal=True)
            dialog = app.wait_dialog(what="the folder chooser")
            # Choose takes the folder the chooser opened in.
            app.press("Choose", root=dialog)

            summary = "Saved 4 files to ~/got.\nMissing: 3."
            caption, box = app.wait_message_box(summary)
            with report.part("summary"):
                check_equal(caption, "Serimo", "caption of the summary")
                app.wait_status(1, "Saved 4")
                check(app.find("Open folder", root=box) is not None, "no Open folder beside OK")
            with report.part("files on disk"):
                check_equal(sorted(os.listdir(target)), sorted(bodies), "files in the folder")
                for name, body in bodies.items():
                    with open(os.path.join(target, name), "rb") as f:
                        check(f.read() == body, "%s is not the server's file" % name)
            with report.part("URL box untouched"):
                check_equal(app.url(), url, "URL box after the download")
            # The summary stays open: closing the window ends Serimo all the same.
            check_equal(app.close(), 0, "exit status")
            with report.part("folder stored"):
                check_equal(harness.read_settings(desk.settings_path).get("DownloadFolder"), target,
                            "DownloadFolder")
        finally:
            server.shutdown()


if __name__ == "__main__":
    harness.run(main)
