# SPDX-License-Identifier: MIT
"""The webmail emulator as a process for the end-to-end tests: started on a port of the
system's choice, stopped with a signal, with its log, descriptors and resident size at hand.
The programs come from the environment: WEBMAIL, SCANPAGE and HTTPGET (set by CTest)."""
import os
import re
import resource
import select
import signal
import socket
import subprocess
import tempfile

WEBMAIL = os.environ.get("WEBMAIL", "build/tools/webmail/webmail")
SCANPAGE = os.environ.get("SCANPAGE", "build/tools/scanpage/scanpage")
HTTPGET = os.environ.get("HTTPGET", "build/tools/httpget/httpget")

LOGIN_SERVER = "http://192.0.2.10"
MAIL_SERVER = "http://192.0.2.20"


class Emulator:
    def __init__(self, *args, max_descriptors=None, env=None):
        """max_descriptors: the emulator's descriptor limit (ulimit -n), to make it run out;
        env: its environment instead of ours."""
        self.log_file = tempfile.TemporaryFile()  # a pipe nobody reads would fill and stall it

        def limit():
            if max_descriptors is not None:
                resource.setrlimit(resource.RLIMIT_NOFILE, (max_descriptors, max_descriptors))

        self.process = subprocess.Popen([WEBMAIL, "--port", "0", *args], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=self.log_file, preexec_fn=limit, env=env)
        ready, _, _ = select.select([self.process.stdout], [], [], 10)
        line = self.process.stdout.readline().decode() if ready else ""
        match = re.fullmatch(r"webmail: listening on 127\.0\.0\.1:(\d+)\n", line)
        if not match:
            self.process.kill()
            raise RuntimeError("webmail did not start: %r %r" % (line, self.log()))
        self.port = int(match.group(1))
        self.proxy = "127.0.0.1:%d" % self.port

    def __enter__(self):
        return self

    def __exit__(self, exc_type, *exc):
        status = self.stop() if self.process.poll() is None else self.process.returncode
        if exc_type is None and status != 0:
            raise AssertionError("webmail ended with status %d: %s" % (status, self.log()[-2000:]))

    def stop(self, sig=signal.SIGTERM):
        """Stops it with `sig`; returns the exit status. The log stays readable."""
        self.process.send_signal(sig)
        try:
            return self.process.wait(10)
        finally:
            self.process.stdout.close()
            self.final_log = self.log()
            self.log_file.close()

    def log(self):
        if self.log_file.closed:
            return self.final_log
        self.log_file.seek(0)
        return self.log_file.read().decode("latin-1")

    def descriptors(self):
        return len(os.listdir("/proc/%d/fd" % self.process.pid))

    def cpu_seconds(self):
        with open("/proc/%d/stat" % self.process.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def resident_kib(self):
        with open("/proc/%d/status" % self.process.pid) as f:
            return int(re.search(r"VmRSS:\s+(\d+) kB", f.read()).group(1))

    def exchange(self, request, shut_write=False, timeout=10):
        """Sends raw bytes and reads the answer until the server closes."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=timeout) as s:
            s.sendall(request)
            if shut_write:
                s.shutdown(socket.SHUT_WR)
            return read_to_end(s)


def read_to_end(s):
    chunks = []
    while True:
        try:
            chunk = s.recv(65536)
        except ConnectionResetError:
            raise AssertionError("the server reset the connection instead of closing it")
        if not chunk:
            return b"".join(chunks)
        chunks.append(chunk)


def login_request(login="alice", password="wonderland"):
    body = ("login=%s&passwd=%s&enter=Enter&frames=no&curmbox=ACTIVE&js=no" % (login, password)).encode()
    return (b"POST %s/cgi-bin/start HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
            b"Content-Length: %d\r\n\r\n%s" % (LOGIN_SERVER.encode(), len(body), body))


def get_request(url):
    return b"GET %s HTTP/1.0\r\n\r\n" % url.encode()


def status_of(answer):
    return int(answer.split(b" ", 2)[1])


def body_of(answer):
    return answer.split(b"\r\n\r\n", 1)[1]


def session_url(page):
    """The logout URL: the first link to the mail server."""
    return re.search(rb'href="(http://192\.0\.2\.20/[^"]*)"', page).group(1).decode()
