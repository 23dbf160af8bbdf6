#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Each fault mode of the webmail emulator as curl sees it. Endless answers are only ever
counted, never stored."""
import subprocess
import time
import unittest

from webmail_process import LOGIN_SERVER, Emulator, login_request
from webmail_service_test import CLEAN_ENV, LOGIN_FORM

URL = LOGIN_SERVER + "/cgi-bin/start"


def curl_login(emulator, *args):
    """curl's exit code, its output with the header lines, and the seconds it took."""
    start = time.monotonic()
    run = subprocess.run(["curl", "-s", "-i", "--max-time", "10", "-x", emulator.proxy, "--data", LOGIN_FORM, *args,
                          URL], capture_output=True, env=CLEAN_ENV, timeout=30)
    return run.returncode, run.stdout, time.monotonic() - start


def head_and_body(output):
    head, _, body = output.partition(b"\r\n\r\n")
    return head + b"\r\n", body


class Timing(unittest.TestCase):
    def test_delay_before_the_answer(self):
        with Emulator("--delay-ms", "300") as emulator:
            code, output, seconds = curl_login(emulator)
        self.assertEqual(code, 0)
        self.assertGreaterEqual(seconds, 0.29)
        self.assertIn(b"Mailbox</title>", output)

    def test_drip_keeps_to_its_rate_and_delivers_everything(self):
        with Emulator("--drip-bytes-per-sec", "8000") as emulator:
            code, output, seconds = curl_login(emulator)
        self.assertEqual(code, 0)
        self.assertTrue(output.endswith(b"</html>\r\n"))
        self.assertGreaterEqual(seconds, len(output) / 8000 - 0.1)


class BrokenAnswers(unittest.TestCase):
    def test_close_in_the_header_or_the_body(self):
        with Emulator() as emulator:
            full = emulator.exchange(login_request())
        head_length = full.index(b"\r\n\r\n") + 4
        for cut in (head_length // 2, head_length + 100):
            with Emulator("--close-after-bytes", str(cut)) as emulator:
                self.assertEqual(emulator.exchange(login_request()), full[:cut], "exactly %d bytes, then a close" % cut)
                code, output, _ = curl_login(emulator)
                self.assertTrue(full.startswith(output), cut)
                if cut > head_length:
                    self.assertEqual(code, 18, "curl: transfer closed with bytes remaining")

    def test_fixed_status(self):
        with Emulator("--status", "500") as emulator:
            code, output, _ = curl_login(emulator, "-f")
        self.assertEqual(code, 22)
        self.assertTrue(output.startswith(b"HTTP/1.0 500 Internal Server Error\r\n"))

    def test_chain_of_redirects(self):
        with Emulator("--redirects", "3") as emulator:
            code, output, _ = curl_login(emulator, "-L", "--post302")
            log = emulator.log()
        self.assertEqual(code, 0)
        self.assertEqual(output.count(b"HTTP/1.0 302 Found\r\n"), 3)
        self.assertIn(b"Location: http://192.0.2.10/redirect/3/cgi-bin/start\r\n", output)
        self.assertIn(b"Mailbox</title>", output)
        self.assertIn("POST http://192.0.2.10/redirect/3/cgi-bin/start 200", log)

    def test_endless_body_and_huge_mailbox(self):
        with Emulator("--endless-body") as emulator:
            run = subprocess.run(["curl", "-s", "--max-time", "0.5", "-o", "/dev/null", "-w", "%{size_download}",
                                  "-x", emulator.proxy, "--data", LOGIN_FORM, URL],
                                 capture_output=True, env=CLEAN_ENV, timeout=30)
        self.assertEqual(run.returncode, 28, "still running when curl gave up")
        self.assertGreater(int(run.stdout), 1_000_000)
        with Emulator("--huge-mailbox") as emulator:
            code, output, _ = curl_login(emulator)
        head, body = head_and_body(output)
        self.assertEqual(code, 0)
        self.assertGreater(len(body), 4 * 1024 * 1024, "beyond the page text's capacity")
        self.assertIn(b"Content-Length: %d\r\n" % len(body), head)
        self.assertIn(b"Mailbox</title>", body)

    def test_never_answering(self):
        with Emulator("--never-answer") as emulator:
            run = subprocess.run(["curl", "-s", "--max-time", "0.5", "-x", emulator.proxy, "--data", LOGIN_FORM, URL],
                                 capture_output=True, env=CLEAN_ENV, timeout=30)
            log = emulator.log()
        self.assertEqual((run.returncode, run.stdout), (28, b""))
        self.assertIn("POST http://192.0.2.10/cgi-bin/start never answered", log)


if __name__ == "__main__":
    unittest.main()
