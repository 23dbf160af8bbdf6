#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs httpget and curl side by side against hostile answers of a server on 127.0.0.1 and
prints, for each, the outcome, the wall time and the peak resident memory of the client.

usage: hostile_server_compare.py HTTPGET [--only NAME]
Answers: a flood of five-byte header lines (10 MB), a flood of long header lines (82 MB), a body
dripped at one byte a second (both clients bounded to 10 s in total), an early answer to a
32 MiB POST that the server never reads, a reset in the middle of the body, and a body shorter
than its Content-Length."""
import argparse
import socket
import subprocess
import tempfile
import threading
import time


def read_header(conn):
    request = b""
    while b"\r\n\r\n" not in request:
        chunk = conn.recv(65536)
        if not chunk:
            break
        request += chunk
    return request


def send_quietly(conn, data):
    try:
        conn.sendall(data)
        return True
    except OSError:
        return False


def header_flood(conn, line, total):
    read_header(conn)
    block = line * (1 << 20 // len(line))
    sent = 0
    send_quietly(conn, b"HTTP/1.0 200 OK\r\n")
    while sent < total and send_quietly(conn, block):
        sent += len(block)


def drip(conn):
    read_header(conn)
    send_quietly(conn, b"HTTP/1.0 200 OK\r\n\r\n")
    for _ in range(120):
        if not send_quietly(conn, b"x"):
            return
        time.sleep(1)


def early_answer(conn):
    read_header(conn)  # the body is never read: closing then resets the connection
    time.sleep(0.3)
    send_quietly(conn, b"HTTP/1.0 200 OK\r\n\r\nearly answer")


def reset_mid_body(conn):
    read_header(conn)
    send_quietly(conn, b"HTTP/1.0 200 OK\r\n\r\n<html>You have 2 new")
    time.sleep(0.05)
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")


def short_body(conn):
    read_header(conn)
    send_quietly(conn, b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n" + b"h" * 50)


CASES = {
    "header-lines-10MB": lambda c: header_flood(c, b"a:b\r\n", 10_000_000),
    "long-header-82MB": lambda c: header_flood(c, b"X: " + b"x" * 8000 + b"\r\n", 82_000_000),
    "drip-1-byte-per-s": drip,
    "early-answer-32MiB-post": early_answer,
    "reset-mid-body": reset_mid_body,
    "short-body": short_body,
}


def serve(listener, handler):
    while True:
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        with conn:
            handler(conn)


def measured(argv):
    """Wall time and peak RSS (KiB) of that one client, with its exit status and output. GNU time
    measures the RSS: a child forked from this script would count the script's memory too."""
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], capture_output=True)
    wall = time.perf_counter() - start
    lines = result.stderr.decode(errors="replace").strip().splitlines()
    return result.returncode, wall, int(lines[-1]), result.stdout, "\n".join(lines[:-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("httpget")
    parser.add_argument("--only")
    args = parser.parse_args()
    with tempfile.NamedTemporaryFile() as body:
        body.write(b"p" * (32 << 20))
        body.flush()
        for name, handler in CASES.items():
            if args.only and args.only != name:
                continue
            listener = socket.socket()
            listener.bind(("127.0.0.1", 0))
            listener.listen(8)
            url = "http://127.0.0.1:%d/" % listener.getsockname()[1]
            threading.Thread(target=serve, args=(listener, handler), daemon=True).start()
            upload = "@" + body.name if name.startswith("early") else None
            clients = {
                "httpget": [args.httpget, "--max-time", "60", "--total-time", "10",
                            *(["-d", upload] if upload else []), url],
                "curl": ["curl", "-s", "-S", "--max-time", "10", *(["--data-binary", upload] if upload else []), url],
            }
            print(name)
            for client, argv in clients.items():
                code, wall, rss, out, err = measured(argv)
                said = (err.splitlines() or [""])[0][:70]
                print("  %-8s exit %-3d %6.2f s  peak RSS %7.1f MiB  body %6d B  %s"
                      % (client, code, wall, rss / 1024, len(out), said))
            listener.close()


if __name__ == "__main__":
    main()
