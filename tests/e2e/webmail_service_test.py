#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The webmail emulator driven by curl, a client written by others, through its proxy form:
curl talks only to the emulator on 127.0.0.1, the absolute URIs merely name the service. Then
the page checker and our own HTTP client on what it serves."""
import json
import os
import re
import subprocess
import tempfile
import unittest

from webmail_process import HTTPGET, LOGIN_SERVER, MAIL_SERVER, SCANPAGE, Emulator

# curl must never take a proxy from the environment.
CLEAN_ENV = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
LOGIN_FORM = "login=alice&passwd=wonderland&enter=Enter&frames=no&curmbox=ACTIVE&js=no"


def curl(*args):
    """Status, header text and body of one exchange."""
    run = subprocess.run(["curl", "-s", "-S", "-i", "--max-time", "10", *args], capture_output=True,
                         env=CLEAN_ENV, timeout=30)
    if run.returncode != 0:
        raise AssertionError("curl %s failed: %s" % (args, run.stderr.decode()))
    head, _, body = run.stdout.partition(b"\r\n\r\n")
    return int(head.split(b" ", 2)[1]), head.decode("latin-1"), body


def row_names(page):
    return re.findall(rb'<input type="checkbox" name="([^"]+)"', page)


def between(page, start, end):
    return page[page.index(start) + len(start):page.index(end)]


class Service(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.emulator = Emulator()
        cls.proxy = cls.emulator.proxy

    @classmethod
    def tearDownClass(cls):
        assert cls.emulator.stop() == 0

    def login(self, form=LOGIN_FORM):
        return curl("-x", self.proxy, "--data", form, LOGIN_SERVER + "/cgi-bin/start")

    def get(self, url):
        return curl("-x", self.proxy, url)

    def test_login_message_deletion_and_logout(self):
        status, head, page = self.login()
        self.assertEqual(status, 200)
        self.assertTrue(head.startswith("HTTP/1.0 200 OK\r\n"))
        self.assertIn(b"Mailbox</title>", page)
        self.assertIn(b"4 new</font>", page)
        self.assertEqual(row_names(page), [b"MSG1001", b"MSG1002", b"MSG1003", b"MSG1004"])
        sid = re.search(rb'name="sid" value="([^"]+)"', page).group(1).decode()
        logout_url = "%s/cgi-bin/logout?sid=%s&curmbox=ACTIVE" % (MAIL_SERVER, sid)
        self.assertEqual(re.search(rb'href="(http://192\.0\.2\.20/[^"]*)"', page).group(1).decode(), logout_url)

        link = re.search(rb'<a href="(/cgi-bin/getmsg[^"]*msg=MSG1001)"', page).group(1).decode()
        status, _, message = self.get(LOGIN_SERVER + link)
        self.assertEqual(status, 200)
        self.assertEqual(between(message, b"<div><pre>", b"</pre></div>"),
                         b"\r\nHi Alice,\r\n\r\nlunch on Friday at noon, at the usual place?\r\n\r\n  Ann\r\n")

        query = "curmbox=ACTIVE&sid=%s&MSG1002=TRUE&MSG1004=TRUE&MSG1003=FALSE&Delete.x=Delete" % sid
        status, _, page = self.get(LOGIN_SERVER + "/cgi-bin/HoTMaiL?" + query)
        self.assertEqual(status, 200)
        self.assertEqual(row_names(page), [b"MSG1001", b"MSG1003"], "exactly the messages named TRUE go")
        self.assertIn(b"2 new</font>", page)
        self.assertEqual(self.get(LOGIN_SERVER + link.replace("MSG1001", "MSG1002"))[0], 404)

        status, _, page = self.get(logout_url)
        self.assertEqual(status, 200)
        self.assertIn(b"signed out", page)
        _, _, page = self.get(LOGIN_SERVER + "/cgi-bin/HoTMaiL?curmbox=ACTIVE&sid=" + sid)
        self.assertIn(b"Session Expired", page)

        _, _, page = self.login()  # the same account again, deletions kept
        self.assertEqual(row_names(page), [b"MSG1001", b"MSG1003"])
        self.assertNotIn(b"We're", page)
        _, _, page = self.login(LOGIN_FORM.replace("wonderland", "wonderlan"))
        self.assertIn(b"We're", page)

    def test_only_the_two_service_addresses_are_served_as_proxy(self):
        self.assertEqual(self.get("http://198.51.100.7/cgi-bin/start")[0], 502)
        self.assertEqual(self.get("http://192.0.2.10:8080/cgi-bin/start")[0], 502)
        self.assertEqual(self.get(LOGIN_SERVER + "/no/such/page")[0], 404)


class ProxyAuthentication(unittest.TestCase):
    def test_407_without_or_with_wrong_credentials(self):
        with Emulator("--proxy-auth", "joe:s3cret") as emulator:
            url = LOGIN_SERVER + "/cgi-bin/start"
            status, head, _ = curl("-x", emulator.proxy, "--data", LOGIN_FORM, url)
            self.assertEqual(status, 407)
            self.assertRegex(head, r"(?i)\r\nProxy-Authenticate: Basic ")
            self.assertEqual(curl("-x", emulator.proxy, "--proxy-user", "joe:wrong", "--data", LOGIN_FORM, url)[0], 407)
            status, _, page = curl("-x", emulator.proxy, "--proxy-user", "joe:s3cret", "--data", LOGIN_FORM, url)
            self.assertEqual(status, 200)
            self.assertIn(b"Mailbox</title>", page)


class PageChecker(unittest.TestCase):
    """The notifier's scan reads the emulator's mailbox page to exactly the account file's rows."""

    MESSAGES = [
        ("M-1", "Ann Example", "Dec 7", "Lunch on \"Friday\" & more", "2k"),
        ("M.2", "Bob Sample", "12/07", "Quarterly report", "48k"),
        ("m_3", "Zo\xeb Caf\xe9", "31/12", "2024", "1k"),
        ("M4", "Staff", "Mon 9:30", "Re: Re: tickets", "999k"),
    ]

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.accounts = os.path.join(self.dir.name, "accounts.txt")
        lines = ["account dora", "password open sesame"]
        for name, sender, date, subject, size in self.MESSAGES:
            lines += ["message " + name, "from " + sender, "date " + date, "subject " + subject, "size " + size,
                      "body text of " + name]
        with open(self.accounts, "wb") as f:
            f.write("\n".join(lines).encode("latin-1") + b"\n")

    def tearDown(self):
        self.dir.cleanup()

    def scan(self, page):
        path = os.path.join(self.dir.name, "page.html")
        with open(path, "wb") as f:
            f.write(page)
        run = subprocess.run([SCANPAGE, path, "--headers"], capture_output=True, check=True)
        return json.loads(run.stdout)

    def test_rows_count_and_session_url(self):
        with Emulator("--accounts", self.accounts) as emulator:
            _, _, page = curl("-x", emulator.proxy, "--data", "login=dora&passwd=open+sesame",
                              LOGIN_SERVER + "/cgi-bin/start")
        result = self.scan(page)
        sid = re.search(rb'name="sid" value="([^"]+)"', page).group(1).decode()
        self.assertEqual(result["count"], len(self.MESSAGES))
        self.assertEqual(result["sessionUrl"], "%s/cgi-bin/logout?sid=%s&curmbox=ACTIVE" % (MAIL_SERVER, sid))
        expected = [{"name": name, "link": "/cgi-bin/getmsg?sid=%s&curmbox=ACTIVE&msg=%s" % (sid, name),
                     "sender": sender, "date": date, "subject": subject, "size": size}
                    for name, sender, date, subject, size in self.MESSAGES]
        self.assertEqual(result["rows"], expected)


class OurClient(unittest.TestCase):
    """httpget, our HTTP client, through the emulator as proxy: the road of the README's demo."""

    def httpget(self, *args):
        run = subprocess.run([HTTPGET, "--max-time", "10", *args], capture_output=True, timeout=30)
        self.assertEqual(run.returncode, 0, run.stderr)
        return run.stdout

    def test_login_scan_logout(self):
        with tempfile.TemporaryDirectory() as d, Emulator() as emulator:
            form = os.path.join(d, "form")
            with open(form, "w") as f:
                f.write(LOGIN_FORM)
            page = self.httpget("-d", "@" + form, "--proxy", emulator.proxy, LOGIN_SERVER + "/cgi-bin/start")
            path = os.path.join(d, "page.html")
            with open(path, "wb") as f:
                f.write(page)
            result = json.loads(subprocess.run([SCANPAGE, path, "--headers"], capture_output=True, check=True).stdout)
            self.assertEqual(result["count"], 4)
            self.assertIn(b"signed out", self.httpget("--proxy", emulator.proxy, result["sessionUrl"]))
            self.assertIn("GET %s 200" % result["sessionUrl"], emulator.log())


if __name__ == "__main__":
    unittest.main()
