#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The tray icon where the desktop hosts it over D-Bus (StatusNotifierItem), under X11 (Xvfb) and
under a headless Wayland compositor (weston): the item is titled "Vexmira", its menu is exported
with Restore, Check Now, Enabled and Close, Check Now is greyed while a check runs and back
after it, and a click on the item brings the window back. The program comes from VEXMIRA."""
import os
import signal
import socket
import subprocess
import tempfile
import unittest

from desktop_bus import Desktop, start_session_bus, start_weston, start_xvfb, wait_until

VEXMIRA = os.environ["VEXMIRA"]
MENU = ["_Restore", "_Check Now", "_Enabled", "C_lose"]


def settings(port):
    """alice with a saved password, reaching the service through a proxy at `port`."""
    return b"\n".join([b"[DATA]", b"USERID=alice", b"SAVEPASS=1", b"PASS=" + bytes(c + 128 for c in b"pw"),
                       b"CHECKED=1", b"PROXY=127.0.0.1", b"PORT=" + str(port).encode(), b""])


class TrayOverDBus:
    """One program in the tray of a D-Bus desktop; the display comes from the subclass."""

    def setUp(self):
        display = self.display_environment()
        self.dir = tempfile.TemporaryDirectory()
        self.bus, address = start_session_bus()
        self.desktop = Desktop(address)
        self.proxy = socket.create_server(("127.0.0.1", 0))  # takes the check and answers nothing
        with open(os.path.join(self.dir.name, "vexmira.ini"), "wb") as f:
            f.write(settings(self.proxy.getsockname()[1]))
        env = dict(display, DBUS_SESSION_BUS_ADDRESS=address, XDG_CONFIG_HOME=self.dir.name)
        self.program = subprocess.Popen([VEXMIRA, "--minimized"], env=env, stderr=subprocess.DEVNULL)

    def tearDown(self):
        if self.program.poll() is None:
            self.program.kill()
        self.program.wait()
        self.desktop.close()
        self.proxy.close()
        self.bus.terminate()
        self.bus.wait()
        self.stop_display()
        self.dir.cleanup()

    def test_the_menu_is_exported_and_follows_the_check(self):
        item = self.desktop.wait_for_item()
        self.assertIsNotNone(item, "no item registered")
        self.assertEqual(self.desktop.item_property(item, "Title"), "Vexmira")
        self.assertNotEqual(self.desktop.item_property(item, "Menu"), "/NO_DBUSMENU")
        menu = self.desktop.menu(item)
        self.assertEqual([(label, enabled) for _, label, enabled in menu], [(label, True) for label in MENU])

        check_now = menu[1][0]
        self.desktop.click_menu(item, check_now)
        self.proxy.settimeout(10)
        connection, _ = self.proxy.accept()
        self.assertTrue(wait_until(lambda: not self.desktop.menu(item)[1][2]), "Check Now stays enabled")
        connection.close()  # the check fails and ends
        self.assertTrue(wait_until(lambda: self.desktop.menu(item)[1][2]), "Check Now stays greyed")

        self.desktop.activate(item)  # a single click restores the window and takes the icon away
        self.assertTrue(wait_until(lambda: self.desktop.item_gone(item)))
        self.program.send_signal(signal.SIGTERM)
        self.assertEqual(self.program.wait(10), 0)


class UnderX11(TrayOverDBus, unittest.TestCase):
    def display_environment(self):
        self.xvfb, display = start_xvfb()
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        return dict(env, DISPLAY=display)

    def stop_display(self):
        self.xvfb.terminate()
        self.xvfb.wait()


class UnderWayland(TrayOverDBus, unittest.TestCase):
    def display_environment(self):
        self.runtime = tempfile.TemporaryDirectory()
        os.chmod(self.runtime.name, 0o700)
        self.weston = start_weston(self.runtime.name, "wayland-vexmira")
        if not self.weston:
            self.skipTest("weston is not installed")
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
        return dict(env, WAYLAND_DISPLAY="wayland-vexmira", XDG_RUNTIME_DIR=self.runtime.name)

    def stop_display(self):
        self.weston.terminate()
        self.weston.wait()
        self.runtime.cleanup()


if __name__ == "__main__":
    unittest.main()
