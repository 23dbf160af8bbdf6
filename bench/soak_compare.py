#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The notifier's check cycle (login POST, scan, logout GET through the emulator as proxy)
beside one-process peers doing the same requests, paired and alternated in one run:
  - check_cycle_soak: the notifier's session logic, N cycles in one process;
  - cycle_peer.py: Python's http.client, N cycles in one process;
  - curl: one process with --next, N logins and N logouts (of sessions opened beforehand, since
    curl cannot carry the session URL from one answer to the next request).
Every figure is the whole process, start-up included, as a ratio to the peer in the same round
(median and spread). Then a longer soak of the notifier alone: time per cycle, resident memory
and descriptors at its start and end.

usage: soak_compare.py BUILD_DIR [--cycles 200] [--rounds 5] [--soak-cycles 2000]"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import cycle_peer  # noqa: E402
import paired  # noqa: E402


def curl_config(port, cycles, path):
    """N logins and N logouts as one curl process; the sessions to log out are opened first."""
    logouts = []
    for _ in range(cycles):
        page = cycle_peer.exchange(port, "POST", "http://192.0.2.10/cgi-bin/start", cycle_peer.FORM)
        logouts.append(re.search(rb'(http://192\.0\.2\.20/[^"]*)"', page).group(1).decode())
    with open(path, "w") as f:
        requests = []
        for logout in logouts:
            requests.append('url = "http://192.0.2.10/cgi-bin/start"\ndata = "%s"\n' % cycle_peer.FORM.decode())
            requests.append('url = "%s"\n' % logout)
        f.write("next\n".join('proxy = "127.0.0.1:%d"\noutput = "/dev/null"\nsilent\nfail\n%s' % (port, r)
                              for r in requests))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--cycles", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--soak-cycles", type=int, default=2000)
    args = parser.parse_args()
    soak = os.path.join(args.build, "bench/check_cycle_soak")
    emulator = subprocess.Popen([os.path.join(args.build, "tools/webmail/webmail"), "--port", "0"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        port = int(re.search(r"127\.0\.0\.1:(\d+)", emulator.stdout.readline()).group(1))
        print("load before: %s" % paired.load())
        print("%d check cycles per process, %d rounds" % (args.cycles, args.rounds))
        with tempfile.TemporaryDirectory() as directory:
            config = os.path.join(directory, "curl.conf")

            def curl():
                curl_config(port, args.cycles, config)  # not measured
                return paired.run(["curl", "-K", config])

            results = paired.rounds({
                # check_cycle_soak runs one more cycle to warm up before it starts its own clock.
                "notifier": lambda: paired.run([soak, str(port), str(args.cycles - 1)]),
                "python http.client": lambda: paired.run([sys.executable, os.path.join(HERE, "cycle_peer.py"),
                                                          str(port), str(args.cycles)]),
                "curl --next": curl,
            }, args.rounds)
        paired.print_table(results, "notifier", ["python http.client", "curl --next"], ["wall", "cpu"])
        result = subprocess.run([soak, str(port), str(args.soak_cycles)], capture_output=True, text=True)
        print("soak of the notifier:", result.stdout.strip() or result.stderr.strip())
        print("load after: %s" % paired.load())
    finally:
        emulator.terminate()
        emulator.wait()


if __name__ == "__main__":
    main()
