#!/usr/bin/env python3
"""How many URLs of a feed a clipboard watcher picks up, on a private X
display (the e2e harness): a watcher that polls the clipboard every 2 s, as
some download managers do, and one told of every change of the clipboard's
owner through XFixes, as clipboard managers are. Prints one line per run.

    bench/clipboard_pickup.py build/serimo
"""

import contextlib
import os
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402

BASE = "http://www.example.com/members/gallery/photos/98/"
# (watcher, feed delay in ms, items)
RUNS = (("poll 2 s", 500, 20), ("poll 2 s", 1000, 20), ("poll 2 s", 2500, 10), ("XFixes", 100, 50))


def url(n):
    return BASE + "pic%03d.jpg" % n


@contextlib.contextmanager
def polling_watcher(desk, interval):
    """Reads the clipboard every `interval` seconds, as some download
    managers do: yields the list of texts seen, which grows with each new one."""
    seen, stop = [], threading.Event()

    def poll():
        while not stop.is_set():
            text = desk.clipboard()
            if text is not None and (not seen or seen[-1] != text):
                seen.append(text)
            stop.wait(interval)

    thread = threading.Thread(target=poll, daemon=True)
    thread.start()
    try:
        yield seen
    finally:
        stop.set()
        thread.join(timeout=harness.DEADLINE)


def feed(desk, serimo, watcher, delay, items):
    harness.store_feed_start(desk.settings_path, url(1), delay)
    app = desk.start_serimo(serimo)
    desk.wait_active(app.window)
    app.wait_url(url(1))
    app.set_text("Items", str(items))
    # The harness's recorder reads the clipboard at each change XFixes tells of.
    recorder = desk.clipboard_recorder() if watcher == "XFixes" else polling_watcher(desk, 2.0)
    with recorder as seen:
        app.press("Feed")
        harness.wait_until_equal(lambda: app.status_panels()[1], "Ready.", "the end of the run",
                                 timeout=items * delay / 1000 + 10)
        if watcher != "XFixes":
            # The last URL stays on the clipboard; the next poll finds it.
            harness.wait_for(lambda: url(items) in seen, "the last URL", timeout=3)
    app.close()
    return len(set(seen) & {url(n) for n in range(1, items + 1)})


def main(serimo, _report):
    with harness.Desktop() as desk:
        for watcher, delay, items in RUNS:
            picked = feed(desk, serimo, watcher, delay, items)
            print("%-9s feed delay %4d ms: %2d of %2d URLs" % (watcher, delay, picked, items), flush=True)


if __name__ == "__main__":
    harness.run(main, limit=600)
