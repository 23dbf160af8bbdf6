#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""One check through the IMAP gateway against a direct IMAPS fetch of the same headers with curl,
side by side in one run, on a throw-away Dovecot on 127.0.0.1.

  bench/imap_check_compare.py [--webmail build/tools/webmail/webmail] [--messages 2000]
                              [--unseen 20] [--rounds 30]

Gateway check: what the notifier does, curl POSTs the login through the gateway (which answers
from its kept, logged-in IMAP connection: UID SEARCH UNSEEN, headers of new UIDs only) and curl
GETs the logout URL. Direct: one curl run that connects over TLS, logs in, selects INBOX and
fetches UID, size, INTERNALDATE and the From, Subject and Date headers of the unseen messages
(their UIDs given). Both verify the certificate. The INBOX holds `--messages` messages, of which
`--unseen` are new. Prints medians, means and the ratio of the medians, runs alternating."""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

from dovecot_peer import NOBODY, PASSWORD, Dovecot  # noqa: E402

CLEAN_ENV = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
LOGIN_URL = "http://192.0.2.10/cgi-bin/start"


def run(args):
    done = subprocess.run(args, capture_output=True, env=CLEAN_ENV, timeout=60)
    if done.returncode != 0:
        raise SystemExit("%s failed: %s" % (args[:4], done.stderr.decode()))
    return done.stdout


def timed(action):
    started = time.perf_counter()
    action()
    return (time.perf_counter() - started) * 1000


def fill_maildir(dovecot, user, count, unseen):
    """`count` messages straight into the user's Maildir, the last `unseen` of them new: far
    quicker than appending each over IMAP, and Dovecot indexes them at the first SELECT."""
    maildir = "%s/home/%s/Maildir" % (dovecot.dir, user)
    for n in range(count):
        new = n >= count - unseen
        name = "%d.M%dP1.bench%s" % (1700000000 + n, n, "" if new else ":2,S")
        path = "%s/%s/%s" % (maildir, "new" if new else "cur", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(("From: Sender %d <s%d@example.org>\r\nSubject: =?UTF-8?Q?Message_%d_caf=C3=A9?=\r\n"
                     "Date: Mon, 9 Dec 2024 08:%02d:00 +0000\r\n\r\nBody %d\r\n" % (n, n, n, n % 60, n)).encode())
    for root, dirs, files in os.walk(maildir):
        for name in dirs + files:
            shutil.chown(os.path.join(root, name), NOBODY, NOBODY)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--webmail", default="build/tools/webmail/webmail")
    parser.add_argument("--messages", type=int, default=2000)
    parser.add_argument("--unseen", type=int, default=20)
    parser.add_argument("--rounds", type=int, default=30)
    options = parser.parse_args()
    os.environ["WEBMAIL"] = options.webmail
    from webmail_process import Emulator  # reads WEBMAIL

    with Dovecot(users=1) as dovecot:
        user = dovecot.add_user()
        fill_maildir(dovecot, user, options.messages, options.unseen)
        unseen = dovecot.unseen_uids(user)
        assert len(unseen) == options.unseen, unseen
        os.environ["BENCH_IMAP_PASSWORD"] = PASSWORD
        with tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False) as f:
            f.write("[bench]\npassword = local\nimap = %s\nuser = %s\npassword-env = BENCH_IMAP_PASSWORD\n"
                    "ca-file = %s\n" % (dovecot.url(), user, dovecot.cert))
        os.chmod(f.name, 0o600)
        try:
            with Emulator("--imap-gateway", f.name) as gateway:
                def gateway_check():
                    page = run(["curl", "-sS", "-x", gateway.proxy, "--data",
                                "login=bench&passwd=local&enter=Enter&frames=no&curmbox=ACTIVE&js=no", LOGIN_URL])
                    assert b"%d new</font>" % options.unseen in page, page[:300]
                    logout = re.search(rb'href="(http://192\.0\.2\.20/[^"]*)"', page).group(1).decode()
                    run(["curl", "-sS", "-x", gateway.proxy, logout])

                uid_set = ",".join(str(uid) for uid in unseen)

                def direct_fetch():
                    out = run(["curl", "-sS", "--cacert", dovecot.cert, "-u", "%s:%s" % (user, PASSWORD), "-X",
                               "UID FETCH %s (UID RFC822.SIZE INTERNALDATE BODY.PEEK[HEADER.FIELDS (FROM SUBJECT DATE)])"
                               % uid_set, dovecot.url() + "/INBOX"])
                    assert out.count(b"FETCH") >= options.unseen, out[:300]

                gateway_check(), direct_fetch()  # warm up both; the gateway logs in here, once
                gateway_times, direct_times = [], []
                for n in range(options.rounds):  # alternating, so that load on the machine hits both alike
                    pair = (gateway_check, direct_fetch) if n % 2 == 0 else (direct_fetch, gateway_check)
                    for action in pair:
                        (gateway_times if action is gateway_check else direct_times).append(timed(action))
        finally:
            os.remove(f.name)
    print("INBOX of %d messages, %d unseen, %d rounds each, Dovecot on 127.0.0.1 over TLS (verified), load %.2f" %
          (options.messages, options.unseen, options.rounds, os.getloadavg()[0]))
    for name, times in (("gateway check (2 curl runs: login + logout)", gateway_times),
                        ("curl IMAPS fetch of the same headers (1 curl run)", direct_times)):
        print("  %-52s median %7.1f ms   mean %7.1f ms   min %7.1f ms" %
              (name, statistics.median(times), statistics.mean(times), min(times)))
    print("  gateway / curl: x%.2f (medians)" % (statistics.median(gateway_times) / statistics.median(direct_times)))


if __name__ == "__main__":
    main()
