#!/usr/bin/env python3
"""Download run from the window against `wget -nc -i list` and
`serimo --download URL COUNT`: 999 files of 50 KB from the threaded server of
bench/download.py on 127.0.0.1, in interleaved rounds, each into an empty
folder. The window's run is timed from the press on Choose in the folder
chooser to the last file written (its modification time); the others from
their start to their exit. Prints each round and the medians.
Usage: bench/window_download.py BUILD_DIR [ROUNDS]

The window runs under Xvfb with the accessibility bus on, which drives it
(the end-to-end tests' harness)."""

import os
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from download import measure, serve_gallery  # noqa: E402

COUNT = 999


def last_written(folder, since):
    """Seconds from `since` (time.time()) to the last file's write, once the
    folder holds COUNT whole files."""
    def whole():
        names = os.listdir(folder)
        return len(names) == COUNT and not any(name.endswith(".serimo-part") for name in names)
    harness.wait_for(whole, "%d files in %s" % (COUNT, folder), timeout=120, interval=0.01)
    written = [os.stat(os.path.join(folder, name)).st_mtime for name in os.listdir(folder)]
    print("  window: first file at %.3f s" % (min(written) - since))
    return max(written) - since


def main():
    build = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    serimo = os.path.join(build, "serimo")
    work = tempfile.mkdtemp(prefix="serimo-bench-")
    times = {"window": [], "serimo --download": [], "wget -nc": []}
    try:
        server, base, listing = serve_gallery(work, COUNT)
        window_folder = os.path.join(work, "window")
        os.makedirs(window_folder)
        with harness.Desktop() as desk:
            record = harness.encode_record(left=40, top=40, right=340, bottom=200, interval=1000,
                                           reserved20=0, hints=1, text=1, url=1, reserved24=bytes(4))
            harness.write_settings(desk.settings_path, {"LastURL": base + "pic001.jpg", "Serimo_099": record,
                                                        "DownloadFolder": window_folder})
            app = desk.start_serimo(serimo)
            desk.wait_active(app.window)
            app.set_text("Items", str(COUNT))
            for number in range(rounds):
                for name in os.listdir(window_folder):
                    os.remove(os.path.join(window_folder, name))
                app.choose_from_menu("Download run...", opens_modal=True)
                choose = app.find("Choose", root=app.wait_dialog(what="the folder chooser"))
                started = time.time()
                app.press("Choose", control=choose)
                times["window"].append(last_written(window_folder, started))
                _, box = app.wait_message_box("Saved %d files to %s.\nNothing is missing." % (COUNT, window_folder))
                app.dismiss_message_box(box)
                for name, argv in (("wget -nc", ["wget", "-q", "-nc", "-i", listing]),
                                   ("serimo --download", [serimo, "--download", base + "pic001.jpg", str(COUNT)])):
                    folder = os.path.join(work, "%s-%d" % (name.split()[0], number))
                    os.makedirs(folder)
                    times[name].append(measure(argv, folder)[0])
                    shutil.rmtree(folder)
                print("round %d: %s" % (number + 1, ", ".join("%s %.3f s" % (name, values[-1])
                                                             for name, values in times.items())))
            app.close()
        server.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for name, values in times.items():
        print("%-18s median %.3f s (%s)" % (name, statistics.median(values),
                                             ", ".join("%.3f" % v for v in values)))
    print("window / wget: %.2fx" % (statistics.median(times["window"]) / statistics.median(times["wget -nc"])))


if __name__ == "__main__":
    main()
