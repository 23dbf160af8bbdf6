#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The OAuth test peers checked from outside with Python alone: the identity provider's flows
over HTTPS as a client sees them, and Dovecot taking XOAUTH2 and OAUTHBEARER logins only with
tokens the provider still honours."""
import base64
import hashlib
import imaplib
import json
import secrets
import ssl
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request

from dovecot_peer import PASSWORD, Dovecot
from identity_provider import DEVICE_GRANT, HIDDEN, REVOKED, IdentityProvider

SCOPE = "https://outlook.office.com/IMAP.AccessAsUser.All offline_access openid email"
REDIRECT = "http://127.0.0.1:53682/callback"
FORM = "application/x-www-form-urlencoded"


class KeepRedirects(urllib.request.HTTPRedirectHandler):
    def redirect_request(self, *args):
        return None


def call(provider, url, fields=None, content_type=FORM):
    """One request, trusting only the provider's certificate, through no proxy: (status, headers, body)."""
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}), KeepRedirects, urllib.request.HTTPSHandler(
        context=ssl.create_default_context(cafile=provider.cert)))
    data = None if fields is None else urllib.parse.urlencode(fields).encode()
    try:
        with opener.open(urllib.request.Request(url, data, {"Content-Type": content_type}), timeout=10) as reply:
            return reply.status, reply.headers, reply.read()
    except urllib.error.HTTPError as e:
        return e.code, e.headers, e.read()


def pkce():
    verifier = secrets.token_urlsafe(48)
    return verifier, base64.urlsafe_b64encode(hashlib.sha256(verifier.encode()).digest()).rstrip(b"=").decode()


class ProviderFlows(unittest.TestCase):
    def setUp(self):
        self.provider = IdentityProvider(slow_down=1)
        self.client = {"client_id": self.provider.client_id}

    def tearDown(self):
        self.provider.close()

    def post(self, url, **fields):
        status, headers, body = call(self.provider, url, dict(self.client, **fields))
        self.assertEqual(headers["Content-Type"], "application/json; charset=utf-8")
        return status, json.loads(body)

    def error(self, url, **fields):
        return self.post(url, **fields)[1].get("error")

    def introspect(self, token):
        return json.loads(call(self.provider, self.provider.introspection_url, {"token": token})[2])

    def authorize(self, challenge, redirect=REDIRECT):
        query = dict(self.client, response_type="code", redirect_uri=redirect, scope=SCOPE, state="s1",
                     code_challenge=challenge, code_challenge_method="S256")
        return call(self.provider, self.provider.authorize_url + "?" + urllib.parse.urlencode(query))

    def code(self, challenge):
        status, headers, _ = self.authorize(challenge)
        answer = urllib.parse.parse_qs(urllib.parse.urlsplit(headers["Location"]).query)
        self.assertEqual((status, answer["state"]), (302, ["s1"]))
        return answer["code"][0]

    def test_device_flow_waits_for_the_user_and_the_interval(self):
        self.assertEqual(self.post(self.provider.device_url, scope=SCOPE, client_secret="s")[0], 401)
        self.assertEqual(len(self.provider.calls("devicecode", client_secret=HIDDEN)), 1)
        status, device = self.post(self.provider.device_url, scope=SCOPE)
        self.assertEqual((status, device["interval"], device["verification_uri"]), (200, 1, self.provider.url + "/device"))
        self.assertIn(device["user_code"], device["message"])
        poll = {"grant_type": DEVICE_GRANT, "device_code": device["device_code"]}
        self.assertEqual(self.error(self.provider.token_url, **poll), "authorization_pending")
        self.assertEqual(self.error(self.provider.token_url, **poll), "slow_down")
        time.sleep(2.05)  # the interval, one second longer now
        self.assertEqual(self.error(self.provider.token_url, **poll), "authorization_pending")
        self.assertEqual(self.provider.pending_user_codes(), [device["user_code"]])
        self.provider.approve(device["user_code"], "user1", preferred_username="user1@outlook.test")
        time.sleep(2.05)
        status, tokens = self.post(self.provider.token_url, **poll)
        self.assertEqual((status, tokens["token_type"], tokens["expires_in"], tokens["scope"]), (200, "Bearer", 3600, SCOPE))
        claims = json.loads(base64.urlsafe_b64decode(tokens["id_token"].split(".")[1] + "=="))
        self.assertEqual((claims["preferred_username"], claims["email"]), ("user1@outlook.test", "user1"))
        self.assertEqual(self.introspect(tokens["access_token"])["username"], "user1")
        self.assertEqual(self.error(self.provider.token_url, **poll), "invalid_grant", "a device code serves once")
        self.assertEqual(len(self.provider.calls("token", grant_type=DEVICE_GRANT, device_code=HIDDEN)), 5)

        self.provider.device_lifetime = 1
        device = self.post(self.provider.device_url, scope=SCOPE)[1]
        poll["device_code"] = device["device_code"]
        self.provider.deny(device["user_code"])
        self.assertEqual(self.error(self.provider.token_url, **poll), "access_denied")
        time.sleep(1.1)
        self.assertEqual(self.error(self.provider.token_url, **poll), "expired_token")

    def test_code_flow_checks_verifier_redirect_and_single_use(self):
        verifier, challenge = pkce()
        self.assertEqual(self.authorize(challenge, "http://192.0.2.1:1/")[0], 400, "only loopback redirects")
        self.assertEqual(self.authorize(challenge)[0], 200)
        self.assertIn("state=s1", self.provider.approve_authorization("user1"))
        self.provider.auto_approve = "user1"
        for wrong in ({}, {"code_verifier": pkce()[0]}, {"code_verifier": verifier, "redirect_uri": REDIRECT + "x"}):
            exchange = dict({"grant_type": "authorization_code", "code": self.code(challenge), "redirect_uri": REDIRECT}, **wrong)
            self.assertEqual(self.error(self.provider.token_url, **exchange), "invalid_grant", wrong)
        exchange = {"grant_type": "authorization_code", "code": self.code(challenge), "redirect_uri": REDIRECT,
                    "code_verifier": verifier}
        status, tokens = self.post(self.provider.token_url, **exchange)
        self.assertEqual(status, 200, tokens)
        self.assertTrue(self.introspect(tokens["access_token"])["active"])
        self.assertEqual(self.error(self.provider.token_url, **exchange), "invalid_grant")
        self.assertFalse(self.introspect(tokens["access_token"])["active"], "a replayed code withdraws its tokens")

    def test_refresh_rotates_and_revocation_and_expiry_end_tokens(self):
        self.provider.auto_approve, self.provider.access_lifetime = "user2", 1
        verifier, challenge = pkce()
        first = self.post(self.provider.token_url, grant_type="authorization_code", code=self.code(challenge),
                          redirect_uri=REDIRECT, code_verifier=verifier)[1]
        answer = self.introspect(first["access_token"])
        self.assertEqual((answer["active"], answer["username"], answer["scope"]), (True, "user2", SCOPE))
        time.sleep(1.1)
        self.assertEqual(self.introspect(first["access_token"]), {"active": False}, "expired")
        refresh = {"grant_type": "refresh_token", "refresh_token": first["refresh_token"]}
        status, second = self.post(self.provider.token_url, **refresh)
        self.assertEqual((status, second["expires_in"]), (200, 1))
        self.assertNotEqual(second["refresh_token"], first["refresh_token"])
        self.assertEqual(self.error(self.provider.token_url, **refresh), "invalid_grant", "the old one is spent")
        self.provider.flavour = "google"  # keeps the refresh token
        refresh["refresh_token"] = second["refresh_token"]
        status, third = self.post(self.provider.token_url, **refresh)
        self.assertEqual((status, "refresh_token" in third), (200, False))
        self.assertEqual(len(self.provider.calls("token", grant_type="refresh_token")), 3)
        self.provider.revoke("user2")
        self.assertFalse(self.introspect(third["access_token"])["active"])
        status, answer = self.post(self.provider.token_url, **refresh)
        self.assertEqual((status, answer["error"], answer["error_description"]), (400, "invalid_grant", REVOKED))

    def test_outages_and_malformed_requests(self):
        device = (self.provider, self.provider.device_url, dict(self.client, scope=SCOPE))
        self.provider.down()
        self.assertRaises(urllib.error.URLError, call, *device)
        self.provider.up()
        self.assertEqual(call(*device)[0], 200)
        for self.provider.garbage in ("text", "truncated"):
            status, _, body = call(*device)
            self.assertEqual(status, 200)
            self.assertRaises(ValueError, json.loads, body)
        self.provider.garbage = None
        self.assertEqual(call(*device, content_type="application/json")[0], 400)
        self.assertEqual(self.error(self.provider.token_url, grant_type="password"), "unsupported_grant_type")


class DovecotTakesTokens(unittest.TestCase):
    def setUp(self):
        self.provider = IdentityProvider()
        self.dovecot = Dovecot(users=2, oauth=self.provider)
        self.user, self.other = self.dovecot.add_user(), self.dovecot.add_user()

    def tearDown(self):
        self.dovecot.close()
        self.provider.close()

    def token(self, user):
        with self.provider.lock:
            return self.provider.issue(self.provider.identity(user, None, None), SCOPE)["access_token"]

    def connect(self):
        return imaplib.IMAP4_SSL("localhost", self.dovecot.imaps_port, timeout=10,
                                 ssl_context=ssl.create_default_context(cafile=self.dovecot.cert))

    def login(self, mechanism, user, token):
        """The INBOX's message count, or the refusal; a refusal's JSON continuation is answered
        as the mechanism requires (an empty line for XOAUTH2, ^A for OAUTHBEARER)."""
        initial = ("user=%s\x01auth=Bearer %s\x01\x01" if mechanism == "XOAUTH2" else "n,a=%s,\x01auth=Bearer %s\x01\x01")
        challenges = []

        def answer(challenge):
            challenges.append(challenge)
            return (initial % (user, token)).encode() if len(challenges) == 1 else b"" if mechanism == "XOAUTH2" else b"\x01"

        imap = self.connect()
        try:
            imap.authenticate(mechanism, answer)
            return imap.select("INBOX")[1][0]
        except imaplib.IMAP4.error as e:
            self.assertIn(json.loads(challenges[-1])["status"], ("401", "invalid_token"))
            return str(e)
        finally:
            imap.shutdown()

    def test_only_honoured_tokens_log_in(self):
        uid = self.dovecot.append(self.user, b"Subject: hi\r\n\r\nhello\r\n")
        self.dovecot.append(self.user, b"Subject: read\r\n\r\nseen\r\n", seen=True)
        self.assertEqual(self.dovecot.unseen_uids(self.user), [uid])
        self.assertGreater(self.dovecot.uid_validity(self.user), 0)
        good = self.token(self.user)
        for mechanism in ("XOAUTH2", "OAUTHBEARER"):
            self.assertEqual(self.login(mechanism, self.user, good), b"2")
        self.assertEqual(len(self.provider.calls("introspect", token=HIDDEN)), 2, "one introspection a login")
        self.assertIn("AUTHENTICATIONFAILED", self.login("XOAUTH2", self.other, good), "another user's token")
        self.provider.expire(self.user)
        self.assertIn("AUTHENTICATIONFAILED", self.login("XOAUTH2", self.user, good))
        revoked = self.token(self.user)
        self.assertEqual(self.login("XOAUTH2", self.user, revoked), b"2")
        self.provider.revoke(self.user)
        for mechanism in ("XOAUTH2", "OAUTHBEARER"):
            self.assertIn("AUTHENTICATIONFAILED", self.login(mechanism, self.user, revoked))
        self.provider.down()  # the mail server asks on a port of its own
        self.assertEqual(self.login("XOAUTH2", self.other, self.token(self.other)), b"0")
        imap = self.connect()
        self.assertRaisesRegex(imaplib.IMAP4.error, "AUTHENTICATIONFAILED", imap.login, self.user, PASSWORD)
        imap.shutdown()


if __name__ == "__main__":
    unittest.main()
