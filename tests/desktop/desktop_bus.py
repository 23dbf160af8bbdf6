# SPDX-License-Identifier: MIT
"""What a desktop runs on its session bus, for the tests: a private session bus, a
StatusNotifierWatcher with a host registered (what GNOME's AppIndicator extension and Plasma
offer) with a client for the items and menus registered with it, and a notification service."""
import os
import subprocess
import threading
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"
WATCHER_INTROSPECTION = f"""<node><interface name="{WATCHER}">
<method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
</interface></node>"""


def start_session_bus():
    """A private session bus: (process, address)."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, text=True)
    return bus, bus.stdout.readline().strip()


class Watcher(dbus.service.Object):
    """Takes item registrations and says a host draws them."""

    def __init__(self, bus):
        self.items = []
        self.owned_name = dbus.service.BusName(WATCHER, bus)
        super().__init__(bus, "/StatusNotifierWatcher")

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        path = service if service.startswith("/") else "/StatusNotifierItem"
        self.items.append((sender if service.startswith("/") else service, path))
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    # Qt reads the properties only where the introspection data names them.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return WATCHER_INTROSPECTION

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"IsStatusNotifierHostRegistered": dbus.Boolean(True), "ProtocolVersion": dbus.Int32(0),
                "RegisteredStatusNotifierItems": dbus.Array([s for s, _ in self.items], signature="s")}


NOTIFICATIONS = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    """Keeps what it is asked to show, as (id, summary, body, actions, hints)."""

    def __init__(self, bus):
        self.shown = []
        self.owned_name = dbus.service.BusName(NOTIFICATIONS, bus)
        super().__init__(bus, "/org/freedesktop/Notifications")

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout):
        number = replaces_id or len(self.shown) + 1
        self.shown.append((number, str(summary), str(body), [str(a) for a in actions], dict(hints)))
        return number

    @dbus.service.method(NOTIFICATIONS, out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]

    @dbus.service.signal(NOTIFICATIONS, signature="us")
    def ActionInvoked(self, number, action):
        pass


class Desktop:
    """The watcher on its own bus connection, served by a GLib loop in a thread."""

    def __init__(self, address):
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        self._serving = dbus.bus.BusConnection(address)
        self.watcher = Watcher(self._serving)
        self._loop = GLib.MainLoop()
        threading.Thread(target=self._loop.run, daemon=True).start()
        self.client = dbus.bus.BusConnection(address, mainloop=None)

    def close(self):
        self._loop.quit()

    def start_notifications(self):
        """The notification service, from now on."""
        self.notifications = Notifications(self._serving)
        return self.notifications

    def click_notification(self, number):
        GLib.idle_add(lambda: self.notifications.ActionInvoked(dbus.UInt32(number), "default"))

    def wait_for_item(self, seconds=10):
        """The (service, path) of the first item registered."""
        deadline = time.monotonic() + seconds
        while not self.watcher.items and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.watcher.items[0] if self.watcher.items else None

    def item_property(self, item, name):
        service, path = item
        return self.client.get_object(service, path).Get(ITEM, name, dbus_interface=PROPERTIES)

    def item_gone(self, item):
        return not self.client.name_has_owner(item[0])

    def menu(self, item):
        """The item's menu as (id, label, enabled) of each entry, in order."""
        service, _ = item
        path = self.item_property(item, "Menu")
        _, layout = self.client.get_object(service, path).GetLayout(
            0, -1, dbus.Array([], signature="s"), dbus_interface="com.canonical.dbusmenu")
        return [(int(child[0]), str(child[1].get("label", "")), bool(child[1].get("enabled", True)))
                for child in layout[2] if child[1].get("type", "standard") != "separator"]

    def click_menu(self, item, entry_id):
        service, _ = item
        menu = self.client.get_object(service, self.item_property(item, "Menu"))
        menu.Event(dbus.Int32(entry_id), "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface="com.canonical.dbusmenu")

    def activate(self, item):
        service, path = item
        self.client.get_object(service, path).Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)


def wait_until(condition, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def start_xvfb():
    """An X server on a display number nobody uses: (process, display)."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                            pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as numbers:
        return xvfb, ":" + numbers.readline().strip()


def start_weston(runtime_dir, socket_name):
    """A headless Wayland compositor; None when weston is not installed."""
    if subprocess.run(["sh", "-c", "command -v weston"], capture_output=True).returncode != 0:
        return None
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime_dir)
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=" + socket_name, "--idle-time=0"],
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_until(lambda: os.path.exists(os.path.join(runtime_dir, socket_name)))
    return weston
