#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""One check cycle through the IMAP gateway against a direct IMAP fetch of the same headers with
curl, side by side in one run, on a throw-away Dovecot on 127.0.0.1.

  bench/imap_check_compare.py [--webmail build/tools/webmail/webmail] [--messages 20] [--rounds 30]

Gateway cycle: curl POSTs the login through the gateway (which connects to Dovecot over TLS,
logs in, selects INBOX and fetches flags, then envelopes and sizes of the unseen messages) and
curl GETs the logout URL (the gateway logs out of IMAP). Direct: one curl run that connects over
TLS, logs in, selects INBOX and fetches FLAGS, RFC822.SIZE and the From, Date and Subject
headers of every message. Both verify the certificate. Prints medians and means in ms."""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

from dovecot_peer import PASSWORD, Dovecot  # noqa: E402

CLEAN_ENV = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
LOGIN_URL = "http://192.0.2.10/cgi-bin/start"


def run(args):
    done = subprocess.run(args, capture_output=True, env=CLEAN_ENV, timeout=60)
    if done.returncode != 0:
        raise SystemExit("%s failed: %s" % (args[:4], done.stderr.decode()))
    return done.stdout


def timed(action, rounds):
    times = []
    for _ in range(rounds):
        started = time.perf_counter()
        action()
        times.append((time.perf_counter() - started) * 1000)
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--webmail", default="build/tools/webmail/webmail")
    parser.add_argument("--messages", type=int, default=20)
    parser.add_argument("--rounds", type=int, default=30)
    options = parser.parse_args()
    os.environ["WEBMAIL"] = options.webmail
    from webmail_process import Emulator  # reads WEBMAIL

    with Dovecot(users=1) as dovecot:
        user = dovecot.add_user()
        for n in range(options.messages):
            dovecot.append(user, ("From: Sender %d <s%d@example.org>\r\nSubject: =?UTF-8?Q?Message_%d_caf=C3=A9?=\r\n"
                                  "Date: Mon, 9 Dec 2024 08:%02d:00 +0000\r\n\r\nBody %d\r\n"
                                  % (n, n, n, n % 60, n)).encode())
        os.environ["BENCH_IMAP_PASSWORD"] = PASSWORD
        with tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False) as f:
            f.write("[bench]\npassword = local\nimap = %s\nuser = %s\npassword-env = BENCH_IMAP_PASSWORD\n"
                    "ca-file = %s\n" % (dovecot.url(), user, dovecot.cert))
        os.chmod(f.name, 0o600)
        try:
            with Emulator("--imap-gateway", f.name) as gateway:
                def gateway_cycle():
                    page = run(["curl", "-sS", "-x", gateway.proxy, "--data",
                                "login=bench&passwd=local&enter=Enter&frames=no&curmbox=ACTIVE&js=no", LOGIN_URL])
                    assert b"%d new</font>" % options.messages in page, page[:300]
                    logout = re.search(rb'href="(http://192\.0\.2\.20/[^"]*)"', page).group(1).decode()
                    run(["curl", "-sS", "-x", gateway.proxy, logout])

                def direct_fetch():
                    out = run(["curl", "-sS", "--cacert", dovecot.cert, "-u", "%s:%s" % (user, PASSWORD), "-X",
                               "FETCH 1:* (FLAGS RFC822.SIZE BODY.PEEK[HEADER.FIELDS (FROM DATE SUBJECT)])",
                               dovecot.url() + "/INBOX"])
                    assert out.count(b"FETCH") >= options.messages, out[:300]

                gateway_cycle(), direct_fetch()  # warm up both
                results = []
                for _ in range(3):  # interleaved, so that load on the machine hits both alike
                    results.append((timed(gateway_cycle, options.rounds // 3), timed(direct_fetch, options.rounds // 3)))
                gateway_times = [t for g, _ in results for t in g]
                direct_times = [t for _, d in results for t in d]
        finally:
            os.remove(f.name)
    print("%d unseen messages, %d rounds each, Dovecot on 127.0.0.1 over TLS (verified)" %
          (options.messages, len(gateway_times)))
    for name, times in (("gateway check cycle (2 curl runs: login + logout)", gateway_times),
                        ("curl IMAP fetch of the same headers (1 curl run)", direct_times)):
        print("  %-52s median %7.1f ms   mean %7.1f ms   min %7.1f ms" %
              (name, statistics.median(times), statistics.mean(times), min(times)))


if __name__ == "__main__":
    main()
