#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The notifier's check cycle done by Python's http.client in one process, as a peer for
soak_compare.py: through the emulator as proxy, log in with the form POST, read the count and
the logout URL from the mailbox page, and log out with a GET of that URL.

usage: cycle_peer.py PROXY_PORT CYCLES"""
import http.client
import re
import sys

FORM = b"login=alice&passwd=wonderland&enter=Enter&frames=no&curmbox=ACTIVE&js=no"


def exchange(port, method, url, body=None):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    headers = {"Content-Type": "application/x-www-form-urlencoded"} if body is not None else {}
    connection.request(method, url, body=body, headers=headers)
    response = connection.getresponse()
    page = response.read()
    connection.close()
    if response.status != 200:
        raise RuntimeError("%s %s: %d" % (method, url, response.status))
    return page


def main():
    port, cycles = int(sys.argv[1]), int(sys.argv[2])
    for _ in range(cycles):
        page = exchange(port, "POST", "http://192.0.2.10/cgi-bin/start", FORM)
        count = int(re.search(rb"(\d+) new</font>", page).group(1))
        logout = re.search(rb'(http://192\.0\.2\.20/[^"]*)"', page).group(1).decode()
        if count <= 0 or b"signed out" not in exchange(port, "GET", logout):
            raise RuntimeError("the cycle did not see new mail or did not sign out")


if __name__ == "__main__":
    main()
