#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Desktop notifications of new mail, with the program in a D-Bus tray under Xvfb and checking
the webmail emulator: without a notification service the check ends as always and nothing shows;
with one, new mail is told in a notification carrying the tooltip's text, the next replaces it,
and clicking it brings the window back with the Messages window. The programs come from VEXMIRA
and WEBMAIL."""
import os
import signal
import subprocess
import sys
import tempfile
import unittest

from desktop_bus import Desktop, start_session_bus, start_xvfb, wait_until

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from webmail_process import Emulator  # noqa: E402

VEXMIRA = os.environ["VEXMIRA"]


def settings(port):
    return b"\n".join([b"[DATA]", b"USERID=alice", b"SAVEPASS=1", b"PASS=" + bytes(c + 128 for c in b"wonderland"),
                       b"HEADERS=1", b"CHECKED=1", b"PROXY=127.0.0.1", b"PORT=" + str(port).encode(), b"NOTIFY=1", b""])


def visible_windows(name):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], capture_output=True, text=True)
    return found.stdout.split()


class NewMailNotification(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.xvfb, os.environ["DISPLAY"] = start_xvfb()  # DISPLAY for xdotool too
        self.bus, address = start_session_bus()
        self.desktop = Desktop(address)
        self.webmail = Emulator()
        with open(os.path.join(self.dir.name, "vexmira.ini"), "wb") as f:
            f.write(settings(self.webmail.port))
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(DBUS_SESSION_BUS_ADDRESS=address, XDG_CONFIG_HOME=self.dir.name)
        self.program = subprocess.Popen([VEXMIRA, "--minimized"], env=env, stderr=subprocess.DEVNULL)

    def tearDown(self):
        if self.program.poll() is None:
            self.program.kill()
        self.program.wait()
        self.webmail.stop()
        self.desktop.close()
        self.bus.terminate()
        self.bus.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        self.dir.cleanup()

    def check_now(self, item):
        self.desktop.click_menu(item, self.desktop.menu(item)[1][0])

    def tooltip(self, item):
        return str(self.desktop.item_property(item, "ToolTip")[2])

    def test_new_mail_is_told_on_the_desktop_and_a_click_opens_the_messages(self):
        item = self.desktop.wait_for_item()
        self.assertIsNotNone(item, "no item registered")

        self.check_now(item)  # no notification service: nothing shows, nothing fails
        self.assertTrue(wait_until(lambda: "new mail" in self.tooltip(item)), self.tooltip(item))
        self.assertTrue(wait_until(lambda: self.desktop.menu(item)[1][2]), "the check does not end")
        self.assertEqual(visible_windows("."), [])
        self.assertIsNone(self.program.poll())

        shown = self.desktop.start_notifications().shown
        self.check_now(item)
        self.assertTrue(wait_until(lambda: len(shown) == 1))
        number, summary, body, actions, hints = shown[0]
        self.assertEqual((summary, body), ("Vexmira", self.tooltip(item)))
        self.assertEqual(actions[0], "default")
        self.assertEqual(visible_windows("."), [])

        self.check_now(item)  # the next one takes the place of the first
        self.assertTrue(wait_until(lambda: len(shown) == 2))
        self.assertEqual(shown[1][0], number)

        self.desktop.click_notification(number)
        self.assertTrue(wait_until(lambda: visible_windows("^Messages$")), "no Messages window")
        self.program.send_signal(signal.SIGTERM)
        self.assertEqual(self.program.wait(10), 0)


if __name__ == "__main__":
    unittest.main()
