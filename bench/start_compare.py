#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The program's start beside a bare Qt window of the same size with a tray icon
(build/bench/bare_window), on a private Xvfb display with a notification area (trayer) and a
private session bus, as a desktop session has them: the time from exec to the window's map on the display, and the resident
memory at rest two seconds later. Pairs alternate; reports median ratios with their spread.
Goals: start at most 1.2x the bare window, resident memory at most the bare window + 4 MB.
    bench/start_compare.py BUILD_DIR [pairs]"""
import os
import subprocess
import sys
import tempfile
import time

from paired import load, ratios, rounds, summary

BUILD = sys.argv[1]
PAIRS = int(sys.argv[2]) if len(sys.argv) > 2 else 9
PROGRAMS = {"vexmira": os.path.join(BUILD, "src/app/vexmira"), "bare window": os.path.join(BUILD, "bench/bare_window")}


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


class Display:
    """Xvfb with trayer and a session bus; xev watches the root window for maps."""

    def __init__(self):
        self.processes = [subprocess.Popen(["Xvfb", ":61", "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                                           stderr=subprocess.DEVNULL)]
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
        self.processes.append(bus)
        time.sleep(1)
        self.env = dict(os.environ, DISPLAY=":61", DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip())
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.processes.append(subprocess.Popen(["trayer", "--edge", "top", "--SetDockType", "false"], env=self.env,
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1)

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            process.wait()


def start(display, program):
    """One start: seconds from exec to the first map of a top-level window, and KiB at rest."""
    xev = subprocess.Popen(["xev", "-root", "-event", "substructure"], env=display.env, stdout=subprocess.PIPE,
                           text=True)
    time.sleep(0.3)
    with tempfile.TemporaryDirectory() as config:
        env = dict(display.env, XDG_CONFIG_HOME=config)
        began = time.perf_counter()
        process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for line in xev.stdout:
            if line.startswith("MapNotify") and "override NO" in next(xev.stdout, ""):
                break
        mapped = time.perf_counter() - began
        time.sleep(2)
        rss = resident_kib(process.pid)
        process.terminate()
        process.wait()
    xev.terminate()
    xev.wait()
    return {"start": mapped, "rss": rss}


def main():
    display = Display()
    print("load before: %s" % load())
    try:
        results = rounds({name: (lambda p=path: start(display, p)) for name, path in PROGRAMS.items()}, PAIRS)
    finally:
        display.close()
    print("load after: %s" % load())
    for name in PROGRAMS:
        starts = sorted(r["start"] * 1000 for r in results[name])
        rss = sorted(r["rss"] / 1024 for r in results[name])
        print("  %-12s start %.1f ms (median of %d)  resident %.1f MiB" % (name, starts[len(starts) // 2], PAIRS,
                                                                          rss[len(rss) // 2]))
    print("start ratio vexmira/bare window: %s (goal <= 1.2)" % summary(ratios(results, "vexmira", "bare window", "start")))
    extra = sorted((v["rss"] - b["rss"]) / 1024 for v, b in zip(results["vexmira"], results["bare window"]))
    print("resident vexmira - bare window: %.1f MiB (%.1f to %.1f; goal <= 4 MB)" % (extra[len(extra) // 2], extra[0],
                                                                                     extra[-1]))


if __name__ == "__main__":
    main()
