#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs the page checker on the shipped sample pages and on made-up files, and reads its
output with Python's own JSON parser."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

SCANPAGE = sys.argv.pop(1)
SAMPLES = sys.argv.pop(1)


def scan(path, *args):
    run = subprocess.run([SCANPAGE, path, *args], capture_output=True)
    return run.returncode, run.stdout.decode("ascii"), run.stderr.decode()


def senders(result):
    """The sender list as the Messages window shows it: the rows' senders, then the status lines."""
    return [row["sender"] for row in result["rows"]] + result["statusLines"]


class ScanPageTool(unittest.TestCase):
    def test_sample_with_headers_lists_every_row(self):
        code, out, _ = scan(os.path.join(SAMPLES, "mailbox-three-new.html"), "--headers")
        self.assertEqual(code, 0)
        result = json.loads(out)
        self.assertEqual(result["count"], 3)
        self.assertEqual(result["sessionUrl"], "http://192.0.2.20/cgi-bin/logout?sid=S7F3A&curmbox=ACTIVE")
        self.assertEqual([r["name"] for r in result["rows"]], ["MSG1001", "MSG1002", "MSG1003"])
        self.assertEqual(result["rows"][1]["date"], "12/07")
        self.assertEqual(result["rows"][1]["subject"], "Quarterly report")
        self.assertEqual(senders(result), ["Ann Example", "Bob Sample", "Carol Test"])
        self.assertEqual((result["icon"], result["deleteEnabled"], result["status"]), (0, True, "Checking Headers"))

    def test_failure_page_keeps_previous_count_and_no_mail_adds_status_line(self):
        _, out, _ = scan(os.path.join(SAMPLES, "login-failed.html"), "--previous-count", "2")
        result = json.loads(out)
        self.assertEqual((result["count"], result["sessionUrl"], result["icon"]), (2, "", 0))
        self.assertEqual(senders(result), [])
        _, out, _ = scan(os.path.join(SAMPLES, "mailbox-no-new.html"), "--headers", "--previous-count", "5")
        result = json.loads(out)
        self.assertEqual(senders(result), ["No mail for you!"])
        self.assertEqual((result["count"], result["tooltip"], result["previewEnabled"]), (0, "No mail for you!", False))

    def test_page_bytes_survive_as_latin1(self):
        row = ('<tr x="y"><td><img src=""></td><td><input name="M\xe9"></td><td>&nbsp;<a href="/m?\x01">'
               'Jos\xe9 "Q"</a>&nbsp;</td><td>&nbsp;d&nbsp;</td><td>&nbsp;s\\t&nbsp;</td><td>&nbsp;1k&nbsp;</td></tr>\r\n')
        page = "<title>Mailbox</title> Inbox: 1 new</font>" + row
        with tempfile.NamedTemporaryFile(suffix=".html", delete=False) as f:
            f.write(page.encode("latin-1"))
        try:
            _, out, _ = scan(f.name, "--headers")
        finally:
            os.unlink(f.name)
        r = json.loads(out)["rows"][0]
        self.assertEqual((r["name"], r["link"], r["sender"], r["subject"]), ("M\xe9", "/m?\x01", 'Jos\xe9 "Q"', "s\\t"))

    def test_unreadable_and_oversized_files_fail_clearly(self):
        code, out, err = scan("/nonexistent/page.html")
        self.assertEqual((code, out), (1, ""))
        self.assertIn("/nonexistent/page.html", err)
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(b"\n" * (2 * 1024 * 1024 + 1))  # doubles to one character over the capacity
        try:
            code, out, err = scan(f.name)
        finally:
            os.unlink(f.name)
        self.assertEqual((code, out), (1, ""))
        self.assertIn("Text exceeds memo capacity", err)
        code, _, _ = scan("x.html", "--previous-count", "many")
        self.assertEqual(code, 2)


if __name__ == "__main__":
    unittest.main()
