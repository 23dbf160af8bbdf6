#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The IMAP gateway against a scripted IMAP server on 127.0.0.1 that is huge, slow, stalled or
hostile: bounded time and memory per request, accounts that do not hold each other back, one
kept connection per account, and what the gateway says on the wire."""
import os
import re
import signal
import socket
import tempfile
import threading
import time
import unittest

from dovecot_peer import free_port
from hostile_imap import HostileImap
from imap_gateway_test import scan
from webmail_process import LOGIN_SERVER, Emulator, body_of, get_request, login_request, session_url, status_of

PASSWORD_VARIABLE = "VEXMIRA_TEST_IMAP_PASSWORD"
LOCAL_PASSWORD = "local-pass"


def peak_kib(emulator):
    with open("/proc/%d/status" % emulator.process.pid) as f:
        return int(re.search(r"VmHWM:\s+(\d+) kB", f.read()).group(1))


def eventually(condition, seconds=8):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()


class HostileServers(unittest.TestCase):
    def setUp(self):
        os.environ[PASSWORD_VARIABLE] = "imap-secret"

    def server(self, **scenario):
        server = HostileImap(**scenario)
        self.addCleanup(server.close)
        return server

    def gateway(self, *servers, options=(), timeout=None):
        """A gateway whose accounts a0, a1, ... read the servers (or imap:// URLs) as user0, user1, ..."""
        with tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False) as f:
            for n, server in enumerate(servers):
                f.write("[a%d]\npassword = %s\nimap = %s\nuser = user%d\npassword-env = %s\n" % (
                    n, LOCAL_PASSWORD, getattr(server, "url", server), n, PASSWORD_VARIABLE))
                f.write("timeout = %d\n" % timeout if timeout else "")
        self.addCleanup(os.remove, f.name)
        os.chmod(f.name, 0o600)
        emulator = Emulator("--imap-gateway", f.name, *options)
        self.addCleanup(lambda: emulator.process.poll() is None and emulator.stop(signal.SIGKILL))
        return emulator

    def check(self, emulator, account="a0", password=LOCAL_PASSWORD, timeout=30):
        """One check of the notifier: (status, page, seconds)."""
        started = time.monotonic()
        answer = emulator.exchange(login_request(account, password), timeout=timeout)
        return status_of(answer), body_of(answer), time.monotonic() - started

    def test_only_unseen_messages_are_asked_for_and_at_most_two_thousand_listed(self):
        small = self.server(exists=200000, unseen=(5, 150000, 200000))
        flood = self.server(exists=12000, unseen=range(1, 12001))
        gateway = self.gateway(small, flood, timeout=10)
        try:
            status, page, seconds = self.check(gateway, timeout=15)
        finally:
            self.assertEqual(small.received(r"(UID )?FETCH \S*\*"), [], "no FETCH over the whole mailbox")
        self.assertEqual(status, 200)
        self.assertLess(seconds, 2)
        self.assertIn(b"3 new</font>", page)
        self.assertEqual([r["name"] for r in scan(page)["rows"]], ["U7-200000", "U7-150000", "U7-5"])

        status, page, _ = self.check(gateway, "a1")
        self.assertEqual(status, 200)
        self.assertLess(len(page), 4 << 20)
        self.assertIn(b"12000 new</font>", page)
        self.assertEqual([r["name"] for r in scan(page)["rows"]], ["U7-%d" % u for u in range(12000, 10000, -1)])

    def test_a_flood_from_the_server_stays_within_bounded_memory(self):
        literal = self.server(exists=10, unseen=(3, 5, 9), literal=100 << 20)
        counts = self.server(exists=10, unseen=(3, 5, 9),
                             extra={name: ["* 1000000000 EXISTS"] for name in ("SELECT", "UID SEARCH", "NOOP")})
        tiny = self.server(exists=10, unseen=[1] * 950000)  # a search answer of 1.9 MB in tiny items
        chatty = self.server(exists=10, unseen=(3,), extra={"UID FETCH": ["* 1 FETCH (UID 1)"] * 200000})
        gateway = self.gateway(literal, counts, tiny, chatty, timeout=10)
        idle = gateway.resident_kib()

        for account in ("a0", "a2", "a3"):
            try:
                status, page, _ = self.check(gateway, account, timeout=15)
            finally:
                self.assertLess(peak_kib(gateway), idle + 64 * 1024, account)
            self.assertEqual(status, 502)
            self.assertRegex(page, rb"the server's answer is larger than the gateway accepts \(\d+ MiB\)")
        status, page, _ = self.check(gateway, "a1")
        self.assertIn(status, (200, 502))
        self.assertLess(peak_kib(gateway), idle + 64 * 1024)

        literal.literal, counts.extra = 0, {}
        for account in ("a0", "a1"):
            status, page, _ = self.check(gateway, account)
            self.assertEqual(status, 200, page)
            self.assertIn(b"3 new</font>", page)

    def test_a_stalled_account_holds_back_nobody(self):
        gateway = self.gateway(self.server(stall="SELECT"), self.server(stall="GREETING"), self.server(),
                               timeout=2)
        results = {}

        def check(key, account):
            results[key] = self.check(gateway, account, timeout=15)

        threads = [threading.Thread(target=check, args=(key, account))
                   for key, account in (("a0-1", "a0"), ("a0-2", "a0"), ("a0-3", "a0"), ("a1", "a1"))]
        for thread in threads:
            thread.start()
        time.sleep(0.3)
        status, page, seconds = self.check(gateway, "a2")
        self.assertEqual(status, 200)
        self.assertLess(seconds, 1, "a healthy account answers while two others are stalled")
        status, page, seconds = self.check(gateway, "a0", "wrong")
        self.assertIn(b"We're", page)
        self.assertLess(seconds, 0.5)
        for thread in threads:
            thread.join(20)
        for key, (status, page, seconds) in results.items():
            self.assertEqual(status, 502, key)
            self.assertIn(b"no answer within 2 seconds", page, key)
            self.assertTrue(1.5 < seconds < 3.5, "%s answered after %.1f s" % (key, seconds))
        self.assertEqual(len(results), 4)

    def test_one_kept_connection_per_account_and_deletion_by_uid(self):
        uidplus = self.server(exists=10, unseen=(3, 5, 9))
        plain = self.server(exists=10, unseen=(3, 5, 9), capabilities=("IMAP4rev1",))
        gateway = self.gateway(uidplus, plain, options=("--imap-idle-seconds", "60"))
        for server, account in ((uidplus, "a0"), (plain, "a1")):
            _, page, _ = self.check(gateway, account)
            self.assertEqual(status_of(gateway.exchange(get_request(session_url(page)))), 200)
            _, page, _ = self.check(gateway, account)
            self.assertEqual((server.connections, server.logins), (1, 1), "two checks, one connection and login")
            self.assertEqual(server.received("LOGOUT"), [])
            sid = re.search(rb'name="sid" value="([^"]+)"', page).group(1).decode()
            answer = gateway.exchange(get_request(
                LOGIN_SERVER + "/cgi-bin/HoTMaiL?curmbox=ACTIVE&sid=%s&U7-5=TRUE&Delete.x=Delete" % sid))
            self.assertEqual(status_of(answer), 200)
            self.assertEqual(server.received("UID STORE"), ["UID STORE 5 +FLAGS.SILENT (\\Deleted)"])
        self.assertEqual(uidplus.received("UID EXPUNGE"), ["UID EXPUNGE 5"])
        self.assertEqual(uidplus.received("EXPUNGE"), [], "another client's \\Deleted messages stay")
        self.assertEqual((plain.received("UID EXPUNGE"), plain.received("EXPUNGE$")), ([], ["EXPUNGE"]))

        self.assertEqual(gateway.stop(), 0)
        for server in (uidplus, plain):
            self.assertTrue(eventually(lambda: server.received("LOGOUT") and not server.open, 5),
                            "the gateway logs out when it ends: %s" % server.commands)

    def test_a_connection_left_by_a_client_that_gave_up_is_logged_out_when_idle(self):
        server = self.server(delay={"UID SEARCH": 2})
        gateway = self.gateway(server, options=("--imap-idle-seconds", "1"))
        with socket.create_connection(("127.0.0.1", gateway.port), timeout=5) as client:
            client.sendall(login_request("a0", LOCAL_PASSWORD))
            time.sleep(0.5)
        self.assertTrue(eventually(lambda: server.received("UID SEARCH"), 5))
        self.assertEqual(server.received("LOGOUT"), [])
        self.assertTrue(eventually(lambda: server.received("LOGOUT") and not server.open),
                        "logged out after the idle limit: %s" % server.commands)
        self.assertEqual(server.logins, 1)

    def test_a_refused_connection_is_named(self):
        url = "imap://127.0.0.1:%d" % free_port()
        gateway = self.gateway(url)
        status, page, _ = self.check(gateway)
        self.assertEqual(status, 502)
        self.assertIn(b"The mailbox cannot be read: %s as user0: the server refused the connection" % url.encode(),
                      page)
        self.assertIn("POST http://192.0.2.10/cgi-bin/start 502 (%s as user0: the server refused the connection)"
                      % url, gateway.log())


if __name__ == "__main__":
    unittest.main()
