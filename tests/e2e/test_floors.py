"""The floor check of the build (cmake/check_floors.cmake) on small trees of its own."""
import os
import shutil
import subprocess
import tempfile
import unittest

CMAKE = os.environ.get("CMAKE_COMMAND", "cmake")
SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake",
                      "check_floors.cmake")
FLOORS = ('set(ZORVIK_FLOORS "low;side other;top")\n'
          'set(ZORVIK_ABOVE_FLOORS "tests")\n'
          'set(low_SOURCES "low/a.cc")\n'
          'set(side_SOURCES "side/b.cc")\n'
          'set(other_SOURCES "")\n'
          'set(top_SOURCES "top/c.cc")\n')


class FloorCheckTest(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="zorvik-floors-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        with open(os.path.join(self.dir, "floors.cmake"), "w") as f:
            f.write(FLOORS)
        self.write("low/a.h", "#pragma once\n")
        self.write("low/a.cc", '#include "low/a.h"\n#include <vector>\n')
        self.write("side/b.cc", '#include "low/a.h"\n')
        self.write("top/c.cc", '#include "side/b.h"\n#include "low/a.h"\n')
        self.write("top/main.cc", '#include "top/c.h"\n')
        self.write("tests/t.cc", '#include "top/c.h"\n#include <unistd.h>\n')

    def write(self, name, text):
        path = os.path.join(self.dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)

    def check(self):
        stamp = os.path.join(self.dir, "stamp")
        done = subprocess.run([CMAKE, "-DSOURCE_DIR=" + self.dir,
                               "-DLIST_FILE=" + os.path.join(self.dir, "floors.cmake"),
                               "-DSTAMP=" + stamp, "-P", SCRIPT],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        return done.returncode, done.stderr.decode(), os.path.exists(stamp)

    def test_a_tree_that_keeps_its_floors_passes(self):
        code, err, stamped = self.check()
        self.assertEqual((code, err, stamped), (0, "", True))

    def test_every_fault_is_named_and_fails_the_check(self):
        self.write("low/a.cc", '#include "side/b.h"\n#include <windows.h>\n')
        self.write("side/b.cc", '#include "other/o.h"\n#include "strange/s.h"\n')
        self.write("top/unlisted.cc", "\n")
        self.write("stray/s.h", "#pragma once\n")
        code, err, stamped = self.check()
        self.assertNotEqual(code, 0)
        self.assertFalse(stamped)
        faults = [line.strip() for line in err.splitlines() if line.startswith("    ")]
        self.assertEqual(sorted(faults), sorted([
            'low/a.cc: #include "side/b.h": low may use no other floor',
            "low/a.cc: #include <windows.h>: only platform/ includes operating-system headers",
            'side/b.cc: #include "other/o.h": side may use low',
            'side/b.cc: #include "strange/s.h": strange/ is no floor (side may use low)',
            "top/unlisted.cc is in no source list of CMakeLists.txt (top_SOURCES)",
            "stray/ holds sources but is named in neither ZORVIK_FLOORS nor ZORVIK_ABOVE_FLOORS",
        ]))


if __name__ == "__main__":
    unittest.main()
