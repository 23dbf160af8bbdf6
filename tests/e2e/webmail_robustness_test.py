#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The webmail emulator under load and abuse: many clients at once, many logins in a row,
malformed and cut-short requests, and its exit on a signal. Longer soak runs live in
bench/webmail_soak.py."""
import os
import signal
import socket
import threading
import time
import unittest

from webmail_process import Emulator, body_of, get_request, login_request, read_to_end, session_url, status_of


def login_and_logout(emulator):
    """One visit; raises unless the login opened a session that the logout then found."""
    page = emulator.exchange(login_request())
    assert status_of(page) == 200 and b"4 new</font>" in page, page[:300]
    bye = emulator.exchange(get_request(session_url(page)))
    assert b"signed out" in bye, bye[:300]


def settled(emulator, descriptors):
    """Waits until the emulator holds `descriptors` again (its side of a connection closes
    just after the client's side); returns what it holds then."""
    deadline = time.monotonic() + 5
    while emulator.descriptors() != descriptors and time.monotonic() < deadline:
        time.sleep(0.02)
    return emulator.descriptors()


class Load(unittest.TestCase):
    def test_hundred_clients_at_once(self):
        with Emulator() as emulator:
            start = threading.Barrier(100)
            failures = []

            def client():
                start.wait()
                try:
                    login_and_logout(emulator)
                except Exception as e:  # noqa: BLE001 - every failure is reported below
                    failures.append(repr(e))

            threads = [threading.Thread(target=client) for _ in range(100)]
            for t in threads:
                t.start()
            for t in threads:
                t.join()
            self.assertEqual(failures, [])
            self.assertEqual(emulator.log().count("GET http://192.0.2.20/cgi-bin/logout"), 100)

    def test_thousand_logins_in_a_row_keep_memory_and_descriptors(self):
        with Emulator() as emulator:
            descriptors = emulator.descriptors()  # listener, signals, event loop, stdio
            for _ in range(100):  # the allocator's pools warm up
                login_and_logout(emulator)
            self.assertEqual(settled(emulator, descriptors), descriptors)
            resident = emulator.resident_kib()
            for _ in range(1000):
                login_and_logout(emulator)
            self.assertEqual(settled(emulator, descriptors), descriptors)
            self.assertLess(emulator.resident_kib() - resident, 512, "KiB more after 1000 logins")


class Abuse(unittest.TestCase):
    """Every malformed request gets a 400 or a close; the server carries on unharmed."""

    def assert_400(self, answer, why):
        self.assertEqual(status_of(answer), 400, why)
        self.assertIn(b"could not be read", body_of(answer), why)

    def test_malformed_requests(self):
        with Emulator() as emulator:
            baseline = emulator.descriptors()
            self.assert_400(emulator.exchange(b"\x00\xff garbage \x01\x02\r\n\r\n"), "garbage")
            self.assert_400(emulator.exchange(b"GET /" + b"a" * (1 << 20) + b" HTTP/1.0\r\n\r\n"), "1 MiB line")
            self.assert_400(emulator.exchange(b"GET / HTTP/1.0\r\n" + b"X-A: b\r\n" * 200 + b"\r\n"), "200 headers")
            self.assert_400(emulator.exchange(b"POST /cgi-bin/start HTTP/1.0\r\n\r\nlogin=alice"), "no length")
            big = b"POST /cgi-bin/start HTTP/1.0\r\nContent-Length: %d\r\n\r\n" % (1 << 20)
            self.assert_400(emulator.exchange(big + b"x" * (1 << 20)), "1 MiB body")
            cut = login_request()[:-5]
            self.assert_400(emulator.exchange(cut, shut_write=True), "body cut short, sending side shut")
            self.assert_400(emulator.exchange(b"GET / HTTP/1.0\r\nHost: x", shut_write=True), "header cut short")
            self.assertEqual(emulator.exchange(b"", shut_write=True), b"", "nothing said, nothing answered")
            self.abandon(emulator, cut)
            self.abandon(emulator, b"GET /" + b"z" * 5000)
            login_and_logout(emulator)
            self.assertEqual(settled(emulator, baseline), baseline)
            log = emulator.log()
        self.assertIn("- - 400 (", log)
        self.assertNotIn("webmail: connection dropped", log)

    @staticmethod
    def abandon(emulator, request):
        """Sends part of a request and goes away with a reset."""
        s = socket.create_connection(("127.0.0.1", emulator.port))
        s.sendall(request)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
        s.close()

    def test_idle_client_and_slow_reader_do_not_hold_up_others(self):
        with Emulator("--huge-mailbox") as emulator:
            idle = socket.create_connection(("127.0.0.1", emulator.port))
            idle.sendall(b"GET / HTTP/1.0\r\n")  # never finishes its request
            slow = socket.create_connection(("127.0.0.1", emulator.port))
            slow.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 256 << 10)
            slow.sendall(login_request())  # 4 MiB that it does not read yet
            login_and_logout(emulator)
            answer = read_to_end(slow)
            self.assertGreater(len(answer), 4 << 20)
            self.assertTrue(answer.endswith(b"</html>\r\n"))
            idle.close()
            slow.close()


class Signals(unittest.TestCase):
    def test_sigint_and_sigterm_end_it_cleanly_with_clients_connected(self):
        for sig in (signal.SIGINT, signal.SIGTERM):
            emulator = Emulator()
            client = socket.create_connection(("127.0.0.1", emulator.port))
            client.sendall(b"GET / HTTP/1.0\r\n")
            self.assertEqual(emulator.stop(sig), 0)
            self.assertIn("webmail: stopped by signal %d" % sig, emulator.log())
            client.settimeout(5)
            try:
                self.assertEqual(client.recv(1), b"", "its connection ended")
            except ConnectionResetError:
                pass  # the half request it had sent was still unread
            client.close()


if __name__ == "__main__":
    unittest.main()
