#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The gateway signing in with OAuth 2.0: a test identity provider on https://localhost and a
Dovecot that takes only its tokens (XOAUTH2) on imaps://localhost, both with certificates that
name localhost only. The test plays the user: it enters the device code, or is the browser."""
import os
import re
import ssl
import stat
import subprocess
import tempfile
import time
import unittest
import urllib.request

from dovecot_peer import Dovecot
from identity_provider import IdentityProvider
from imap_gateway_test import scan
from webmail_process import WEBMAIL, Emulator, body_of, login_request, status_of

LOGIN, LOCAL_PASSWORD = "me", "local-pass"


def read(path):
    with open(path) as f:
        return f.read()
SCOPE = "https://outlook.office.com/IMAP.AccessAsUser.All offline_access openid email"
KEYRING_WRAPPER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "settings", "with_private_keyring.sh")


class OAuthGateway(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.provider = IdentityProvider(flavour="microsoft", interval=1)
        cls.dovecot = Dovecot(users=8, oauth=cls.provider)
        cls.trust = tempfile.NamedTemporaryFile("wb", suffix=".pem", delete=False)
        for path in (cls.provider.cert, cls.dovecot.cert):
            with open(path, "rb") as f:
                cls.trust.write(f.read())
        cls.trust.close()

    @classmethod
    def tearDownClass(cls):
        cls.dovecot.close()
        cls.provider.close()
        os.remove(cls.trust.name)

    def setUp(self):
        self.user = self.dovecot.add_user()
        self.state = tempfile.mkdtemp(prefix="state-")
        self.env = {k: v for k, v in os.environ.items() if k != "DBUS_SESSION_BUS_ADDRESS"}
        self.env["XDG_STATE_HOME"] = self.state

    def gateway_file(self, **settings):
        values = {"password": LOCAL_PASSWORD, "user": self.user, "auth": "oauth2",
                  "imap": "imaps://localhost:%d" % self.dovecot.imaps_port, "client-id": self.provider.client_id,
                  "device-endpoint": self.provider.device_url, "token-endpoint": self.provider.token_url,
                  "scope": SCOPE, "ca-file": self.trust.name, "timeout": "10"}
        values.update(settings)
        f = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False)
        f.write("[%s]\n" % LOGIN + "".join("%s = %s\n" % item for item in values.items() if item[1] is not None))
        f.close()
        os.chmod(f.name, 0o600)
        self.addCleanup(os.remove, f.name)
        return f.name

    def run_gateway(self, config, *args, answer=None, timeout=60, command=None):
        """webmail with `args` (or `command`); `answer(line)` sees each line it prints and plays
        the user."""
        process = subprocess.Popen(command or [WEBMAIL, "--imap-gateway", config, *args], stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, env=self.env, text=True)
        output = ""
        deadline = time.monotonic() + timeout
        for line in process.stdout:
            output += line
            if answer:
                answer(line)
            self.assertLess(time.monotonic(), deadline, output)
        process.stdout.close()
        return process.wait(timeout), output

    def approve_as(self, user):
        def answer(line):
            code = re.search(r"enter the code (\S+)", line)
            if code:
                time.sleep(1.5)  # the gateway asks at least once before the user is done
                self.provider.approve(code.group(1), user)
        return answer

    def token_file(self):
        return os.path.join(self.state, "vexmira", "tokens", LOGIN)

    def check(self, gateway):
        answer = gateway.exchange(login_request(LOGIN, LOCAL_PASSWORD), timeout=20)
        return status_of(answer), body_of(answer)

    def slow_then_approve(self, line):
        """The provider asks for more time than it first said, then the user signs in."""
        code = re.search(r"enter the code (\S+)", line)
        if code:
            with self.provider.lock:
                for device in self.provider.devices.values():
                    device["interval"] = 3
            time.sleep(7.5)  # a poll too early (slow_down), then one five seconds later still pending
            self.provider.approve(code.group(1), self.user)

    def test_device_sign_in_then_checks_refresh_rotation_and_revocation(self):
        config = self.gateway_file()
        self.provider.slow_down = 0
        try:
            status, output = self.run_gateway(config, "--authorize", LOGIN, answer=self.slow_then_approve)
        finally:
            self.provider.slow_down = 5
        self.assertEqual(status, 0, output)
        errors = [r["error"] for r in self.provider.calls("token")]
        self.assertEqual(errors.count("slow_down"), 1, "after slow_down the gateway waits five seconds more")
        self.assertIn("authorization_pending", errors, "polled while pending")
        self.assertEqual(self.provider.calls("devicecode", client_secret="<hidden>"), [], "a public client sends no secret")
        mode = os.stat(self.token_file()).st_mode
        self.assertEqual(stat.S_IMODE(mode), 0o600)
        first_refresh = read(self.token_file()).strip()
        self.assertNotIn(first_refresh, read(config))
        for n in (1, 2):
            self.dovecot.append(self.user, b"From: Ann <ann@example.org>\r\nSubject: Token %d\r\n\r\nHi\r\n" % n)

        with Emulator("--imap-gateway", config, "--imap-idle-seconds", "1", env=self.env) as gateway:
            status, page = self.check(gateway)
            self.assertEqual(status, 200, page)
            self.assertEqual([r["subject"] for r in scan(page)["rows"]], ["Token 2", "Token 1"])
            refreshes = len(self.provider.calls("token", grant_type="refresh_token"))
            self.assertEqual(refreshes, 1)
            rotated = read(self.token_file()).strip()
            self.assertNotEqual(rotated, first_refresh, "the rotated refresh token is kept at once")

            self.provider.expire(self.user)  # the access token in the gateway's memory is refused now
            time.sleep(2)  # the kept connection is logged out; the next check logs in again
            status, page = self.check(gateway)
            self.assertEqual(status, 200, page)
            self.assertEqual(len(self.provider.calls("token", grant_type="refresh_token")), refreshes + 1)

            self.provider.revoke(self.user)
            time.sleep(2)
            status, page = self.check(gateway)
            self.assertEqual(status, 502)
            self.assertIn(b"run vexmira-webmail --authorize me", page)
            self.assertIn("[me] must sign in again", gateway.log())
            self.assertIn("run vexmira-webmail --authorize me", gateway.log())
            for secret in (first_refresh, rotated):
                self.assertNotIn(secret, gateway.log())

    def test_the_refresh_token_goes_into_the_desktop_keyring(self):
        config = self.gateway_file()
        self.dovecot.append(self.user, b"From: Kay <kay@example.org>\r\nSubject: Keyring\r\n\r\nHi\r\n")
        script = ('"$0" --imap-gateway "$1" --authorize me && printf "keyring holds %s bytes\\n" '
                  '"$(secret-tool lookup server Vexmira user "gateway refresh token [me]" | wc -c)" && '
                  '"$0" --imap-gateway "$1" --check me')
        status, output = self.run_gateway(config, answer=self.approve_as(self.user), command=[
            KEYRING_WRAPPER, "sh", "-c", script, WEBMAIL, config])
        self.assertEqual(status, 0, output)
        self.assertIn("the refresh token is in the desktop keyring", output)
        self.assertGreater(int(re.search(r"keyring holds (\d+) bytes", output).group(1)), 20)
        self.assertIn(": 1 unseen message", output)
        self.assertFalse(os.path.exists(self.token_file()), "no copy in a file")

    def test_a_sign_in_for_another_mailbox_is_refused(self):
        config = self.gateway_file()
        other = self.dovecot.add_user()
        status, output = self.run_gateway(config, "--authorize", LOGIN, answer=self.approve_as(other))
        self.assertEqual(status, 1)
        self.assertIn("signed in as %s, but [me] is the mailbox of %s" % (other, self.user), output)
        self.assertFalse(os.path.exists(self.token_file()))

    def test_browser_sign_in_with_pkce_and_a_checked_state(self):
        config = self.gateway_file(**{"device-endpoint": None, "authorization-endpoint": self.provider.authorize_url})
        browser = ssl.create_default_context(cafile=self.provider.cert)

        def play_browser(line):
            address = re.search(r"(https://localhost:\d+/authorize\S+)", line)
            if address:
                self.provider.auto_approve = self.user
                opener = urllib.request.build_opener(urllib.request.HTTPSHandler(context=browser))
                opener.open(address.group(1), timeout=10).read()  # follows the redirect to the gateway

        try:
            status, output = self.run_gateway(config, "--authorize", LOGIN, answer=play_browser)
        finally:
            self.provider.auto_approve = None
        self.assertEqual(status, 0, output)
        self.assertTrue(os.path.exists(self.token_file()))

        def wrong_state(line):
            address = re.search(r"redirect_uri=(http%3A%2F%2F127\.0\.0\.1%3A\d+%2F)", line)
            if address:
                redirect = urllib.parse.unquote(address.group(1))
                urllib.request.urlopen(redirect + "?code=forged&state=not-the-one", timeout=10).read()

        exchanged = len(self.provider.calls("token", grant_type="authorization_code"))
        status, output = self.run_gateway(config, "--authorize", LOGIN, answer=wrong_state)
        self.assertEqual(status, 1)
        self.assertIn("different state", output)
        self.assertEqual(len(self.provider.calls("token", grant_type="authorization_code")), exchanged,
                         "a forged answer is never traded for tokens")

    def test_token_command_and_a_provider_that_is_down_or_talks_nonsense(self):
        token = self.provider.issue(self.provider.identity(self.user, None, None), SCOPE)["access_token"]
        with tempfile.NamedTemporaryFile("w", delete=False) as f:
            f.write(token + "\n")
        self.addCleanup(os.remove, f.name)
        self.dovecot.append(self.user, b"From: Bo <bo@example.org>\r\nSubject: By command\r\n\r\nHi\r\n")
        status, output = self.run_gateway(self.gateway_file(**{"token-command": "cat " + f.name}), "--check", LOGIN)
        self.assertEqual((status, output.strip()), (0, "[me] %s at imaps://localhost:%d: 1 unseen message"
                                                    % (self.user, self.dovecot.imaps_port)))

        config = self.gateway_file()
        os.makedirs(os.path.dirname(self.token_file()), mode=0o700)
        with open(os.open(self.token_file(), os.O_WRONLY | os.O_CREAT, 0o600), "w") as kept:
            kept.write("M.some-refresh-token\n")
        self.provider.garbage = "truncated"
        try:
            status, output = self.run_gateway(config, "--check", LOGIN)
        finally:
            self.provider.garbage = None
        self.assertEqual(status, 1)
        self.assertIn("with something that is not JSON", output)
        self.provider.down()
        try:
            status, output = self.run_gateway(config, "--check", LOGIN)
        finally:
            self.provider.up()
        self.assertEqual(status, 1)
        self.assertIn("the identity provider cannot be reached at %s" % self.provider.token_url, output)


if __name__ == "__main__":
    unittest.main()
