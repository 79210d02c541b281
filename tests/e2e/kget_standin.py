#!/usr/bin/env python3
"""A stand-in for the download manager KGet on the session bus, for the
end-to-end tests: it owns org.kde.kget, prints "ready" once it does, and
prints each addTransfer call as one JSON line [sources, folder, start]. The
first call gets one transfer path per source, as KGet answers; every later
call is refused with an error."""

import json

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


class Main(dbus.service.Object):
    calls = 0

    @dbus.service.method("org.kde.kget.main", in_signature="ssb", out_signature="as")
    def addTransfer(self, sources, folder, start):
        print(json.dumps([str(sources), str(folder), bool(start)]), flush=True)
        Main.calls += 1
        if Main.calls > 1:
            raise dbus.exceptions.DBusException("The folder is full", name="org.kde.kget.Error")
        return ["/KGet/transfers/%d" % n for n, _ in enumerate(sources.split(";"))]


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.kde.kget", bus)
Main(bus, "/KGet")
print("ready", flush=True)
GLib.MainLoop().run()
