#!/usr/bin/env python3
"""Fetches a large body from a local server with httpget and with curl in the same run, a few
rounds each, and prints throughput and CPU seconds of both with their ratios. Then measures the
CPU that a Get costs while it waits 3 seconds on a silent server.

usage: http_fetch_compare.py HTTPGET [--mib 512] [--rounds 3]
The server sends the body with sendfile from a sparse file, so it costs next to nothing."""
import argparse
import os
import resource
import socket
import subprocess
import tempfile
import threading
import time


def serve(listener, path, size, silent_seconds):
    while True:
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        with conn:
            request = b""
            while b"\r\n\r\n" not in request:
                chunk = conn.recv(4096)
                if not chunk:
                    break
                request += chunk
            if b"/silent" in request:
                time.sleep(silent_seconds)
                conn.sendall(b"HTTP/1.0 200 OK\r\n\r\nlate")
                continue
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: %d\r\n\r\n"
                         % size)
            with open(path, "rb") as f:
                offset = 0
                while offset < size:
                    sent = os.sendfile(conn.fileno(), f.fileno(), offset, size - offset)
                    if sent == 0:
                        break
                    offset += sent


def timed(argv):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("httpget")
    parser.add_argument("--mib", type=int, default=512)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    size = args.mib * 1024 * 1024
    with tempfile.NamedTemporaryFile() as blob:
        blob.truncate(size)
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(8)
        url = "http://127.0.0.1:%d/blob" % listener.getsockname()[1]
        threading.Thread(target=serve, args=(listener, blob.name, size, 3.0), daemon=True).start()

        clients = {"httpget": [args.httpget, "-o", "/dev/null", url],
                   "curl": ["curl", "-s", "-o", "/dev/null", url]}
        best = {}
        print("fetch of %d MiB from 127.0.0.1, best of %d rounds" % (args.mib, args.rounds))
        for name, argv in clients.items():
            runs = [timed(argv) for _ in range(args.rounds)]
            wall = min(r[0] for r in runs)
            cpu = min(r[1] for r in runs)
            best[name] = (wall, cpu)
            print("  %-8s %8.1f MiB/s  %6.3f s wall  %6.3f s CPU" % (name, args.mib / wall, wall, cpu))
        throughput = best["curl"][0] / best["httpget"][0]
        cpu_ratio = best["httpget"][1] / best["curl"][1]
        print("  httpget/curl: throughput %.2f (goal >= 0.9), CPU %.2f (goal <= 1.2)" % (throughput, cpu_ratio))

        wall, cpu = timed([args.httpget, "-o", "/dev/null", url.replace("/blob", "/silent")])
        print("Get waiting %.1f s on a silent server: %.3f s CPU = %.1f%% of one core (goal < 3%%)"
              % (wall, cpu, 100 * cpu / wall))
        listener.close()


if __name__ == "__main__":
    main()
