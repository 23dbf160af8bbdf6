#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Soak run of the webmail emulator: rounds of logins in a row, bursts of parallel clients and
malformed requests, printing the emulator's descriptors and resident size after each round.
A healthy emulator ends every round with the same descriptors and a flat resident size.

    bench/webmail_soak.py [--webmail build/tools/webmail/webmail] [--rounds 10] [--logins 2000]
                          [--parallel 100]
"""
import argparse
import os
import sys
import threading
import time

sys.dont_write_bytecode = True  # no cache left in tests/e2e
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import webmail_process  # noqa: E402
from webmail_robustness_test import login_and_logout, settled  # noqa: E402

MALFORMED = [b"\x00\xff garbage\r\n\r\n", b"GET /" + b"a" * 100_000 + b" HTTP/1.0\r\n\r\n",
             b"GET / HTTP/1.0\r\n" + b"X: y\r\n" * 200 + b"\r\n", b"POST /cgi-bin/start HTTP/1.0\r\n\r\n"]


def burst(emulator, clients):
    failures = []

    def client():
        try:
            login_and_logout(emulator)
        except Exception as e:  # noqa: BLE001 - counted and shown
            failures.append(repr(e))

    threads = [threading.Thread(target=client) for _ in range(clients)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--webmail", default="build/tools/webmail/webmail")
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("--logins", type=int, default=2000)
    parser.add_argument("--parallel", type=int, default=100)
    args = parser.parse_args()
    webmail_process.WEBMAIL = args.webmail

    with webmail_process.Emulator() as emulator:
        print("%5s %10s %12s %12s %6s %9s" % ("round", "logins/s", "burst (s)", "failures", "fds", "RSS KiB"))
        descriptors = emulator.descriptors()
        for round_number in range(1, args.rounds + 1):
            start = time.monotonic()
            for _ in range(args.logins):
                login_and_logout(emulator)
            rate = args.logins / (time.monotonic() - start)
            start = time.monotonic()
            failures = burst(emulator, args.parallel)
            burst_seconds = time.monotonic() - start
            for request in MALFORMED:
                emulator.exchange(request)
            print("%5d %10.0f %12.3f %12d %6d %9d" % (round_number, rate, burst_seconds, len(failures),
                                                      settled(emulator, descriptors), emulator.resident_kib()))
            if failures:
                print("  first failure:", failures[0])
        status = emulator.stop()
    print("exit status", status)
    return 0 if status == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
