#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The program as a desktop starts it: the command line answered without a display, and one
running program per user, display and settings folder, with real processes under the offscreen
platform. The program comes from the environment: VEXMIRA, and VERSION its expected version."""
import glob
import os
import signal
import socket
import subprocess
import tempfile
import time
import unittest

VEXMIRA = os.environ["VEXMIRA"]
VERSION = os.environ["VERSION"]
SETTINGS = [b"[DATA]", b"USERID=alice", b"SAVEPASS=1", b"PASS=" + bytes(c + 128 for c in b"wonderland"),
            b"TIME=7", b"TIMEENABLED=1", b"HEADERS=0", b"PNAME=", b"SAVEPASSP=0", b"PROXYPASS=",
            b"PROXY=127.0.0.1", b"PORT=1", b"WAVFILE=", b"CHECKED=0", b"WAVPLAY=0"]
QUICK = 5  # seconds: far more than a start takes; only a hang exceeds it


def headless_environment():
    """No display at all: a program that started its GUI here would abort."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["QT_QPA_PLATFORM"] = "xcb"
    return env


class CommandLine(unittest.TestCase):
    def run_program(self, *args):
        return subprocess.run([VEXMIRA, *args], env=headless_environment(), capture_output=True, timeout=30)

    def test_help_and_version_answer_without_a_display(self):
        for option in ("--help", "-h"):
            run = self.run_program(option)
            self.assertEqual((run.returncode, run.stderr), (0, b""), option)
            self.assertIn(b"--minimized", run.stdout)
            self.assertIn(b"--version", run.stdout)
            self.assertNotIn(b"-platform", run.stdout)  # Qt's options are accepted, not advertised
        for option in ("--version", "-v"):
            run = self.run_program(option)
            self.assertEqual((run.returncode, run.stdout, run.stderr), (0, b"vexmira %s\n" % VERSION.encode(), b""))
        # Qt's own options are passed over, with their values, on the way to the answer.
        run = self.run_program("-style", "fusion", "-reverse", "--version")
        self.assertEqual((run.returncode, run.stdout), (0, b"vexmira %s\n" % VERSION.encode()))

    def test_usage_errors_are_reported_without_a_display(self):
        for args, text in ((["--bogus"], b"'bogus'"), (["stray"], b"'stray'"), (["-style"], b"-style")):
            run = self.run_program(*args)
            self.assertEqual((run.returncode, run.stdout), (2, b""), args)
            self.assertTrue(run.stderr.startswith(b"vexmira: "), run.stderr)
            self.assertIn(text, run.stderr)
            self.assertIn(b"--help", run.stderr)


class OneInstance(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.runtime = os.path.join(self.work.name, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.communicate()
        self.work.cleanup()

    def config(self, name="config"):
        directory = os.path.join(self.work.name, name)
        if not os.path.isdir(directory):
            os.mkdir(directory, 0o700)
            with open(os.path.join(directory, "vexmira.ini"), "wb") as f:
                f.write(b"\r\n".join(SETTINGS) + b"\r\n")
        return directory

    def environment(self, config):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update(QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=config)
        return env

    def start(self, config, *args):
        process = subprocess.Popen([VEXMIRA, *args], env=self.environment(config), stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.processes.append(process)
        return process

    def sockets(self):
        return sorted(glob.glob(os.path.join(self.runtime, "vexmira-*.socket")))

    def wait_answering(self, count=1):
        """Waits until count programs listen; returns their socket paths."""
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            answering = [path for path in self.sockets() if self.connectable(path)]
            if len(answering) >= count:
                return answering
            time.sleep(0.05)
        self.fail("the program did not start listening: %r" % self.sockets())

    @staticmethod
    def connectable(path):
        with socket.socket(socket.AF_UNIX) as s:
            try:
                s.connect(path)
                return True
            except OSError:
                return False

    def start_again(self, config):
        """A second start, which should raise the first and end at once."""
        began = time.monotonic()
        run = subprocess.run([VEXMIRA], env=self.environment(config), capture_output=True, timeout=30)
        return run, time.monotonic() - began

    def stop(self, process):
        process.send_signal(signal.SIGTERM)
        _, err = process.communicate(timeout=30)
        self.assertEqual(process.returncode, 0, err)

    def saved(self, config):
        with open(os.path.join(config, "vexmira.ini"), "rb") as f:
            return f.read().split(b"\r\n")

    def test_second_start_raises_the_first_and_leaves_its_settings(self):
        config = self.config()
        first = self.start(config)
        self.wait_answering()
        before = os.stat(os.path.join(config, "vexmira.ini"))

        # A stray client that never finishes its line does not stand in the way.
        with socket.socket(socket.AF_UNIX) as stray:
            stray.connect(self.sockets()[0])
            stray.sendall(b"x" * 200)
            run, took = self.start_again(config)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertLess(took, QUICK)
        run, _ = self.start_again(config)
        self.assertEqual(run.returncode, 0, run.stderr)

        after = os.stat(os.path.join(config, "vexmira.ini"))
        self.assertEqual((after.st_mtime_ns, after.st_size), (before.st_mtime_ns, before.st_size))
        self.assertIsNone(first.poll())
        self.stop(first)
        saved = self.saved(config)
        for line in SETTINGS[1:]:
            self.assertIn(line, saved)
        self.assertEqual(self.sockets(), [])  # the socket goes with the program

    def test_lock_of_a_killed_program_is_taken_over(self):
        config = self.config()
        killed = self.start(config)
        self.wait_answering()
        killed.kill()
        killed.wait()
        self.assertEqual(len(glob.glob(os.path.join(self.runtime, "vexmira-*.lock"))), 1)

        # Started minimised: the settings are still read at start and kept at the end.
        successor = self.start(config, "--minimized")
        self.wait_answering()
        run, took = self.start_again(config)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertLess(took, QUICK)
        self.stop(successor)
        self.assertIn(b"USERID=alice", self.saved(config))

    def test_other_settings_folder_runs_its_own_program(self):
        first = self.start(self.config("one"))
        self.wait_answering()
        other = self.start(self.config("two"))
        self.assertEqual(len(self.wait_answering(2)), 2)
        self.stop(other)
        self.stop(first)


if __name__ == "__main__":
    unittest.main()
