#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What one client may cost the webmail emulator, with real connections: a request must be
complete in time, a connection that moves nothing is closed, a full server lets newcomers wait
until a place frees up, and a server out of descriptors pauses instead of spinning."""
import socket
import time
import unittest

from webmail_process import Emulator, login_request, status_of
from webmail_robustness_test import login_and_logout, settled


def connect(emulator):
    return socket.create_connection(("127.0.0.1", emulator.port), timeout=10)


def closed_after(s):
    """Seconds until the server ends the connection (EOF or reset)."""
    start = time.monotonic()
    try:
        while s.recv(4096):
            pass
    except ConnectionResetError:
        pass
    return time.monotonic() - start


class TimeLimits(unittest.TestCase):
    def test_idle_half_sent_and_slow_requests_are_closed_in_time(self):
        with Emulator("--idle-limit-ms", "400", "--request-limit-ms", "1200") as emulator:
            descriptors = emulator.descriptors()
            idle = connect(emulator)
            half = connect(emulator)
            half.sendall(b"GET / HTTP/1.0\r\nHost: x")
            self.assertLess(closed_after(idle), 3)
            self.assertLess(closed_after(half), 3)
            # Never idle for long, but never complete: the request limit ends it.
            slow = connect(emulator)
            start = time.monotonic()
            try:
                for _ in range(100):
                    slow.sendall(b"X")
                    time.sleep(0.1)
            except (BrokenPipeError, ConnectionResetError):
                pass
            self.assertLess(time.monotonic() - start, 4, "the trickle went on past the request limit")
            for s in (idle, half, slow):
                s.close()
            self.assertEqual(settled(emulator, descriptors), descriptors)
            self.assertEqual(emulator.log().count("nothing moved within 400 ms"), 2)
            self.assertEqual(emulator.log().count("no complete request within 1200 ms"), 1)
            login_and_logout(emulator)

    def test_held_and_answered_connections_are_not_cut(self):
        with Emulator("--idle-limit-ms", "300", "--delay-ms", "800") as emulator:
            with connect(emulator) as s:  # the answer comes after more than the idle limit
                s.sendall(login_request())
                answer = b""
                while chunk := s.recv(65536):
                    answer += chunk
            self.assertEqual(status_of(answer), 200)
        with Emulator("--idle-limit-ms", "300", "--never-answer") as emulator:
            with connect(emulator) as s:
                s.sendall(b"GET / HTTP/1.0\r\n\r\n")
                s.settimeout(1)
                with self.assertRaises(socket.timeout):
                    s.recv(1)  # held open, as the fault mode asks


class ConnectionCap(unittest.TestCase):
    def test_a_full_server_lets_newcomers_wait_for_a_place(self):
        with Emulator("--max-connections", "3", "--idle-limit-ms", "700") as emulator:
            holders = [connect(emulator) for _ in range(3)]
            time.sleep(0.2)
            start = time.monotonic()
            login_and_logout(emulator)  # waits until the idle holders are let go
            self.assertGreater(time.monotonic() - start, 0.3)
            for s in holders:
                s.close()
            self.assertEqual(emulator.log().count("connections open; new ones wait"), 1)
            login_and_logout(emulator)


class Descriptors(unittest.TestCase):
    def test_out_of_descriptors_it_pauses_logs_once_and_recovers(self):
        with Emulator("--idle-limit-ms", "60000", max_descriptors=40) as emulator:
            clients = [connect(emulator) for _ in range(60)]  # more than it can take on
            time.sleep(0.3)
            cpu = emulator.cpu_seconds()
            time.sleep(1.5)
            used = emulator.cpu_seconds() - cpu
            self.assertLess(used, 0.3, "it spins while out of descriptors")
            self.assertEqual(emulator.log().count("out of descriptors"), 1)
            for s in clients:
                s.close()
            login_and_logout(emulator)  # the clients that waited are taken on and end; it serves again


if __name__ == "__main__":
    unittest.main()
