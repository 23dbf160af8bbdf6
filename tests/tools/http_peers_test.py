#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""httpget against real peers written by others: Python's http.server (whose directory
requests answer with a relocation) and tinyproxy, with and without Basic proxy
authentication. What httpget fetches must equal what curl fetches, byte for byte."""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

HTTPGET = sys.argv.pop(1)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_listening(port, process):
    for _ in range(100):
        if process.poll() is not None:
            raise RuntimeError("peer exited early")
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
            return
        except OSError:
            time.sleep(0.05)
    raise RuntimeError("peer did not start")


class Peers(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()
        os.mkdir(os.path.join(cls.dir, "sub"))
        with open(os.path.join(cls.dir, "sub", "index.html"), "wb") as f:
            f.write(b"<html>index of sub</html>\n")
        cls.blob = bytes((i * 131 + i // 7) % 256 for i in range(300_000))
        with open(os.path.join(cls.dir, "blob.bin"), "wb") as f:
            f.write(cls.blob)
        cls.processes = []
        cls.web = cls.start([sys.executable, "-m", "http.server", str(cls.port_for("web")), "--bind", "127.0.0.1",
                             "--directory", cls.dir], "web")
        cls.start_proxy("proxy", "")
        cls.start_proxy("authproxy", "BasicAuth joe s3cret\n")

    @classmethod
    def port_for(cls, name):
        port = free_port()
        setattr(cls, name + "_port", port)
        return port

    @classmethod
    def start(cls, argv, name):
        process = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.processes.append(process)
        wait_listening(getattr(cls, name + "_port"), process)
        return process

    @classmethod
    def start_proxy(cls, name, extra):
        config = os.path.join(cls.dir, name + ".conf")
        with open(config, "w") as f:
            f.write("Port %d\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\nMaxClients 20\nLogLevel Critical\n%s"
                    % (cls.port_for(name), extra))
        cls.start([shutil.which("tinyproxy") or "/usr/bin/tinyproxy", "-d", "-c", config], name)

    @classmethod
    def tearDownClass(cls):
        for process in cls.processes:
            process.terminate()
            process.wait()
        shutil.rmtree(cls.dir)

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.web_port, path)

    def httpget(self, *args):
        return subprocess.run([HTTPGET, "--max-time", "20", *args], capture_output=True, timeout=60)

    def curl(self, *args):
        return subprocess.run(["curl", "-s", "-S", "-L", "--max-time", "20", *args], capture_output=True,
                              timeout=60)

    def test_direct_relocation_and_binary_body_equal_curl(self):
        for path in ("/sub", "/blob.bin"):
            ours, theirs = self.httpget(self.url(path)), self.curl(self.url(path))
            self.assertEqual(ours.returncode, 0, ours.stderr)
            self.assertEqual(ours.stdout, theirs.stdout)
        self.assertEqual(self.httpget(self.url("/blob.bin")).stdout, self.blob)
        headers = self.httpget("-i", self.url("/sub")).stdout
        self.assertTrue(headers.startswith(b"HTTP/1.0 301 Moved Permanently\r\n"), headers[:60])
        self.assertIn(b"\r\n\r\n<html>index of sub</html>\n", headers)

    def test_missing_file_fails_with_the_servers_reason(self):
        result = self.httpget(self.url("/nothing-here"))
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode().strip(), "httpget: File not found")

    def test_through_tinyproxy_equals_curl(self):
        proxy = "127.0.0.1:%d" % self.proxy_port
        for path in ("/sub", "/blob.bin"):
            ours = self.httpget("--proxy", proxy, self.url(path))
            self.assertEqual(ours.returncode, 0, ours.stderr)
            self.assertEqual(ours.stdout, self.curl("-x", proxy, self.url(path)).stdout)

    def test_tinyproxy_with_basic_authentication(self):
        proxy = "127.0.0.1:%d" % self.authproxy_port
        ours = self.httpget("--proxy", proxy, "--proxy-user", "joe:s3cret", self.url("/blob.bin"))
        self.assertEqual(ours.returncode, 0, ours.stderr)
        self.assertEqual(ours.stdout, self.blob)
        missing = self.httpget("--proxy", proxy, self.url("/blob.bin"))
        self.assertEqual((missing.returncode, missing.stderr.decode().strip()),
                         (1, "httpget: Proxy Authentication Required"))
        # tinyproxy answers wrong credentials with 401 rather than 407; the reason is its own.
        wrong = self.httpget("--proxy", proxy, "--proxy-user", "joe:nope", self.url("/blob.bin"))
        self.assertEqual((wrong.returncode, wrong.stderr.decode().strip()), (1, "httpget: Unauthorized"))


if __name__ == "__main__":
    unittest.main()
