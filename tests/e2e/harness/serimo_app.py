"""A running serimo and its windows, driven through accessibility (AT-SPI)
as a screen reader user would."""

import subprocess
import time

from .checks import DEADLINE, TITLE, ATSPI_TIMEOUT_MS, TestFailure, check, retried_once, wait_for, \
    wait_until_equal


class Serimo:
    """A running serimo process and its main window."""

    def __init__(self, desktop, proc):
        self.desk = desktop
        self.proc = proc
        self.window = None
        self._app = None

    # ---- process --------------------------------------------------------

    def wait_window(self, timeout=10):
        """Waits until the main window is shown and notes its id."""
        deadline = time.monotonic() + timeout
        while True:
            if self.proc.poll() is not None:
                raise TestFailure("serimo exited with status %s before showing a window "
                                  "titled %r" % (self.proc.poll(), TITLE))
            try:
                out = self.desk.search("--all", "--onlyvisible", "--pid", str(self.proc.pid),
                                       "--name", "^%s$" % TITLE)
            except TestFailure:
                out = []
            if out:
                break
            if time.monotonic() >= deadline:
                raise TestFailure("no visible window titled %r within %ds" % (TITLE, timeout))
            time.sleep(0.03)
        self.window = out[0]

    def running(self):
        return self.proc.poll() is None

    def close(self, timeout=DEADLINE):
        """Closes the main window as the user would and returns the exit status."""
        self.desk.close_window(self.window)
        return self.wait_exit(timeout)

    def wait_exit(self, timeout=DEADLINE):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("serimo did not exit within %.1fs after its window "
                              "was closed" % timeout)

    # ---- accessibility --------------------------------------------------

    @property
    def app(self):
        if self._app is None:
            self._app = self.desk.atspi_application(self.proc.pid)
        return self._app

    def find(self, name, role=None, root=None, timeout=DEADLINE):
        """The accessible named `name` (and of `role`, a pyatspi role constant)
        nearest to the top of the tree: the tool bar's "Next" rather than the
        arrow of the same name inside the up-down. Two matches at that depth
        are an error, since the test could not tell which one it drives."""

        def search():
            level = [root or self.app]
            while level:
                hits = [acc for acc in level if acc is not None and acc.name == name
                        and (role is None or acc.getRole() == role)]
                if len(hits) > 1:
                    raise TestFailure("%d accessibles named %r at the same depth"
                                      % (len(hits), name))
                if hits:
                    return hits[0]
                level = [acc.getChildAtIndex(i) for acc in level if acc is not None
                         for i in range(acc.childCount)]
            return None

        return wait_for(search, "accessible %r in serimo" % name, timeout)

    def press(self, name, role=None, root=None, opens_modal=False, control=None):
        """Presses the control with that accessible name (or the `control`
        found before) through its first action, as a screen reader user
        would. A control that opens a modal window answers only when that
        window closes: with opens_modal the missing answer is expected."""
        import pyatspi
        from gi.repository import GLib
        control = control or self.find(name, role or pyatspi.ROLE_PUSH_BUTTON, root)
        action = control.queryAction()
        check(action.nActions > 0, "%r offers no action" % name)
        if opens_modal:
            # Wait for the answer only briefly: it comes when the window
            # closes.
            pyatspi.setTimeout(500, 500)
        try:
            check(action.doAction(0), "%r refused its action" % name)
        except GLib.GError as exc:
            # Serimo answers once the command has run, which on a busy
            # machine may take longer than a call waits (megabytes pasted).
            # The request is delivered all the same; what the test checks
            # next shows whether it took effect.
            if "Did not receive a reply" not in str(exc):
                raise
        finally:
            if opens_modal:
                pyatspi.setTimeout(ATSPI_TIMEOUT_MS, ATSPI_TIMEOUT_MS)

    def click(self, name, role=None):
        """Clicks the middle of the control with that accessible name with the
        mouse. For a control that opens a modal box: an accessibility action
        gets its reply only once the box has closed."""
        import pyatspi
        control = self.find(name, role or pyatspi.ROLE_PUSH_BUTTON)
        box = control.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.desk.x("xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1")

    def choose_from_menu(self, item, opens_modal=False):
        """Opens the pop-up menu with the Menu button and chooses an item."""
        import pyatspi
        self.press("Menu")
        menu = self.desk.wait_menu_shown("the pop-up menu to open after pressing Menu")
        self.press(item, pyatspi.ROLE_MENU_ITEM, root=menu, opens_modal=opens_modal)
        if not opens_modal:
            # An item triggered through accessibility leaves the menu open
            # (the toolkit only triggers the action); close it as a user would,
            # so that the next press of Menu shows it anew.
            menu.clear_cache()
            if menu.getState().contains(pyatspi.STATE_SHOWING):
                self.desk.key("Escape")
                wait_for(lambda: menu.clear_cache() or not menu.getState().contains(pyatspi.STATE_SHOWING),
                         "the pop-up menu to close after choosing %r" % item)

    def text(self, name, role=None):
        """The text of the control with that accessible name."""
        return _text_of(self.find(name, role))

    def set_text(self, name, text, role=None, root=None):
        """Replaces the text of the box with that accessible name (a text
        box unless `role` says otherwise), as assistive technology edits it."""
        import pyatspi
        box = self.find(name, role or pyatspi.ROLE_TEXT, root)
        check(retried_once(box.queryEditableText().setTextContents, text),
              "%r refused the text %r" % (name, text))

    def dialog(self, title=None):
        """serimo's top-level dialog window titled `title` (any one when
        None, e.g. the folder chooser), or None when none is open."""
        import pyatspi
        for index in range(self.app.childCount):
            top = self.app.getChildAtIndex(index)
            if top is not None and top.getRole() == pyatspi.ROLE_DIALOG and title in (None, top.name):
                return top
        return None

    def wait_dialog(self, title=None, what=None):
        """The dialog(title), once it is open."""
        return wait_for(lambda: self.dialog(title), what or "the dialog %r" % title)

    def wait_message_box(self, text):
        """The message box (a top-level alert or dialog of serimo) that shows
        `text`; returns (its caption, the box)."""
        import pyatspi

        def labels(acc):
            for index in range(acc.childCount):
                child = acc.getChildAtIndex(index)
                if child is None:
                    continue
                if child.getRole() == pyatspi.ROLE_LABEL:
                    yield _text_of(child)
                yield from labels(child)

        def search():
            for index in range(self.app.childCount):
                top = self.app.getChildAtIndex(index)
                if (top is not None and top.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
                        and text in labels(top)):
                    return top
            return None

        box = wait_for(search, "a message box saying %r" % text)
        return box.name, box

    def dismiss_message_box(self, box):
        """Presses the box's OK and waits until it has closed."""
        import pyatspi
        self.press("OK", root=box)

        def closed():
            try:
                box.clear_cache()
                state = box.getState()
            except Exception:  # noqa: BLE001  (a box already destroyed is closed)
                return True
            return state.contains(pyatspi.STATE_DEFUNCT) or not state.contains(pyatspi.STATE_SHOWING)

        wait_for(closed, "the message box to close")

    def url(self):
        import pyatspi
        return self.text("URL", pyatspi.ROLE_TEXT)

    def status_panels(self):
        """The texts of the two status line panels, left first."""
        import pyatspi
        bar = self.find("Status")
        labels = [bar.getChildAtIndex(i) for i in range(bar.childCount)]
        labels = [acc for acc in labels if acc is not None and acc.getRole() == pyatspi.ROLE_LABEL]
        check(len(labels) == 2, "status line has %d labels, expected 2" % len(labels))
        return tuple(_text_of(acc) for acc in labels)

    def is_showing(self, name, role=None):
        import pyatspi
        acc = self.find(name, role)
        acc.clear_cache()
        return retried_once(acc.getState).contains(pyatspi.STATE_SHOWING)

    def wait_url(self, expected, what="URL box"):
        wait_until_equal(self.url, expected, what)

    def wait_status(self, panel, expected):
        """Waits for a status panel's text, as assistive technology reads it:
        its text, or its accessible name when it offers no text."""
        wait_until_equal(lambda: self.status_panels()[panel], expected,
                         "status panel %d (read through accessibility)" % panel)


def _text_of(acc):
    try:
        text = acc.queryText()
    except NotImplementedError:
        return acc.name
    return retried_once(text.getText, 0, -1)
