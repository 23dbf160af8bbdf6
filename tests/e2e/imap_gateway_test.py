#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The webmail program as an IMAP gateway in front of a real Dovecot on 127.0.0.1, driven by
curl through its proxy form and read back with the page checker, as the notifier reads it.
What the gateway did is checked on the server over IMAP."""
import datetime
import json
import os
import re
import socket
import subprocess
import tempfile
import time
import unittest

from dovecot_peer import PASSWORD, Dovecot
from webmail_process import (LOGIN_SERVER, SCANPAGE, Emulator, body_of, get_request, login_request, session_url,
                             status_of)

CLEAN_ENV = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
PASSWORD_VARIABLE = "VEXMIRA_TEST_IMAP_PASSWORD"
LOCAL_LOGIN, LOCAL_PASSWORD = "carol", "local-pass"
BOUNDARY = "b0und4ry"


def message(headers, body):
    return ("\r\n".join(headers) + "\r\n\r\n" + body).encode("latin-1")


ENCODED_SUBJECTS = message(
    ["From: =?ISO-8859-1?Q?J=F6rg_M=FCller?= <joerg@example.org>",
     "Subject: =?ISO-8859-1?Q?Gr=FC=DFe_aus_K=F6ln?= =?UTF-8?B?4oKsIDUgfCA8b2s+IOKYgw==?=",
     "Date: Sat, 7 Dec 2024 10:05:00 +0100",
     "MIME-Version: 1.0",
     "Content-Type: multipart/alternative; boundary=" + BOUNDARY],
    "--%s\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
    "Hallo Carol,\r\nviele Gr=C3=BC=C3=9Fe </pre></div> und =E2=82=AC\x01?\r\n\r\n--%s\r\nContent-Type: text/html\r\n\r\n"
    "<p>not this one</p>\r\n--%s--\r\n" % (BOUNDARY, BOUNDARY, BOUNDARY))
ADDRESS_ONLY = message(["From: bob@example.org", "Subject: 42", "Date: Mon, 9 Dec 2024 08:00:00 +0000"], "Hi\r\n")
HTML_ONLY = message(
    ["From: \"News | Letter\" <news@example.org>", "Subject: =?UTF-8?Q?Caf=C3=A9_news?=",
     "Date: Tue, 10 Dec 2024 12:30:00 -0500", "MIME-Version: 1.0", "Content-Type: text/html; charset=utf-8"],
    "<html><head><style>p {color: red}</style></head><body><p>Caf&eacute; &amp; more</p>"
    "<p>Line&nbsp;two<br>and &#x20AC;3 &#147;&laquo;</p><script>alert(1)</script></body></html>\r\n")
ATTACHMENT = message(
    ["From: Dana <dana@example.org>", "Subject: Photos", "Date: Wed, 11 Dec 2024 09:00:00 +0000",
     "MIME-Version: 1.0", "Content-Type: multipart/mixed; boundary=" + BOUNDARY],
    "--%s\r\nContent-Type: text/plain\r\n\r\nSee attached.\r\n--%s\r\nContent-Type: application/octet-stream\r\n"
    "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=big.bin\r\n\r\n%s\r\n--%s--\r\n"
    % (BOUNDARY, BOUNDARY, ("QUJDREVGR0hJSktMTU5PUFFSU1RVVldY" * 2 + "\r\n") * 6000, BOUNDARY))
ALREADY_READ = message(["From: Old <old@example.org>", "Subject: read already"], "old\r\n")


def curl(*args):
    run = subprocess.run(["curl", "-s", "-S", "-i", "--max-time", "30", *args], capture_output=True, env=CLEAN_ENV,
                         timeout=60)
    if run.returncode != 0:
        raise AssertionError("curl %s failed: %s" % (args, run.stderr.decode()))
    head, _, body = run.stdout.partition(b"\r\n\r\n")
    return int(head.split(b" ", 2)[1]), body


def scan(page):
    """What the notifier's scan reads from `page`, with headers on."""
    with tempfile.NamedTemporaryFile(suffix=".html") as f:
        f.write(page)
        f.flush()
        run = subprocess.run([SCANPAGE, f.name, "--headers"], capture_output=True, check=True)
    return json.loads(run.stdout)


def between(page, start, end):
    return page[page.index(start) + len(start):page.index(end)]


class Gateway:
    """A gateway file for one account and the webmail program reading it."""

    def __init__(self, server, user, *options, settings=None, mode=0o600):
        self.file = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False)
        values = {"password": LOCAL_PASSWORD, "imap": server, "user": user, "password-env": PASSWORD_VARIABLE}
        values.update(settings or {})
        self.file.write("# test gateway\n[%s]\n" % LOCAL_LOGIN)
        self.file.write("".join("%s = %s\n" % item for item in values.items() if item[1] is not None))
        self.file.close()
        os.chmod(self.file.name, mode)
        self.emulator = Emulator("--imap-gateway", self.file.name, *options)
        self.proxy = self.emulator.proxy

    def close(self):
        try:
            self.emulator.__exit__(None)
        finally:
            os.remove(self.file.name)

    def login(self, password=LOCAL_PASSWORD):
        form = "login=%s&passwd=%s&enter=Enter&frames=no&curmbox=ACTIVE&js=no" % (LOCAL_LOGIN, password)
        return curl("-x", self.proxy, "--data", form, LOGIN_SERVER + "/cgi-bin/start")

    def get(self, url):
        return curl("-x", self.proxy, url)


class ImapGateway(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.environ[PASSWORD_VARIABLE] = PASSWORD
        cls.dovecot = Dovecot()

    @classmethod
    def tearDownClass(cls):
        cls.dovecot.close()

    def setUp(self):
        self.user = self.dovecot.add_user()  # a Maildir of its own
        self.gateways = []

    def tearDown(self):
        for gateway in self.gateways:
            gateway.close()

    def gateway(self, *options, server=None, **kw):
        settings = kw.pop("settings", {})
        settings.setdefault("ca-file", self.dovecot.cert)
        g = Gateway(server or self.dovecot.url(), self.user, *options, settings=settings, **kw)
        self.gateways.append(g)
        return g

    def fill(self):
        uids = {}
        uids["read"] = self.dovecot.append(self.user, ALREADY_READ, seen=True)
        for name, text in (("encoded", ENCODED_SUBJECTS), ("address", ADDRESS_ONLY), ("html", HTML_ONLY),
                           ("attachment", ATTACHMENT)):
            uids[name] = self.dovecot.append(self.user, text)
        return uids

    def message_id(self, uid):
        return "U%d-%d" % (self.dovecot.uid_validity(self.user), uid)

    def test_unseen_messages_listed_exactly_newest_first(self):
        uids = self.fill()
        size = int(re.search(r"RFC822\.SIZE (\d+)",
                             self.dovecot.command(self.user, "UID FETCH %d RFC822.SIZE" % uids["attachment"])).group(1))
        self.assertGreater(size, 300 * 1024)
        status, page = self.gateway().login()
        self.assertEqual(status, 200)
        self.assertIn(b"4 new</font>", page)
        result = scan(page)
        rows = [(r["name"], r["sender"], r["date"], r["subject"], r["size"]) for r in result["rows"]]
        self.assertEqual(rows, [
            (self.message_id(uids["attachment"]), "Dana", "Dec 11 2024 09:00", "Photos", "%dk" % -(-size // 1024)),
            (self.message_id(uids["html"]), "News / Letter", "Dec 10 2024 12:30", "Caf\xe9 news", "1k"),
            (self.message_id(uids["address"]), "bob@example.org", "Dec 9 2024 08:00", "42 ", "1k"),
            (self.message_id(uids["encoded"]), "J\xf6rg M\xfcller", "Dec 7 2024 10:05",
             "Gr\xfc\xdfe aus K\xf6lnEUR 5 / (ok) ?", "1k"),
        ])
        self.assertTrue(result["sessionUrl"].startswith("http://192.0.2.20/cgi-bin/logout?sid="))
        self.assertEqual(self.dovecot.unseen_uids(self.user), sorted(uids[k] for k in uids if k != "read"))

    def test_preview_shows_decoded_text_and_leaves_the_message_unseen(self):
        uids = self.fill()
        gateway = self.gateway()
        _, page = gateway.login()
        links = {r["name"]: r["link"] for r in scan(page)["rows"]}

        status, text = gateway.get(LOGIN_SERVER + links[self.message_id(uids["encoded"])])
        self.assertEqual(status, 200)
        self.assertEqual(between(text, b"<div><pre>", b"</pre></div>"),
                         b"\r\nHallo Carol,\r\nviele Gr\xfc\xdfe </pre> </div> und EUR?\r\n")
        _, text = gateway.get(LOGIN_SERVER + links[self.message_id(uids["html"])])
        self.assertEqual(between(text, b"<div><pre>", b"</pre></div>"), b"\r\nCaf\xe9 & more\r\n\r\nLine two\r\nand EUR3 ?\xab\r\n")
        _, text = gateway.get(LOGIN_SERVER + links[self.message_id(uids["attachment"])])
        self.assertEqual(between(text, b"<div><pre>", b"</pre></div>"), b"\r\nSee attached.\r\n")
        self.assertEqual(self.dovecot.unseen_uids(self.user), sorted(uids[k] for k in uids if k != "read"))

        missing = links[self.message_id(uids["html"])].rsplit("-", 1)[0] + "-%d" % (max(uids.values()) + 1)
        self.assertEqual(gateway.get(LOGIN_SERVER + missing)[0], 404)

    def test_delete_removes_exactly_the_checked_messages_on_the_server(self):
        uids = self.fill()
        gateway = self.gateway()
        _, page = gateway.login()
        sid = re.search(rb'name="sid" value="([^"]+)"', page).group(1).decode()
        query = "curmbox=ACTIVE&sid=%s&%s=TRUE&%s=TRUE&%s=FALSE&U1-%d=TRUE&Delete.x=Delete" % (
            sid, self.message_id(uids["address"]), self.message_id(uids["attachment"]),
            self.message_id(uids["html"]), uids["read"])
        status, page = gateway.get(LOGIN_SERVER + "/cgi-bin/HoTMaiL?" + query)
        self.assertEqual(status, 200)
        self.assertEqual([r["name"] for r in scan(page)["rows"]],
                         [self.message_id(uids["html"]), self.message_id(uids["encoded"])])
        self.assertEqual(self.dovecot.all_uids(self.user), sorted([uids["read"], uids["html"], uids["encoded"]]),
                         "a stale id (another UIDVALIDITY) deletes nothing")
        status, _ = gateway.get(session_url(page))
        self.assertEqual(status, 200)

    def test_wrong_local_and_wrong_imap_password(self):
        self.fill()
        gateway = self.gateway()
        status, page = gateway.login("not-it")
        self.assertEqual(status, 200)
        self.assertIn(b"We're", page)

        os.environ[PASSWORD_VARIABLE] = "wrong-imap-password"
        try:
            refused = self.gateway()
        finally:
            os.environ[PASSWORD_VARIABLE] = PASSWORD
        status, page = refused.login()
        self.assertEqual(status, 502)  # the notifier reports a failed check; a person reads why
        self.assertIn(b"refused the login", page)
        self.assertNotIn(b"We're", page)
        self.assertIn(b"We're", refused.login("not-it")[1], "the gateway goes on serving")
        log = refused.emulator.log()
        self.assertIn("POST http://192.0.2.10/cgi-bin/start 502 (%s as %s: the server refused the login)"
                      % (self.dovecot.url(), self.user), log)
        self.assertNotIn("wrong-imap-password", log)
        self.assertNotIn(PASSWORD, log)

    def test_server_stopped_in_the_middle_of_a_check_and_back(self):
        self.fill()
        gateway = self.gateway()
        _, page = gateway.login()
        link = scan(page)["rows"][0]["link"]
        self.dovecot.stop()
        try:
            started = time.monotonic()
            status, text = gateway.get(LOGIN_SERVER + link)
            self.assertEqual(status, 502)
            self.assertIn(b"The mailbox cannot be read", text)
            self.assertLess(time.monotonic() - started, 10)
        finally:
            self.dovecot.start()
        status, text = gateway.get(LOGIN_SERVER + link)  # the same session connects again
        self.assertEqual(status, 200)
        self.assertIn(b"Photos", text)
        self.assertEqual(gateway.login()[0], 200)
        self.assertRegex(gateway.emulator.log(), r"GET http://192\.0\.2\.10/cgi-bin/getmsg\S* 502 \(imaps://")

    def test_silent_server_times_out_and_the_gateway_keeps_serving(self):
        with socket.socket() as silent:
            silent.bind(("127.0.0.1", 0))
            silent.listen()
            port = silent.getsockname()[1]
            gateway = self.gateway(server="imaps://127.0.0.1:%d" % port, settings={"timeout": "1"})
            started = time.monotonic()
            status, page = gateway.login()
            self.assertLess(time.monotonic() - started, 5)
        self.assertEqual(status, 502)
        self.assertIn(b"no answer within 1 seconds", page)
        status, page = gateway.login("bad")
        self.assertIn(b"We're", page)

    def test_tls_is_verified_and_starttls_and_plaintext_are_chosen(self):
        self.fill()
        other = tempfile.mkdtemp()
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-keyout",
                        other + "/k.pem", "-out", other + "/c.pem", "-subj", "/CN=127.0.0.1", "-addext",
                        "subjectAltName=IP:127.0.0.1"], check=True, capture_output=True)
        status, page = self.gateway(settings={"ca-file": other + "/c.pem"}).login()
        self.assertEqual(status, 502)
        self.assertIn(b"certificate", page)

        def logins_of(settings):
            before = len(self.dovecot.log())
            self.assertEqual(self.gateway(server=self.dovecot.url(tls=False), settings=settings).login()[0], 200)
            return [l for l in self.dovecot.log()[before:].splitlines() if "Login: user=<%s>" % self.user in l]

        starttls = logins_of({})
        self.assertTrue(starttls and all(", TLS," in l for l in starttls), "imap:// uses STARTTLS: %s" % starttls)
        plain = logins_of({"plaintext": "yes"})
        self.assertTrue(plain and not any("TLS" in l for l in plain), plain)

    def test_a_gateway_file_others_can_read_is_refused(self):
        with self.assertRaises(RuntimeError) as refused:
            self.gateway(mode=0o644)
        self.assertIn("others can read or change it", str(refused.exception))

    def test_password_from_a_command_and_from_an_owner_only_file(self):
        self.fill()
        status, page = self.gateway(settings={"password-env": None, "password-command": "echo " + PASSWORD}).login()
        self.assertEqual(status, 200)
        with tempfile.NamedTemporaryFile("w", delete=False) as f:
            f.write(PASSWORD + "\n")
        try:
            os.chmod(f.name, 0o640)
            gateway = self.gateway(settings={"password-env": None, "password-file": f.name})
            status, page = gateway.login()
            self.assertEqual(status, 502)
            self.assertIn(b"others can read or change it", page)
            os.chmod(f.name, 0o600)
            self.assertEqual(gateway.login()[0], 200)
        finally:
            os.remove(f.name)

    def test_one_connection_is_kept_across_checks_until_idle(self):
        self.fill()
        before = len(self.dovecot.log())
        gateway = self.gateway("--imap-idle-seconds", "2")
        _, page = gateway.login()
        self.assertEqual(self.dovecot.connections(), 1)
        gateway.get(session_url(page))
        self.assertEqual(self.dovecot.connections(), 1, "the notifier's logout leaves the account's connection")
        self.assertEqual(gateway.login()[0], 200)
        self.assertEqual(self.dovecot.connections(), 1)
        deadline = time.monotonic() + 10
        while self.dovecot.connections() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.dovecot.connections(), 0)
        self.assertEqual(self.dovecot.log()[before:].count("Login: user=<%s>" % self.user), 1,
                         "two checks in a row, one login")

    def test_the_certificate_must_name_the_host_as_configured(self):
        expected = {"localhost": {"localhost": 200, "127.0.0.1": 502},
                    "127.0.0.1": {"127.0.0.1": 200, "localhost": 502},
                    "wrong.example": {"localhost": 502, "127.0.0.1": 502}}
        try:
            for name, hosts in expected.items():
                self.dovecot.use_certificate(name)
                for host, status in hosts.items():
                    with self.subTest(certificate=name, imap=host):
                        answer, page = self.gateway(server=self.dovecot.url(host=host)).login()
                        self.assertEqual(answer, status, page)
                        if status == 502:
                            self.assertIn(b"the server's certificate is not trusted: ", page)
        finally:
            self.dovecot.use_certificate("127.0.0.1")

    def test_raw_utf8_headers_and_a_missing_date(self):
        raw = self.dovecot.append(self.user, "From: J\u00f6rg M\u00fcller <joerg@example.org>\r\nSubject: Caf\u00e9 "
                                  "M\u00fcller\r\nDate: Sat, 7 Dec 2024 10:05:00 +0000\r\n\r\nHallo\r\n".encode())
        undated = self.dovecot.append(self.user, message(["From: Undated <u@example.org>", "Subject: when"], "?\r\n"))
        arrived = datetime.datetime.strptime(re.search(r'INTERNALDATE "([^"]+)"', self.dovecot.command(
            self.user, "UID FETCH %d INTERNALDATE" % undated)).group(1), "%d-%b-%Y %H:%M:%S %z")
        status, page = self.gateway().login()
        self.assertEqual(status, 200)
        self.assertEqual([(r["name"], r["sender"], r["date"], r["subject"]) for r in scan(page)["rows"]], [
            (self.message_id(undated), "Undated", arrived.strftime("%b ") + "%d %d " % (arrived.day, arrived.year)
             + arrived.strftime("%H:%M"), "when"),
            (self.message_id(raw), "J\xf6rg M\xfcller", "Dec 7 2024 10:05", "Caf\xe9 M\xfcller")])

    def test_delete_leaves_what_another_client_flagged_deleted(self):
        uids = self.fill()
        self.dovecot.command(self.user, "UID STORE %d +FLAGS (\\Deleted)" % uids["html"])
        gateway = self.gateway()
        _, page = gateway.login()
        self.assertNotIn(self.message_id(uids["html"]), [r["name"] for r in scan(page)["rows"]], "flagged: not new mail")
        sid = re.search(rb'name="sid" value="([^"]+)"', page).group(1).decode()
        status, _ = gateway.get(LOGIN_SERVER + "/cgi-bin/HoTMaiL?curmbox=ACTIVE&sid=%s&%s=TRUE&Delete.x=Delete"
                                % (sid, self.message_id(uids["address"])))
        self.assertEqual(status, 200)
        self.assertEqual(self.dovecot.all_uids(self.user), sorted(v for k, v in uids.items() if k != "address"))

    def test_two_hundred_check_cycles_leave_nothing_behind(self):
        self.fill()
        gateway = self.gateway().emulator

        def cycle():
            answer = gateway.exchange(login_request(LOCAL_LOGIN, LOCAL_PASSWORD))
            self.assertEqual(status_of(answer), 200)
            self.assertIn(b"4 new</font>", answer)
            self.assertEqual(status_of(gateway.exchange(get_request(session_url(body_of(answer))))), 200)

        for _ in range(20):
            cycle()
        descriptors, resident = gateway.descriptors(), gateway.resident_kib()
        for _ in range(180):
            cycle()
        self.assertLessEqual(self.dovecot.connections(), 1, "the account's one kept connection at most")
        self.assertLessEqual(gateway.descriptors(), descriptors)
        self.assertLess(gateway.resident_kib(), resident + 2048)


if __name__ == "__main__":
    unittest.main()
