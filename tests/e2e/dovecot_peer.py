# SPDX-License-Identifier: MIT
"""A throw-away Dovecot IMAP server for tests: its own folder, configuration, password file,
Maildir and self-signed certificate, run in the foreground on free loopback ports."""
import ipaddress
import os
import re
import secrets
import shutil
import signal
import socket
import subprocess
import tempfile
import time

NOBODY = 65534
PASSWORD = "imap-secret"

CONFIG = """\
base_dir = {dir}/run
state_dir = {dir}/state
log_path = {dir}/dovecot.log
info_log_path = {dir}/dovecot.log
listen = 127.0.0.1
protocols = imap
default_login_user = dovenull
default_internal_user = dovecot
default_internal_group = dovecot
ssl = yes
ssl_cert = <{dir}/cert.pem
ssl_key = <{dir}/key.pem
disable_plaintext_auth = no
{auth}userdb {{
  driver = passwd-file
  args = {dir}/passwd
}}
mail_location = maildir:~/Maildir
namespace inbox {{
  inbox = yes
  mailbox Trash {{
    special_use = \\Trash
  }}
}}
service imap-login {{
  inet_listener imap {{
    address = 127.0.0.1
    port = {imap_port}
  }}
  inet_listener imaps {{
    address = 127.0.0.1
    port = {imaps_port}
    ssl = yes
  }}
}}
service anvil {{
  chroot ={anvil}
}}
"""
PASSWORD_AUTH = """\
auth_mechanisms = plain login
passdb {
  driver = passwd-file
  args = scheme=PLAIN %s/passwd
}
"""
# Tokens only: passwords meet a password nobody knows, so a login proves that a token was used.
# Refusals come at once, since tests refuse tokens on purpose.
OAUTH_AUTH = """\
auth_mechanisms = plain login xoauth2 oauthbearer
auth_failure_delay = 0
passdb {
  driver = oauth2
  mechanisms = xoauth2 oauthbearer
  args = %s/oauth2.conf.ext
}
passdb {
  driver = static
  mechanisms = plain login
  args = password=%s
}
"""
OAUTH_SETTINGS = """\
introspection_mode = post
introspection_url = {url}
username_attribute = username
active_attribute = active
active_value = true
tls_ca_cert_file = {cert}
timeout_msecs = 5000
"""
# Without the penalty socket, no login waits for earlier failures.
NO_PENALTY = """
  unix_listener anvil-auth-penalty {
    mode = 0
  }"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def is_address(name):
    try:
        return bool(ipaddress.ip_address(name))
    except ValueError:
        return False


def make_certificate(directory, name="127.0.0.1"):
    """A self-signed certificate for one host name or address, and nothing else."""
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-keyout", directory + "/key.pem", "-out", directory + "/cert.pem", "-subj", "/CN=" + name,
                    "-addext", "subjectAltName=%s:%s" % ("IP" if is_address(name) else "DNS", name)],
                   check=True, capture_output=True)


class Dovecot:
    """With `oauth` (an identity provider: its introspection_url and cert), users log in only
    with AUTHENTICATE XOAUTH2 or OAUTHBEARER and a token the provider honours, the server is
    imaps://localhost:PORT with a certificate for localhost only, and the mailbox helpers
    (append, unseen_uids, all_uids, uid_validity) go through doveadm, costing no token."""

    def __init__(self, users=20, oauth=None):
        self.dir = tempfile.mkdtemp(prefix="dovecot-")
        os.chmod(self.dir, 0o755)
        self.imap_port = free_port()
        self.imaps_port = free_port()
        self.cert = self.dir + "/cert.pem"
        self.cert_name = "localhost" if oauth else "127.0.0.1"
        self.oauth = oauth
        make_certificate(self.dir, self.cert_name)
        self.users = 0
        self.spare_users = [self.make_user(n + 1) for n in range(users)]
        self.config = self.dir + "/dovecot.conf"
        with open(self.config, "w") as f:
            f.write(CONFIG.format(dir=self.dir, imap_port=self.imap_port, imaps_port=self.imaps_port,
                                  auth=OAUTH_AUTH % (self.dir, secrets.token_hex(16)) if oauth else PASSWORD_AUTH % self.dir,
                                  anvil=NO_PENALTY if oauth else ""))
        if oauth:
            with open(self.dir + "/oauth2.conf.ext", "w") as f:
                f.write(OAUTH_SETTINGS.format(url=oauth.introspection_url, cert=oauth.cert))
        self.process = None
        self.start()

    def start(self):
        pid_file = self.dir + "/run/master.pid"
        if os.path.exists(pid_file):
            os.remove(pid_file)
        self.process = subprocess.Popen(["dovecot", "-F", "-c", self.config], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        start_new_session=True)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.imaps_port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("dovecot did not start: " + self.log())

    def make_user(self, number):
        """A user with an empty Maildir of its own, known to the server from its start."""
        user = "user%d" % number
        home = "%s/home/%s" % (self.dir, user)
        os.makedirs(home + "/Maildir")
        for path in (home, home + "/Maildir"):
            shutil.chown(path, NOBODY, NOBODY)
        with open(self.dir + "/passwd", "a") as f:
            f.write("%s:%s:%d:%d::%s::\n" % (user, PASSWORD, NOBODY, NOBODY, home))
        os.chmod(self.dir + "/passwd", 0o644)
        return user

    def add_user(self):
        """The next unused user; its mailbox is empty."""
        return self.spare_users.pop(0)

    def stop(self):
        """Ends the server and every process of it, client connections included, at once."""
        if self.process and self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            self.process.wait(10)

    def use_certificate(self, name):
        """Restarts the server with a certificate for `name` only, at the same path."""
        self.stop()
        make_certificate(self.dir, name)
        self.cert_name = name
        self.start()

    def close(self):
        self.stop()
        shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def log(self):
        try:
            with open(self.dir + "/dovecot.log", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def url(self, tls=True, host="127.0.0.1"):
        return "imaps://%s:%d" % (host, self.imaps_port) if tls else "imap://%s:%d" % (host, self.imap_port)

    def curl(self, user, *args, path="INBOX", password=PASSWORD):
        """One curl IMAP exchange with certificate verification; returns its output."""
        # The certificate's name, resolved here to the server's address: no look-up.
        name = self.cert_name
        run = subprocess.run(["curl", "-sS", "--max-time", "20", "--cacert", self.cert, "-u", "%s:%s" % (user, password),
                              "--resolve", "%s:%d:127.0.0.1" % (name, self.imaps_port), *args,
                              "%s/%s" % (self.url(host=name), path)],
                             capture_output=True, timeout=30)
        if run.returncode != 0:
            raise AssertionError("curl %s failed: %s" % (args, run.stderr.decode()))
        return run.stdout.decode("latin-1")

    def doveadm(self, *args, data=None):
        run = subprocess.run(["doveadm", "-c", self.config, *args], input=data, capture_output=True, timeout=30)
        if run.returncode != 0:
            raise AssertionError("doveadm %s failed: %s" % (args, run.stderr.decode()))
        return run.stdout.decode("latin-1")

    def append(self, user, message, seen=False):
        """Adds one message (bytes) to the user's INBOX; returns its UID."""
        if self.oauth:
            self.doveadm("save", "-u", user, "-m", "INBOX", data=message)
            uid = max(self.all_uids(user))
            if seen:
                self.doveadm("flags", "add", "-u", user, "\\Seen", "mailbox", "INBOX", "uid", str(uid))
            return uid
        path = tempfile.mktemp(dir=self.dir)
        with open(path, "wb") as f:
            f.write(message)
        try:
            self.curl(user, "-T", path)
        finally:
            os.remove(path)
        uid = max(self.all_uids(user))
        if not seen:  # curl appends with \Seen
            self.command(user, "UID STORE %d -FLAGS (\\Seen)" % uid)
        return uid

    def command(self, user, request, path="INBOX"):
        return self.curl(user, "-X", request, path=path)

    def search(self, user, key):
        if self.oauth:  # lines of "GUID UID"
            return sorted(int(line.split()[1]) for line in self.doveadm("search", "-u", user, "mailbox", "INBOX", key).splitlines())
        return [int(n) for n in self.command(user, "UID SEARCH " + key).split()[2:]]

    def unseen_uids(self, user):
        return self.search(user, "UNSEEN")

    def all_uids(self, user):
        return self.search(user, "ALL")

    def uid_validity(self, user):
        if self.oauth:
            return int(self.doveadm("-f", "flow", "mailbox", "status", "-u", user, "uidvalidity", "INBOX").split("=")[1])
        out = self.command(user, "EXAMINE INBOX")
        return int(re.search(r"UIDVALIDITY (\d+)", out).group(1))

    def connections(self):
        """Open IMAP client connections, as the server counts them."""
        run = subprocess.run(["doveadm", "-c", self.config, "who", "-1"], capture_output=True, text=True)
        return max(0, len([l for l in run.stdout.splitlines() if l.strip()]) - 1)


def serve_for_other_tests():
    """`dovecot_peer.py USER_COUNT [MESSAGE_FILE...]`: starts a server with that many fresh users,
    puts the messages, unseen, into the first one's INBOX, prints one JSON line (ports,
    certificate, users, password), and serves until standard input closes."""
    import json
    import sys
    with Dovecot(users=int(sys.argv[1])) as server:
        users = list(server.spare_users)
        for path in sys.argv[2:]:
            with open(path, "rb") as f:
                server.append(users[0], f.read())
        print(json.dumps({"imaps": server.url(), "imap": server.url(tls=False), "cert": server.cert,
                          "users": users, "password": PASSWORD, "dir": server.dir}), flush=True)
        sys.stdin.read()


if __name__ == "__main__":
    serve_for_other_tests()
