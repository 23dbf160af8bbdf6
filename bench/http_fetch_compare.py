#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""httpget beside curl on 127.0.0.1, paired and alternated in one run: a large GET, a large POST
of a file (httpget -d @file), and the CPU that a Get costs while it waits on a silent server.

usage: http_fetch_compare.py HTTPGET [--get-mib 512] [--post-mib 128] [--rounds 5]

For each round every client runs once, the order rotating; the figures are ratios to curl in the
same round (median and spread). Wall, CPU and peak resident memory are those of the client
process alone. The server sends with sendfile and receives into one reused buffer, so it costs
little; it runs in this script, outside the measured processes.

POST peers: curl -T streams the file as httpget does; curl --data-binary @file loads it whole
into memory first (shown for its memory, it is not the streaming peer)."""
import argparse
import os
import socket
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import paired  # noqa: E402

SILENT_SECONDS = 3.0


def read_head(conn):
    head = b""
    while b"\r\n\r\n" not in head:
        chunk = conn.recv(65536)
        if not chunk:
            return None, b""
        head += chunk
    end = head.index(b"\r\n\r\n") + 4
    return head[:end], head[end:]


def content_length(head):
    for line in head.split(b"\r\n"):
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            return int(value)
    return 0


def drain_body(conn, remaining, buffer):
    view = memoryview(buffer)
    while remaining > 0:
        n = conn.recv_into(view, min(len(buffer), remaining))
        if n == 0:
            raise ConnectionError("body cut short")
        remaining -= n


def serve_one(conn, blob_path, blob_size):
    buffer = bytearray(1 << 20)
    with conn:
        head, early = read_head(conn)
        if head is None:
            return
        if head.startswith(b"POST"):
            drain_body(conn, content_length(head) - len(early), buffer)
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok")
        elif b"/silent" in head.split(b"\r\n")[0]:
            time.sleep(SILENT_SECONDS)
            conn.sendall(b"HTTP/1.0 200 OK\r\n\r\nlate")
        else:
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: %d\r\n\r\n"
                         % blob_size)
            with open(blob_path, "rb") as f:
                offset = 0
                while offset < blob_size:
                    sent = os.sendfile(conn.fileno(), f.fileno(), offset, blob_size - offset)
                    if sent == 0:
                        break
                    offset += sent


def serve(listener, blob_path, blob_size):
    while True:
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        threading.Thread(target=serve_one, args=(conn, blob_path, blob_size), daemon=True).start()


def sparse_file(directory, mib):
    path = os.path.join(directory, "%d.bin" % mib)
    with open(path, "wb") as f:
        f.truncate(mib * 1024 * 1024)
    return path


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("httpget")
    parser.add_argument("--get-mib", type=int, default=512)
    parser.add_argument("--post-mib", type=int, default=128)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as directory:
        blob = sparse_file(directory, args.get_mib)
        body = sparse_file(directory, args.post_mib)
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(16)
        base = "http://127.0.0.1:%d" % listener.getsockname()[1]
        threading.Thread(target=serve, args=(listener, blob, args.get_mib << 20), daemon=True).start()

        print("load before: %s" % paired.load())
        print("GET of %d MiB, %d rounds" % (args.get_mib, args.rounds))
        results = paired.rounds({
            "httpget": lambda: paired.run([args.httpget, "-o", "/dev/null", base + "/blob"]),
            "curl": lambda: paired.run(["curl", "-s", "-o", "/dev/null", base + "/blob"]),
        }, args.rounds)
        paired.print_table(results, "httpget", ["curl"], ["wall", "cpu", "rss"],
                           {("curl", "wall"): "<= 1.11 (0.9 of its speed)", ("curl", "cpu"): "<= 0.7"})

        print("POST of a %d MiB file, %d rounds" % (args.post_mib, args.rounds))
        results = paired.rounds({
            "httpget -d @file": lambda: paired.run([args.httpget, "-d", "@" + body, "-o", "/dev/null", base + "/up"]),
            "curl -T file": lambda: paired.run(["curl", "-s", "--http1.0", "-X", "POST", "-T", body, "-o", "/dev/null",
                                                base + "/up"]),
            "curl --data-binary @file": lambda: paired.run(["curl", "-s", "--http1.0", "--data-binary", "@" + body,
                                                            "-o", "/dev/null", base + "/up"]),
        }, args.rounds)
        paired.print_table(results, "httpget -d @file", ["curl -T file", "curl --data-binary @file"],
                           ["wall", "cpu", "rss"],
                           {("curl -T file", "wall"): "<= 1.1", ("curl -T file", "cpu"): "<= 1.1"})
        rss = {name: min(r["rss"] for r in results[name]) for name in results}
        print("  peak resident KiB: %s; goal httpget <= curl -T + 16384"
              % ", ".join("%s %d" % item for item in rss.items()))

        idle = paired.run([args.httpget, "-o", "/dev/null", base + "/silent"])
        print("Get waiting %.1f s on a silent server: %.3f s CPU = %.2f%% of one core"
              % (idle["wall"], idle["cpu"], 100 * idle["cpu"] / idle["wall"]))
        print("load after: %s" % paired.load())
        listener.close()


if __name__ == "__main__":
    main()
