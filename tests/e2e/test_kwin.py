#!/usr/bin/env python3
"""The Wayland checks under KWin (a virtual session): the clipboard both
ways, a feed while another window has the focus and after another program
copied, the Save As hold through KWin's window list, and Stay on top, which
keeps Serimo above a window that takes the focus, and no longer once it is
turned off."""

import harness
import test_wayland
import wayland_desktop
from harness import check, check_equal

import pyatspi  # after harness, which finds the system's bindings


def main(serimo, report):
    with wayland_desktop.KwinDesktop(serimo) as desk:
        app = test_wayland.check_desktop(desk, serimo, report)
        with report.part("Stay on top keeps Serimo above a window that takes the focus"):
            app.press("Menu")
            menu = desk.wait_menu_shown("the pop-up menu to open after pressing Menu")
            app.press("Stay on top", pyatspi.ROLE_MENU_ITEM, root=menu)
            harness.wait_until(desk.windows, lambda found: found.get(harness.TITLE, (0, False))[1],
                               "KWin keeping Serimo above", timeout=wayland_desktop.SLOW)
            desk.other_window("Editor")
            order = desk.windows()
            check(order[harness.TITLE][0] > order["Editor"][0],
                  "Serimo is below the window that took the focus: %r" % order)
        with report.part("Stay on top taken back and given again, each a message to the script KWin keeps"):
            app.press("Menu")
            menu = desk.wait_menu_shown("the pop-up menu to open after pressing Menu")
            for above in (False, True):
                app.press("Stay on top", pyatspi.ROLE_MENU_ITEM, root=menu)
                harness.wait_until(desk.windows, lambda found: found.get(harness.TITLE, (0, not above))[1] == above,
                                   "KWin keeping Serimo above: %s" % above, timeout=wayland_desktop.SLOW)
        check_equal(app.close(), 0, "exit status")


if __name__ == "__main__":
    harness.run(main)
