#!/usr/bin/env python3
"""A stand-in for the download manager KGet on the session bus, for the
end-to-end tests: it owns org.kde.kget, prints "ready" once it does, and
prints each addTransfer call as one JSON line [sources, folder, start]. The
first call gets one transfer path per source, as KGet answers; every later
call is refused with an error once a line comes on standard input, so that
the test lets the refusal come only after it has closed the menu."""

import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


class Main(dbus.service.Object):
    calls = 0

    refusals = []

    @dbus.service.method("org.kde.kget.main", in_signature="ssb", out_signature="as",
                         async_callbacks=("reply", "error"))
    def addTransfer(self, sources, folder, start, reply, error):
        print(json.dumps([str(sources), str(folder), bool(start)]), flush=True)
        Main.calls += 1
        if Main.calls > 1:
            Main.refusals.append(error)
            return
        reply(["/KGet/transfers/%d" % n for n, _ in enumerate(sources.split(";"))])


def refuse(_source, _condition):
    sys.stdin.readline()
    for error in Main.refusals:
        error(dbus.exceptions.DBusException("The folder is full", name="org.kde.kget.Error"))
    Main.refusals.clear()
    return True


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.kde.kget", bus)
Main(bus, "/KGet")
GLib.io_add_watch(sys.stdin, GLib.IO_IN, refuse)
print("ready", flush=True)
GLib.MainLoop().run()
