#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs the licence-line tool on a small git tree of every kind of file it meets."""
import os
import stat
import subprocess
import sys
import tempfile
import unittest

ADD_SPDX = sys.argv.pop(1)

FILES = {
    "src/a.cpp": b"#include <a.h>\n",
    "src/a.h": b"#pragma once\n",
    "cmake/v.h.in": b"#define V 1\n",
    "CMakeLists.txt": b"project(X)\n",
    "cmake/t.cmake": b"set(A 1)",  # no newline at the end
    "scripts/tool": b"#!/usr/bin/env bash\necho hi\n",
    "scripts/coded.py": b"#!/usr/bin/env python3\n# -*- coding: latin-1 -*-\nprint('\xe9')\n",
    "tests/t.sh": b"set -e\n",
    "tagged.cpp": b"// SPDX-License-Identifier: MIT\nint x;\n",
    "README.md": b"# Title\n",
    "notes": b"plain text without a shebang\n",
    "icon.png": b"\x89PNG\r\n\x1a\n",
}
EXPECTED = {
    "src/a.cpp": b"// SPDX-License-Identifier: MIT\n#include <a.h>\n",
    "src/a.h": b"// SPDX-License-Identifier: MIT\n#pragma once\n",
    "cmake/v.h.in": b"// SPDX-License-Identifier: MIT\n#define V 1\n",
    "CMakeLists.txt": b"# SPDX-License-Identifier: MIT\nproject(X)\n",
    "cmake/t.cmake": b"# SPDX-License-Identifier: MIT\nset(A 1)",
    "scripts/tool": b"#!/usr/bin/env bash\n# SPDX-License-Identifier: MIT\necho hi\n",
    "scripts/coded.py": b"#!/usr/bin/env python3\n# -*- coding: latin-1 -*-\n# SPDX-License-Identifier: MIT\nprint('\xe9')\n",
    "tests/t.sh": b"# SPDX-License-Identifier: MIT\nset -e\n",
}


class AddSpdx(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.tree = self.work.name
        subprocess.run(["git", "init", "-q", self.tree], check=True)
        for relative, content in FILES.items():
            path = os.path.join(self.tree, relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(content)
        os.chmod(os.path.join(self.tree, "scripts/tool"), 0o755)
        os.makedirs(os.path.join(self.tree, "build"))
        with open(os.path.join(self.tree, "build/generated.h"), "wb") as f:
            f.write(b"int y;\n")
        with open(os.path.join(self.tree, ".gitignore"), "w") as f:
            f.write("/build/\n")

    def tearDown(self):
        self.work.cleanup()

    def run_tool(self, *args):
        return subprocess.run([sys.executable, ADD_SPDX, *args, self.tree], capture_output=True, text=True)

    def contents(self):
        result = {}
        for relative in list(FILES) + ["build/generated.h"]:
            with open(os.path.join(self.tree, relative), "rb") as f:
                result[relative] = f.read()
        return result

    def test_check_lists_the_files_and_writes_nothing(self):
        run = self.run_tool("--check")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(sorted(line.split(": ")[1] for line in run.stdout.splitlines()), sorted(EXPECTED))
        self.assertEqual(self.contents(), {**FILES, "build/generated.h": b"int y;\n"})

    def test_adds_the_line_once_in_the_right_place(self):
        self.assertEqual(self.run_tool().returncode, 0)
        after = self.contents()
        self.assertEqual(after, {**FILES, **EXPECTED, "build/generated.h": b"int y;\n"})
        self.assertTrue(os.stat(os.path.join(self.tree, "scripts/tool")).st_mode & stat.S_IXUSR)
        again = self.run_tool()
        self.assertEqual((again.returncode, again.stdout), (0, ""))
        self.assertEqual(self.contents(), after)
        self.assertEqual(self.run_tool("--check").returncode, 0)


class ThisTree(unittest.TestCase):
    def test_every_source_file_carries_the_line(self):
        tree = os.path.join(os.path.dirname(os.path.abspath(ADD_SPDX)), "..")
        if subprocess.run(["git", "-C", tree, "rev-parse"], capture_output=True).returncode != 0:
            self.skipTest("not a git work tree")
        run = subprocess.run([sys.executable, ADD_SPDX, "--check", tree], capture_output=True, text=True)
        self.assertEqual((run.returncode, run.stdout), (0, ""))


if __name__ == "__main__":
    unittest.main()
