#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""httpget -d @file: the body goes out as the file holds it, streamed from a regular file or read
whole from a pipe, with a Content-Length that matches; a file that cannot be read fails clearly.
The peer is a small server on 127.0.0.1 that answers with the digest of what it received."""
import hashlib
import os
import socket
import subprocess
import sys
import tempfile
import threading
import unittest

HTTPGET = sys.argv.pop(1)


def serve(listener):
    while True:
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        with conn:
            data = b""
            while b"\r\n\r\n" not in data:
                data += conn.recv(65536)
            head, body = data.split(b"\r\n\r\n", 1)
            length = int(next(line.split(b":")[1] for line in head.split(b"\r\n")
                              if line.lower().startswith(b"content-length:")))
            while len(body) < length:
                chunk = conn.recv(1 << 20)
                if not chunk:
                    break
                body += chunk
            if head.startswith(b"POST /moved"):
                conn.sendall(b"HTTP/1.0 302 Found\r\nLocation: /up\r\nContent-Length: 0\r\n\r\n")
                continue
            answer = b"%d %s" % (length, hashlib.sha256(body).hexdigest().encode())
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n%s" % (len(answer), answer))


class PostFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.listener = socket.socket()
        cls.listener.bind(("127.0.0.1", 0))
        cls.listener.listen(8)
        cls.url = "http://127.0.0.1:%d/up" % cls.listener.getsockname()[1]
        threading.Thread(target=serve, args=(cls.listener,), daemon=True).start()
        cls.dir = tempfile.TemporaryDirectory()
        # Not a multiple of the read-ahead or of the client's chunks, every byte value present.
        cls.body = (bytes(range(256)) * 20491 + b"tail")[3:5 * 1024 * 1024 + 4321]
        cls.path = os.path.join(cls.dir.name, "body.bin")
        with open(cls.path, "wb") as f:
            f.write(cls.body)

    @classmethod
    def tearDownClass(cls):
        cls.listener.close()
        cls.dir.cleanup()

    def expected(self, body):
        return b"%d %s" % (len(body), hashlib.sha256(body).hexdigest().encode())

    def httpget(self, *args, **kwargs):
        return subprocess.run([HTTPGET, "--max-time", "20", *args], capture_output=True, timeout=60, **kwargs)

    def test_a_large_file_arrives_whole(self):
        result = self.httpget("-d", "@" + self.path, self.url)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, self.expected(self.body))
        empty = os.path.join(self.dir.name, "empty")
        open(empty, "wb").close()
        self.assertEqual(self.httpget("-d", "@" + empty, self.url).stdout, self.expected(b""))

    def test_a_relocated_post_sends_the_whole_file_again(self):
        result = self.httpget("-d", "@" + self.path, self.url.replace("/up", "/moved"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, self.expected(self.body))

    def test_a_pipe_is_read_whole_first(self):
        with open(self.path, "rb") as source:
            result = self.httpget("-d", "@/dev/stdin", self.url, stdin=source)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, self.expected(self.body))

    def test_an_unreadable_file_fails_with_its_reason(self):
        missing = os.path.join(self.dir.name, "missing")
        result = self.httpget("-d", "@" + missing, self.url)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode().strip(),
                         "httpget: cannot read %s: No such file or directory" % missing)


if __name__ == "__main__":
    unittest.main()
