#!/usr/bin/env python3
"""The Wayland checks under KWin (a virtual session): the clipboard both
ways, a feed while another window has the focus and after another program
copied, and the Save As hold through KWin's window list."""

import harness
import test_wayland
import wayland_desktop


def main(serimo, report):
    with wayland_desktop.KwinDesktop(serimo) as desk:
        # Nothing here can ask KWin to close a window; the desktop ends it.
        test_wayland.check_desktop(desk, serimo, report).proc.terminate()


if __name__ == "__main__":
    harness.run(main)
