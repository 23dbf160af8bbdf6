#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Installs the build tree into a temporary DESTDIR, as a distribution's packaging does, and
checks what lands where: the programs, the desktop entry and metainfo (through the desktop's
own validators), the icons, the manual page and the documentation. From the environment:
BUILD_DIR, SOURCE_DIR, VERSION and APP_ID."""
import gzip
import os
import re
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

BUILD_DIR = os.environ["BUILD_DIR"]
SOURCE_DIR = os.environ["SOURCE_DIR"]
VERSION = os.environ["VERSION"]
APP_ID = os.environ["APP_ID"]
PREFIX = "/usr"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
PROGRAMS = ("vexmira", "vexmira-webmail", "vexmira-scanpage", "vexmira-httpget")
# Each package's install component and the programs it holds.
PACKAGES = {"vexmira": ("notifier", {"vexmira"}), "vexmira-gateway": ("gateway", {"vexmira-webmail"}),
            "vexmira-tools": ("tools", {"vexmira-httpget", "vexmira-scanpage"})}


class InstallLayout(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.root = cls.work.name
        env = dict(os.environ, DESTDIR=cls.root)
        subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", PREFIX, "--strip"], env=env, check=True,
                       capture_output=True)
        cls.installed = sorted(os.path.relpath(os.path.join(top, name), cls.root)
                               for top, _, names in os.walk(cls.root) for name in names)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def path(self, relative):
        return os.path.join(self.root, relative)

    def read(self, relative):
        with open(self.path(relative), "rb") as f:
            return f.read()

    def test_everything_installed_is_expected_and_under_the_prefix(self):
        expected = {"usr/bin/" + name for name in PROGRAMS}
        expected |= {"usr/share/applications/%s.desktop" % APP_ID, "usr/share/metainfo/%s.metainfo.xml" % APP_ID,
                     *("usr/share/doc/%s/%s" % (package, name) for package in PACKAGES
                       for name in ("copyright", "changelog.gz")),
                     "usr/share/icons/hicolor/scalable/apps/%s.svg" % APP_ID}
        expected |= {"usr/share/icons/hicolor/%dx%d/apps/%s.png" % (s, s, APP_ID) for s in ICON_SIZES}
        expected |= {"usr/share/man/man1/%s.1.gz" % name for name in PROGRAMS}
        expected.add("usr/lib/systemd/user/vexmira-gateway.service")
        expected.add("usr/lib/vexmira/modules/libvexmira-sound.so")
        self.assertEqual(set(self.installed), expected)

    def test_each_package_holds_its_programs_with_their_pages_and_its_own_documents(self):
        for package, (component, programs) in PACKAGES.items():
            with tempfile.TemporaryDirectory() as root:
                subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", PREFIX, "--component", component],
                               env=dict(os.environ, DESTDIR=root), check=True, capture_output=True)
                installed = {os.path.relpath(os.path.join(top, name), root)
                             for top, _, names in os.walk(root) for name in names}
            self.assertEqual({p[len("usr/bin/"):] for p in installed if p.startswith("usr/bin/")}, programs)
            self.assertEqual({p for p in installed if p.startswith("usr/share/man/")},
                             {"usr/share/man/man1/%s.1.gz" % name for name in programs})
            self.assertEqual({p for p in installed if p.startswith("usr/share/doc/")},
                             {"usr/share/doc/%s/copyright" % package, "usr/share/doc/%s/changelog.gz" % package})

    def test_the_gateway_service_starts_the_installed_gateway(self):
        unit = self.read("usr/lib/systemd/user/vexmira-gateway.service").decode()
        self.assertIn("\nExecStart=vexmira-webmail --port 8110 --imap-gateway %h/", unit)  # found on systemd's path
        self.assertTrue(os.access(self.path("usr/bin/vexmira-webmail"), os.X_OK))

    def test_programs_are_stripped_executables_that_run(self):
        for name in PROGRAMS:
            path = self.path("usr/bin/" + name)
            self.assertTrue(os.access(path, os.X_OK), name)
            with open(path, "rb") as f:
                elf = f.read()
            self.assertEqual(elf[:4], b"\x7fELF", name)
            for section in (b".symtab", b".comment"):
                self.assertNotIn(section, elf, name + " is not stripped")
        run = subprocess.run([self.path("usr/bin/vexmira"), "--version"], capture_output=True, timeout=30,
                             env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        self.assertEqual(run.stdout, b"vexmira %s\n" % VERSION.encode())
        run = subprocess.run([self.path("usr/bin/vexmira-webmail"), "--help"], capture_output=True, timeout=30)
        self.assertEqual(run.returncode, 0, run.stderr)

    def test_desktop_entry_is_valid_and_names_the_program_and_icon(self):
        desktop = self.path("usr/share/applications/%s.desktop" % APP_ID)
        run = subprocess.run(["desktop-file-validate", desktop], capture_output=True, text=True)
        self.assertEqual((run.returncode, run.stdout + run.stderr), (0, ""))
        entry = dict(line.split("=", 1) for line in self.read(desktop).decode().splitlines() if "=" in line)
        self.assertEqual(entry["Exec"].split()[0], "vexmira")
        self.assertEqual(entry["Icon"], APP_ID)
        self.assertEqual(entry["StartupWMClass"], "vexmira")  # the X window class Qt gives the program
        self.assertIn("Network;", entry["Categories"])

    def test_metainfo_is_valid_and_matches_the_desktop_entry_and_version(self):
        metainfo = self.path("usr/share/metainfo/%s.metainfo.xml" % APP_ID)
        run = subprocess.run(["appstreamcli", "validate", "--no-net", "--no-color", metainfo],
                             capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertNotRegex(run.stdout, r"(?m)^[EW]: ")
        component = ElementTree.parse(metainfo).getroot()
        self.assertEqual(component.findtext("id"), APP_ID)
        self.assertEqual(component.findtext("launchable"), APP_ID + ".desktop")
        self.assertEqual(component.find("releases/release").get("version"), VERSION)
        self.assertEqual(component.findtext("provides/binary"), "vexmira")

    def test_icons_have_their_sizes(self):
        for size in ICON_SIZES:
            png = self.read("usr/share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, APP_ID))
            self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">II", png[16:24]), (size, size))
        svg = ElementTree.fromstring(self.read("usr/share/icons/hicolor/scalable/apps/%s.svg" % APP_ID))
        self.assertEqual(svg.tag, "{http://www.w3.org/2000/svg}svg")
        _, _, width, height = svg.get("viewBox").split()
        self.assertEqual(width, height)

    def test_manual_pages_and_changelog_are_compressed_without_a_time_stamp(self):
        pages = ["usr/share/man/man1/%s.1.gz" % name for name in PROGRAMS]
        for relative in pages + ["usr/share/doc/vexmira/changelog.gz"]:
            compressed = self.read(relative)
            self.assertEqual(compressed[:2], b"\x1f\x8b", relative)
            self.assertEqual(compressed[4:8], b"\0\0\0\0", relative + " carries a time stamp")
        for name, relative in zip(PROGRAMS, pages):
            page = gzip.decompress(self.read(relative)).decode()
            title = name.upper().replace("-", "\\-")
            self.assertRegex(page, r'^\.TH %s 1 "[^"]+" "Vexmira %s"' % (re.escape(title), re.escape(VERSION)))
            run = subprocess.run(["man", "--warnings", "-l", self.path(relative)], capture_output=True, text=True,
                                 env=dict(os.environ, MANWIDTH="80"))
            self.assertEqual((run.returncode, run.stderr), (0, ""), name)
        self.assertIn("minimized", gzip.decompress(self.read(pages[0])).decode())
        changelog = gzip.decompress(self.read("usr/share/doc/vexmira/changelog.gz")).decode()
        self.assertTrue(changelog.startswith("vexmira (%s) " % VERSION), changelog.splitlines()[0])

    def test_copyright_carries_the_licence_text(self):
        copyright_text = self.read("usr/share/doc/vexmira/copyright").decode()
        with open(os.path.join(SOURCE_DIR, "LICENSE")) as f:
            licence = f.read()
        holder = re.search(r"Copyright \(c\) (.*)", licence).group(1)
        self.assertIn("\nCopyright: %s\n" % holder, copyright_text)
        body = licence[licence.index("Permission"):].strip()
        indented = "\n".join(" " + line if line else " ." for line in body.splitlines())
        self.assertIn("License: Expat\n" + indented + "\n", copyright_text)


if __name__ == "__main__":
    unittest.main()
