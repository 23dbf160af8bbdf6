#!/usr/bin/env python3
"""Soak: whole check cycles with headers (login POST, scan, logout) against the webmail
emulator on 127.0.0.1, measured beside the same exchange done with curl in the same run.

usage: soak_compare.py BUILD_DIR [--cycles 2000] [--curl-rounds 200]
Prints time per cycle, the notifier's and the emulator's resident memory and open
descriptors at the start and the end."""
import argparse
import os
import re
import subprocess
import time


def proc_status(pid):
    with open("/proc/%d/status" % pid) as f:
        rss = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
    return rss, len(os.listdir("/proc/%d/fd" % pid))


def curl_round(port):
    """The same exchange with curl: login, the mailbox page again, logout (three calls)."""
    proxy = ["curl", "-s", "-x", "127.0.0.1:%d" % port]
    page = subprocess.run(proxy + ["-d", "login=alice&passwd=wonderland&enter=Enter&frames=no&curmbox=ACTIVE&js=no",
                                   "http://192.0.2.10/cgi-bin/start"], capture_output=True, check=True).stdout
    sid = re.search(rb'name="sid" value="([^"]+)"', page).group(1).decode()
    subprocess.run(proxy + ["http://192.0.2.10/cgi-bin/HoTMaiL?curmbox=ACTIVE&sid=" + sid], capture_output=True,
                   check=True)
    logout = re.search(rb'(http://192\.0\.2\.20/[^"]*)"', page).group(1).decode()
    subprocess.run(proxy + [logout], capture_output=True, check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--cycles", type=int, default=2000)
    parser.add_argument("--curl-rounds", type=int, default=200)
    args = parser.parse_args()
    emulator = subprocess.Popen([os.path.join(args.build, "tools/webmail/webmail"), "--port", "0"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        port = int(re.search(r"127\.0\.0\.1:(\d+)", emulator.stdout.readline()).group(1))
        before = proc_status(emulator.pid)
        soak = subprocess.run([os.path.join(args.build, "bench/check_cycle_soak"), str(port), str(args.cycles)],
                              capture_output=True, text=True)
        print("notifier:", soak.stdout.strip() or soak.stderr.strip())
        after = proc_status(emulator.pid)
        print("emulator: rss %d -> %d KiB, fds %d -> %d over %d cycles" % (before[0], after[0], before[1], after[1],
                                                                             args.cycles))
        start = time.perf_counter()
        for _ in range(args.curl_rounds):
            curl_round(port)
        print("curl: %.3f ms per login, mailbox and logout (3 calls), %d rounds"
              % (1000 * (time.perf_counter() - start) / args.curl_rounds, args.curl_rounds))
    finally:
        emulator.terminate()
        emulator.wait()


if __name__ == "__main__":
    main()
