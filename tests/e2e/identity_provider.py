# SPDX-License-Identifier: MIT
"""An OAuth 2.0 identity provider on 127.0.0.1 answering as Microsoft's identity platform (v2.0)
and Google's token service do: device authorization, authorization code with PKCE (S256),
refresh, and token introspection for Dovecot on a port of its own, so the mail server still
checks tokens while the provider is down. Clients reach it as https://localhost:PORT and trust
`cert`, which names localhost only. The test plays the user and the outages; every request is
recorded with its secrets hidden."""
import base64
import hashlib
import hmac
import json
import os
import re
import secrets
import shutil
import socketserver
import ssl
import tempfile
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from dovecot_peer import make_certificate

DEVICE_GRANT = "urn:ietf:params:oauth:grant-type:device_code"
HIDDEN = "<hidden>"
SECRET_FIELDS = {"client_secret", "code", "code_verifier", "device_code", "refresh_token", "token"}
REVOKED = "Token has been expired or revoked."
ROUTES = {("POST", "devicecode"), ("GET", "authorize"), ("POST", "token"), ("POST", "introspect")}


class Redirect(str):
    pass


class OAuthError(Exception):
    def __init__(self, error, description, status=400):
        super().__init__(error)
        self.reply, self.status = {"error": error, "error_description": description}, status


def b64url(data):
    return base64.urlsafe_b64encode(data).rstrip(b"=").decode()


def jwt(claims):
    signed = b64url(b'{"alg":"HS256","typ":"JWT"}') + "." + b64url(json.dumps(claims).encode())
    return signed + "." + b64url(hmac.new(b"vexmira-test-key", signed.encode(), hashlib.sha256).digest())


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def server_bind(self):  # HTTPServer's would look the address's name up
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = "localhost", self.server_address[1]

    def handle_error(self, request, client_address):
        pass  # a client that fails the handshake or leaves early


class Handler(BaseHTTPRequestHandler):
    protocol_version, timeout = "HTTP/1.1", 10

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.server.provider.handle(self, self.command)

    do_POST = do_GET


class IdentityProvider:
    """flavour "microsoft" rotates refresh tokens and issues one only for offline_access;
    "google" calls the device page verification_url, always issues a refresh token and keeps it.
    Attributes a test may change: interval, slow_down (seconds added to the interval by each
    slow_down), access_lifetime, refresh_lifetime, device_lifetime, code_lifetime, flavour,
    auto_approve (a user: /authorize redirects at once), garbage (None, "text" or "truncated":
    a 200 answer that is no JSON), delay (seconds before each public answer)."""

    def __init__(self, client_id="vexmira-test-client", client_secret=None, flavour="microsoft", interval=1,
                 slow_down=5, access_lifetime=3600, token_length=1500):
        self.client_id, self.client_secret, self.flavour = client_id, client_secret, flavour
        self.interval, self.slow_down, self.token_length = interval, slow_down, token_length
        self.access_lifetime, self.refresh_lifetime, self.device_lifetime, self.code_lifetime = \
            access_lifetime, 90 * 86400, 900, 60
        self.auto_approve, self.garbage, self.delay = None, None, 0
        self.dir = tempfile.mkdtemp(prefix="idp-")
        os.chmod(self.dir, 0o755)  # Dovecot's auth process reads the certificate as another user
        make_certificate(self.dir, "localhost")
        self.cert = self.dir + "/cert.pem"
        os.chmod(self.cert, 0o644)
        self.context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        self.context.load_cert_chain(self.cert, self.dir + "/key.pem")
        self.lock, self.closing = threading.Lock(), threading.Event()
        self.requests, self.devices, self.codes, self.pending, self.tokens = [], {}, {}, [], {}
        self.public, self.introspector = self.listen(0), self.listen(0)
        self.port = self.public.server_address[1]
        self.url = "https://localhost:%d" % self.port
        self.device_url, self.authorize_url, self.token_url = (self.url + p for p in ("/devicecode", "/authorize", "/token"))
        self.introspection_url = "https://localhost:%d/introspect" % self.introspector.server_address[1]

    def listen(self, port):
        server = Server(("127.0.0.1", port), Handler)
        server.provider = self
        # The handshake happens in the request's thread, so a silent client blocks nobody.
        server.socket = self.context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
        threading.Thread(target=server.serve_forever, args=(0.05,), daemon=True).start()
        return server

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self.closing.set()
        self.down()
        self.introspector.shutdown()
        self.introspector.server_close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def down(self):
        """Connections refused until up() (every answer closes its connection, so none is left)."""
        if self.public:
            self.public.shutdown()
            self.public.server_close()
            self.public = None

    def up(self):
        self.public = self.public or self.listen(self.port)

    def pending_user_codes(self):
        with self.lock:
            return [d["user_code"] for d in self.devices.values() if d["state"] == "pending"]

    def approve(self, user_code, user, preferred_username=None, email=None, deny=False):
        """The user enters `user_code` and signs in as mailbox user `user`, or refuses."""
        with self.lock:
            device = next(d for d in self.devices.values() if d["user_code"] == user_code)
            device.update(state="denied" if deny else "approved", identity=self.identity(user, preferred_username, email))

    def deny(self, user_code):
        self.approve(user_code, None, deny=True)

    def approve_authorization(self, user, preferred_username=None, email=None, deny=False):
        """The user answers the oldest waiting /authorize page; returns where the browser goes."""
        with self.lock:
            request = self.pending.pop(0)
            if deny:
                return self.redirect(request, error="access_denied", error_description="The user declined.")
            return self.redirect(request, code=self.new_code(request, self.identity(user, preferred_username, email)))

    def revoke(self, user, why=REVOKED, kinds=("access", "refresh")):
        """Every token of the user refused, as after a password change."""
        with self.lock:
            for token in self.tokens.values():
                if token["identity"]["user"] == user and token["kind"] in kinds:
                    token["refused"] = token["refused"] or why
                    token["expires"] = min(token["expires"], time.time())

    def expire(self, user):
        self.revoke(user, None, ("access",))

    def calls(self, endpoint=None, **fields):
        """Recorded requests to `endpoint` with these field values (HIDDEN for a secret sent):
        dicts of endpoint, method, fields, authorization (an Authorization header came), status, error."""
        with self.lock:
            return [r for r in self.requests if endpoint in (None, r["endpoint"])
                    and all(r["fields"].get(k) == v for k, v in fields.items())]

    def handle(self, request, method):
        url = urllib.parse.urlsplit(request.path)
        introspector = request.server is self.introspector
        endpoint = url.path.rsplit("/", 1)[-1]  # so /common/oauth2/v2.0/token works as well
        body = request.rfile.read(min(int(request.headers.get("Content-Length") or 0), 1 << 20))
        form = urllib.parse.parse_qs(url.query if method == "GET" else body.decode("utf-8", "replace"), keep_blank_values=True)
        record = {"endpoint": endpoint, "method": method, "authorization": "Authorization" in request.headers,
                  "fields": {k: HIDDEN if k in SECRET_FIELDS else v[-1] for k, v in form.items()}}
        with self.lock:
            self.requests.append(record)
        self.closing.wait(0 if introspector else self.delay)
        status, reply, location = 200, None, None
        try:
            if (endpoint == "introspect") != introspector or (method, endpoint) not in ROUTES:
                raise OAuthError("not_found", "No such endpoint.", 404)
            if self.garbage and not introspector:
                reply = '{"token_type": "Bearer", "access_tok' if self.garbage == "truncated" else "<html>Busy</html>"
            else:
                if method == "POST" and request.headers.get("Content-Type", "").split(";")[0].strip() \
                        != "application/x-www-form-urlencoded":
                    raise OAuthError("invalid_request", "The body must be application/x-www-form-urlencoded.")
                if any(len(v) > 1 for v in form.values()):
                    raise OAuthError("invalid_request", "A parameter was repeated.")
                fields = {k: v[0] for k, v in form.items()}
                if not introspector and fields.get("client_id") != self.client_id:
                    raise OAuthError("invalid_client", "Application '%s' was not found." % fields.get("client_id"), 401)
                secret = HIDDEN if record["authorization"] else fields.get("client_secret")
                if secret is not None and endpoint == "devicecode" or endpoint == "token" and secret != self.client_secret:
                    raise OAuthError("invalid_client", "The client secret is wrong, or sent by a public client.", 401)
                with self.lock:
                    reply = getattr(self, endpoint)(fields)
                if isinstance(reply, Redirect):
                    status, reply, location = 302, "", reply
        except OAuthError as e:
            status, reply = e.status, e.reply
        record["status"], record["error"] = status, reply.get("error") if isinstance(reply, dict) else None
        data = (json.dumps(reply) if isinstance(reply, dict) else reply).encode()
        json_reply = isinstance(reply, dict) or self.garbage == "truncated"
        request.send_response(status)
        for name, value in (("Content-Type", "application/json; charset=utf-8" if json_reply else "text/html"),
                            ("Content-Length", str(len(data))), ("Cache-Control", "no-store"), ("Connection", "close"),
                            ("Location", location)):
            if value:
                request.send_header(name, value)
        request.end_headers()
        request.wfile.write(data)

    def identity(self, user, preferred_username, email):
        return {"user": user, "preferred_username": preferred_username or user, "email": email or user}

    def devicecode(self, f):
        if not f.get("scope"):
            raise OAuthError("invalid_request", "The request body must contain the parameter 'scope'.")
        code, device_code, page = "%04X-%04X" % (secrets.randbelow(65536), secrets.randbelow(65536)), \
            secrets.token_urlsafe(48), self.url + "/device"
        self.devices[device_code] = {"user_code": code, "scope": f["scope"], "state": "pending", "last_poll": None,
                                     "interval": self.interval, "expires": time.time() + self.device_lifetime}
        reply = {"device_code": device_code, "user_code": code, "expires_in": self.device_lifetime, "interval": self.interval}
        if self.flavour == "google":
            return dict(reply, verification_url=page)
        return dict(reply, verification_uri=page, message="To sign in, use a web browser to open the page %s and "
                    "enter the code %s to authenticate." % (page, code))

    def authorize(self, f):
        if not re.fullmatch(r"http://(127\.0\.0\.1|localhost):\d{1,5}(/[^?#]*)?", f.get("redirect_uri", "")):
            raise OAuthError("invalid_request", "The redirect_uri must be http://127.0.0.1:PORT/ or http://localhost:PORT/.")
        request = {"redirect_uri": f["redirect_uri"], "state": f.get("state"), "scope": f.get("scope"),
                   "challenge": f.get("code_challenge", "")}
        if f.get("response_type") != "code" or not f.get("scope") or f.get("code_challenge_method") != "S256" \
                or not re.fullmatch(r"[A-Za-z0-9_-]{43}", request["challenge"]):
            return self.redirect(request, error="invalid_request",
                                 error_description="response_type=code, a scope and an S256 code_challenge are required.")
        if self.auto_approve:
            return self.redirect(request, code=self.new_code(request, self.identity(self.auto_approve, None, None)))
        self.pending.append(request)
        return "<html>Sign in</html>"

    def new_code(self, request, identity):
        code = secrets.token_urlsafe(32)
        self.codes[code] = dict(request, identity=identity, used=False, issued=[], expires=time.time() + self.code_lifetime)
        return code

    def redirect(self, request, **values):
        if request["state"] is not None:
            values["state"] = request["state"]
        uri = request["redirect_uri"]
        return Redirect(uri + ("&" if "?" in uri else "?") + urllib.parse.urlencode(values))

    def token(self, f):
        grant, now = f.get("grant_type"), time.time()
        if grant == DEVICE_GRANT:
            device = self.devices.get(f.get("device_code"))
            if not device or device["state"] == "used":
                raise OAuthError("invalid_grant", "The device code is unknown or was already redeemed.")
            last, device["last_poll"] = device["last_poll"], now
            if now > device["expires"]:
                raise OAuthError("expired_token", "The device code has expired.")
            if device["state"] == "denied":
                raise OAuthError("access_denied", "The user declined the sign-in.")
            if last is not None and now - last < device["interval"] - 0.1:
                device["interval"] += self.slow_down  # for this and every later poll, as the client must
                raise OAuthError("slow_down", "Polled faster than the interval.")
            if device["state"] == "pending":
                raise OAuthError("authorization_pending", "The user has not yet finished signing in.")
            device["state"] = "used"
            return self.issue(device["identity"], device["scope"])
        if grant == "authorization_code":
            code, verifier = self.codes.get(f.get("code")), f.get("code_verifier", "")
            if not code:
                raise OAuthError("invalid_grant", "The authorization code is unknown.")
            if code["used"]:  # a replayed code withdraws what it gave
                for token in code["issued"]:
                    self.tokens[token]["refused"] = REVOKED
                raise OAuthError("invalid_grant", "The authorization code was already redeemed.")
            code["used"] = True
            if now > code["expires"] or f.get("redirect_uri") != code["redirect_uri"]:
                raise OAuthError("invalid_grant", "The code has expired or the redirect_uri differs from the request's.")
            if not re.fullmatch(r"[A-Za-z0-9._~-]{43,128}", verifier) or \
                    b64url(hashlib.sha256(verifier.encode()).digest()) != code["challenge"]:
                raise OAuthError("invalid_grant", "The code_verifier does not match the code_challenge.")
            reply = self.issue(code["identity"], code["scope"])
            code["issued"] = [reply["access_token"]] + ([reply["refresh_token"]] if "refresh_token" in reply else [])
            return reply
        if grant == "refresh_token":
            token = self.valid(f.get("refresh_token"), "refresh")
            scope = f.get("scope") or token["scope"]
            if not set(scope.split()) <= set(token["scope"].split()):
                raise OAuthError("invalid_scope", "The scope exceeds the one granted.")
            if self.flavour == "microsoft":
                token["refused"] = "The refresh token was replaced by a newer one."
            return self.issue(token["identity"], scope, refresh=self.flavour == "microsoft")
        raise OAuthError("unsupported_grant_type", "The grant type '%s' is not supported." % grant)

    def valid(self, value, kind):
        token = self.tokens.get(value or "")
        if not token or token["kind"] != kind:
            raise OAuthError("invalid_grant", "The %s token is unknown." % kind)
        if token["refused"] or time.time() >= token["expires"]:
            raise OAuthError("invalid_grant", token["refused"] or "The %s token has expired." % kind)
        return token

    def issue(self, identity, scope, refresh=True):
        now, scopes = time.time(), scope.split()
        access = "Ew" + secrets.token_urlsafe(self.token_length)[:self.token_length - 2]
        self.tokens[access] = {"kind": "access", "identity": identity, "scope": scope, "refused": None,
                               "expires": now + self.access_lifetime}
        reply = {"token_type": "Bearer", "scope": scope, "expires_in": self.access_lifetime,
                 "ext_expires_in": self.access_lifetime, "access_token": access}
        if refresh and (self.flavour == "google" or "offline_access" in scopes):
            reply["refresh_token"] = "M." + secrets.token_urlsafe(96)
            self.tokens[reply["refresh_token"]] = dict(self.tokens[access], kind="refresh", expires=now + self.refresh_lifetime)
        if {"openid", "email", "profile"} & set(scopes):
            reply["id_token"] = jwt({"iss": self.url, "aud": self.client_id, "sub": identity["user"], "iat": int(now),
                                     "exp": int(now) + 3600, "preferred_username": identity["preferred_username"],
                                     "email": identity["email"]})
        return reply

    def introspect(self, f):
        try:
            token = self.valid(f.get("token"), "access")
        except OAuthError:
            return {"active": False}
        return {"active": True, "username": token["identity"]["user"], "scope": token["scope"],
                "client_id": self.client_id, "token_type": "Bearer", "exp": int(token["expires"])}
