#!/usr/bin/env python3
"""Start-up and shutdown of the real program under a window manager: the
window appears with its title, becomes active, shows the example URL and its
range in the status line, and closing it ends the process cleanly."""

import harness


def main(serimo, report):
    with harness.Desktop() as desk:
        app = desk.start_serimo(serimo)
        with report.part("activation"):
            desk.wait_active(app.window)
        with report.part("URL box"):
            app.wait_url(harness.EXAMPLE_URL)
        with report.part("status line"):
            app.wait_status(0, "../pic001.jpg")
            app.wait_status(1, "../pic999.jpg")
        harness.check_equal(app.close(), 0, "exit status after closing the window")


if __name__ == "__main__":
    harness.run(main)
