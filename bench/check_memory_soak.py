#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The program's resident memory across many checks: the real program in a D-Bus tray under
Xvfb, checking the webmail emulator each time the tray menu's Check Now is clicked over D-Bus.
Prints the resident size after 10, 100 and every further hundred checks; the goal is flat
(no growth after the first checks). Runs with Debian's Python (it has the D-Bus bindings).
    bench/check_memory_soak.py BUILD_DIR [checks]"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "desktop"))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from desktop_bus import Desktop, start_session_bus, start_xvfb, wait_until  # noqa: E402

BUILD = sys.argv[1]
CHECKS = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
os.environ["WEBMAIL"] = os.path.join(BUILD, "tools/webmail/webmail")
from webmail_process import Emulator  # noqa: E402


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


def main():
    xvfb, display = start_xvfb()
    bus, address = start_session_bus()
    desktop = Desktop(address)
    webmail = Emulator()
    with tempfile.TemporaryDirectory() as config:
        with open(os.path.join(config, "vexmira.ini"), "wb") as f:
            f.write(b"[DATA]\nUSERID=alice\nSAVEPASS=1\nPASS=" + bytes(c + 128 for c in b"wonderland") +
                    b"\nHEADERS=1\nCHECKED=1\nPROXY=127.0.0.1\nPORT=%d\n" % webmail.port)
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=address, XDG_CONFIG_HOME=config)
        program = subprocess.Popen([os.path.join(BUILD, "src/app/vexmira"), "--minimized"], env=env,
                                   stderr=subprocess.DEVNULL)
        try:
            item = desktop.wait_for_item()
            check_now = desktop.menu(item)[1][0]
            started = time.perf_counter()
            for done in range(1, CHECKS + 1):
                logouts = webmail.log().count("logout")
                desktop.click_menu(item, check_now)
                if not wait_until(lambda: webmail.log().count("logout") > logouts, 10):
                    raise RuntimeError("check %d did not end" % done)
                wait_until(lambda: desktop.menu(item)[1][2], 10)
                if done in (10, 100) or done % 250 == 0:
                    print("after %4d checks: resident %.1f MiB (%.1f s)" % (done, resident_kib(program.pid) / 1024,
                                                                         time.perf_counter() - started), flush=True)
        finally:
            program.terminate()
            program.wait()
            webmail.stop()
            desktop.close()
            bus.terminate()
            xvfb.terminate()


if __name__ == "__main__":
    main()
