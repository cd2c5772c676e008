"""One data check for every program: a file that one program refuses, every
program refuses with the same line, writing nothing for it; the notes on a
file that is used; what reaches standard output is checked."""
import os
import re
import resource
import subprocess
import unittest

from harness import (DATA, RUNNER, ZORVIK_BUCKLE, ZORVIK_MAKE, ZORVIK_VIEW, ZorvikTestCase,
                     read, run)

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
NODES = "*** Knotenkoordinaten, Scheiben ***\n"
PLATES = "*** Scheiben b_r t_r alpha_r K_r D_r ***\n"


def lipped():
    with open(os.path.join(EXAMPLES, "lipped_channel.kaf"), encoding="latin-1") as f:
        return f.read()


def replaced(text, old, new):
    assert old in text, old
    return text.replace(old, new)


def scaled(text, factor):
    """The section with its coordinates and widths times factor."""
    lines = text.split("\n")
    for label, rows in ((NODES, (0, 1)), (PLATES, (0,))):
        at = lines.index(label[:-1]) + 1
        for row in rows:
            lines[at + row] = " ".join("%.6g" % (float(v) * factor)
                                       for v in lines[at + row].split()) + " "
    return "\n".join(lines)


def broken_files():
    """{name: (text, reason)} of files that no program uses."""
    text = lipped()
    material = "210 80.7692 0.3 \n"
    return {
        "soft.kaf": (replaced(text, material, "-210 80.7692 0.3 \n"),
                     "E = -210 is not a modulus above 0"),
        "zero.kaf": (replaced(text, material, "0 80.7692 0.3 \n"),
                     "E = 0 is not a modulus above 0"),
        "mue.kaf": (replaced(text, material, "210 80.7692 0.6 \n"),
                    "MUE = 0.6 is not between -1 and 0.5"),
        "negmue.kaf": (replaced(text, material, "210 80.7692 -1.5 \n"),
                       "MUE = -1.5 is not between -1 and 0.5"),
        "one.kaf": (replaced(text, material, "210 80.7692 1.0000001 \n"),
                    "MUE = 1 is not between -1 and 0.5"),
        "shear.kaf": (replaced(text, material, "210 -80 0.3 \n"),
                      "G = -80 is not a modulus above 0"),
        # The web turned up while its nodes run down.
        "web.kaf": (replaced(text, "\n90 0 -90 180 90 \n", "\n90 0 90 180 90 \n"),
                    "plate 3 runs from node 3 to node 4 (length 200, angle -90), but its b_r and "
                    "alpha_r say 200 and 90"),
        # ns 4 in a file of 5 plates: the next list's numbers are not read as this one's.
        "count.kaf": (replaced(text, "\n1 5 6 2 4 0 kN", "\n1 4 6 2 4 0 kN"),
                      "the list of ns = 4 entries after \"*** Anfangs- Endknoten ***\" does not "
                      "end with its line (\"5\" follows)"),
        "count6.kaf": (replaced(text, "\n1 5 6 2 4 0 kN", "\n1 6 6 2 4 0 kN"),
                       "the list of ns = 6 entries after \"*** Anfangs- Endknoten ***\" does not "
                       "end with its line (\"3 4 5 6\" follows)"),
        "node.kaf": (replaced(text, "\n1 2 3 4 5 \n", "\n1 -2147483648 3 4 5 \n"),
                     "plate 2 starts at node -2147483648, which the section does not have"),
        "wide.kaf": (replaced(text, "\n20 75 200 75 20 \n", "\n20 75 1e308 75 20 \n"),
                     "plate 3 runs from node 3 to node 4 (length 200, angle -90), but its b_r and "
                     "alpha_r say 1e+308 and -90"),
        "huge.kaf": (scaled(text, 1e100),
                     "its lengths (up to 2e+102) and thicknesses (up to 2) make its properties too "
                     "large to compute"),
    }


class DataCheckTest(ZorvikTestCase):
    def write(self, name, text):
        with open(self.path(name), "w", encoding="latin-1", newline="\n") as f:
            f.write(text)

    def test_every_program_refuses_the_same_files_for_the_same_reasons(self):
        self.copy("lipped_channel.kaf", source_dir=EXAMPLES)
        for name, (text, reason) in broken_files().items():
            with self.subTest(name):
                self.write(name, text)
                line = "Cannot use %s: %s.\n" % (name, reason)
                code, out, err = run(["-q", "-r", "4", name, "lipped_channel.kaf"], cwd=self.dir)
                self.assertEqual((code, out, err), (1, line + "lipped_channel-rr1.kaf\n"
                                                    "lipped_channel-rr1-shear.kaf\n", ""))
                code, out, _ = run(["--no-picture", name, "lipped_channel.kaf"], cwd=self.dir,
                                   program=ZORVIK_VIEW)
                self.assertEqual(code, 1)
                self.assertTrue(out.startswith(line + " " * 18 + "lipped_channel.kaf\n"), out)
                code, out, _ = run(["--no-picture", "--lengths", "100:1000:4", name,
                                    "lipped_channel.kaf"], cwd=self.dir, program=ZORVIK_BUCKLE)
                self.assertEqual(code, 1)
                self.assertIn(line, out)
                self.assertFalse([n for n in self.files() if n.startswith(name[:-4] + "-")])
        # The dialogue refuses such a file before its questions.
        code, out, _ = run(["soft.kaf"], answers=b"\n\n\n\n\n\n\n", cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.endswith("\nCannot use soft.kaf: E = -210 is not a modulus above "
                                     "0.\nPress key..."), out[-200:])
        self.assertNotIn("Thickness", out)

    def test_a_modulus_too_large_for_a_thickness_says_so(self):
        # E = 1e308 is a modulus; a plate 1.5 thick has no finite stiffness with it.
        self.write("stiff.kaf", replaced(read(os.path.join(DATA, "chan.kaf")).decode(),
                                         "21000 8076.92 0.3 ", "1e308 1e308 0.3 "))
        cannot = (" The thickness in the file, 1.5, cannot be kept: type one.\n Thickness: ")
        code, out, _ = run(["stiff.kaf"], answers=b"2\n1\n\n4\n\n\n\n\n", cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertIn(" Note: E = 1e+308 kN/mm^2 is about 1e+306 times steel's; check the units "
                      "of stiff.kaf.\n", out)
        self.assertIn(cannot + "2\r\n Not a thickness for this material: 2 gives a plate "
                      "stiffness that is not finite.\n Thickness: 1\r\n", out)
        self.assertIn("Radius 4, convex, 4 elements per corner, thickness 1 \n",
                      read(self.path("stiff-rr1.kaf")).decode())
        code, out, _ = run(["-q", "-t", "2", "-r", "4", "stiff.kaf"], cwd=self.dir)
        self.assertEqual((code, out), (1, "Cannot use stiff.kaf: Not a thickness for this "
                                          "material: 2 gives a plate stiffness that is not "
                                          "finite.\n"))

    def test_notes_on_a_file_that_is_used(self):
        # A closed square written as an open chain: its end nodes lie at one
        # point. chan.kaf holds steel's E in kN/cm^2 beside kN and mm.
        text = replaced(lipped(), "\n1 5 6 2 4 0 kN", "\n1 4 5 2 3 0 kN")
        text = replaced(text, "\n1 2 3 4 5 \n2 3 4 5 6 \n", "\n1 2 3 4 \n2 3 4 5 \n")
        text = replaced(text, NODES + "0 -1.22465e-15 -75 -75 -1.42109e-14 -1.54355e-14 \n"
                        "0 -20 -20 180 180 160 \n1 2 2 2 2 1 \n",
                        NODES + "0 -100 -100 0 0 \n0 0 -100 -100 0 \n1 2 2 2 1 \n")
        text = replaced(text, PLATES + "20 75 200 75 20 \n2 2 2 2 2 \n90 0 -90 180 90 \n"
                        "153.846 153.846 153.846 153.846 153.846 \n",
                        PLATES + "100 100 100 100 \n2 2 2 2 \n0 90 180 -90 \n"
                        "153.846 153.846 153.846 153.846 \n")
        self.write("tube.kaf", replaced(text, "\n1 6 \n", "\n1 5 \n"))
        self.copy("chan.kaf")
        tube = ("Note: nodes 1 and 5 of tube.kaf lie at one point; the section is analysed as "
                "open there.\n")
        modulus = ("Note: E = 21000 kN/mm^2 is about 100 times steel's; check the units of "
                   "chan.kaf.\n")
        code, out, _ = run(["--no-picture", "tube.kaf", "chan.kaf"], cwd=self.dir,
                           program=ZORVIK_VIEW)
        self.assertEqual(code, 0)
        self.assertEqual(out.split("\n")[:3], [tube[:-1], modulus[:-1],
                                               " " * 22 + "tube.kaf      chan.kaf"])
        code, out, _ = run(["-r", "4", "tube.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertIn(" The thickness is 2\n " + tube, out)
        code, out, _ = run(["--no-picture", "--lengths", "100:1000:4", "tube.kaf", "chan.kaf"],
                           cwd=self.dir, program=ZORVIK_BUCKLE)
        self.assertEqual(code, 0)
        self.assertTrue(out.startswith(tube + modulus + "Load: compression\n"), out[:400])

    def test_an_empty_output_name_is_refused(self):
        self.copy("angle.kaf", source_dir=EXAMPLES)
        for option, also in (("--csv", ", or - for standard output"), ("--svg", "")):
            code, out, err = run([option, "", "angle.kaf"], cwd=self.dir, program=ZORVIK_VIEW)
            self.assertEqual((code, out, err.replace("\r\n", "\n")),
                             (2, "", "zorvik-view: The option %s needs a file name%s: an empty "
                                     "name names no file.\n" % (option, also)))
        for option, also in (("--csv", True), ("--table-csv", True), ("--modes-csv", True),
                             ("--svg", False), ("--modes-svg", False)):
            code, out, err = run([option, "", "angle.kaf"], cwd=self.dir, program=ZORVIK_BUCKLE)
            self.assertEqual((code, out, err.replace("\r\n", "\n")),
                             (2, "", "zorvik-buckle: The option %s needs a file name%s: an "
                                     "empty name names no file.\n"
                                     % (option, ", or - for standard output" if also else "")))
        self.assertEqual(self.files(), ["angle.kaf"])
        # With the table on standard output, the picture is named on standard error.
        done = subprocess.run(RUNNER + [ZORVIK_VIEW, "--csv", "-", "angle.kaf"], cwd=self.dir,
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=60)
        self.assertEqual(done.returncode, 0)
        self.assertTrue(done.stdout.startswith(b"file,A [mm^2],"))
        self.assertEqual(done.stderr.replace(b"\r\n", b"\n"), b"Picture: angle.svg\n")

    @unittest.skipIf(RUNNER or not os.path.exists("/dev/full"), "needs /dev/full")
    def test_a_full_standard_output_ends_every_program_with_exit_code_1(self):
        self.copy("angle.kaf", source_dir=EXAMPLES)
        runs = [("zorvik", [os.environ["ZORVIK"], "-q", "-r", "2", "angle.kaf"]),
                ("zorvik", [os.environ["ZORVIK"], "--help"]),
                ("zorvik-make", [ZORVIK_MAKE, "angle", "50", "50", "2", "-o", "m.kaf"])]
        for program, arguments in runs:
            with self.subTest(arguments):
                with open("/dev/full", "wb") as full:
                    done = subprocess.run(arguments, cwd=self.dir, stdin=subprocess.DEVNULL,
                                          stdout=full, stderr=subprocess.PIPE, timeout=60)
                self.assertEqual((done.returncode, done.stderr),
                                 (1, program.encode() + b": standard output could not be "
                                     b"written: No space left on device.\n"))
        # The files themselves were written: only their names were lost.
        self.assertEqual(self.files(), ["angle-rr1-shear.kaf", "angle-rr1.kaf", "angle.kaf",
                                        "m.kaf"])

    @unittest.skipIf(RUNNER or os.environ.get("ZORVIK_SANITIZED"),
                     "a memory limit of the process: POSIX, and no sanitizer's reserve")
    def test_a_file_too_large_for_the_memory_is_named_and_the_others_shown(self):
        self.copy("chan.kaf")
        self.copy("angle.kaf", source_dir=EXAMPLES)
        code, _, _ = run(["-q", "-r", "1", "-e", "0", "-d", "400000,400000,400000", "chan.kaf"],
                         cwd=self.dir)
        self.assertEqual(code, 0)
        os.rename(self.path("chan-rr1.kaf"), self.path("big.kaf"))

        def memory_limit():
            resource.setrlimit(resource.RLIMIT_AS, (120 << 20, 120 << 20))
        code, out, err = run(["--no-picture", "big.kaf", "angle.kaf"], cwd=self.dir,
                             program=ZORVIK_VIEW, preexec_fn=memory_limit)
        self.assertEqual((code, err), (1, ""))
        self.assertTrue(re.match(r"Cannot use big\.kaf: out of memory while (reading|measuring) "
                                 r"it\.\n +angle\.kaf\n", out), out[:300])

    def test_a_shear_twin_is_analysed_once_and_named(self):
        self.copy("lipped_channel.kaf", source_dir=EXAMPLES)
        run(["-q", "-r", "4", "lipped_channel.kaf"], cwd=self.dir)
        code, out, _ = run(["--no-picture", "--lengths", "100:1000:4", "lipped_channel.kaf",
                            "lipped_channel-rr1-shear.kaf", "lipped_channel-rr1.kaf"],
                           cwd=self.dir, program=ZORVIK_BUCKLE)
        self.assertEqual(code, 0)
        lines = out.split("\n")
        self.assertEqual(lines[0], "Note: lipped_channel-rr1-shear.kaf and lipped_channel-rr1.kaf "
                                   "hold the same section; it is analysed once, as "
                                   "lipped_channel-rr1.kaf.")
        self.assertEqual(lines[2].split(), ["lipped_channel.kaf", "lipped_channel-rr1.kaf"])
        # Another thickness is another section.
        self.write("thick.kaf", replaced(lipped(), "\n2 2 2 2 2 \n", "\n2 2 2 2 2.5 \n"))
        code, out, _ = run(["--no-picture", "--lengths", "100:1000:4", "lipped_channel.kaf",
                            "thick.kaf"], cwd=self.dir, program=ZORVIK_BUCKLE)
        self.assertEqual(code, 0)
        self.assertEqual(out.split("\n")[1].split(), ["lipped_channel.kaf", "thick.kaf"])

    @unittest.skipIf(RUNNER or os.name != "posix", "a signal on a pseudo-terminal")
    def test_the_progress_line_ends_its_line_when_a_signal_ends_the_run(self):
        import pty
        import select
        import signal
        self.copy("lipped_channel.kaf", source_dir=EXAMPLES)
        leader, follower = pty.openpty()
        process = subprocess.Popen(
            [ZORVIK_BUCKLE, "--no-picture", "--strips", "16", "--ends", "C-C", "--member",
             "500:8000:60", "lipped_channel.kaf"], cwd=self.dir, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=follower)
        os.close(follower)
        seen = b""
        while b"solves" not in seen and process.poll() is None:
            if select.select([leader], [], [], 120)[0]:
                seen += os.read(leader, 1024)
        self.assertIn(b"zorvik-buckle: file 1 of 1, ", seen)
        process.send_signal(signal.SIGINT)
        self.assertEqual(process.wait(timeout=60), -signal.SIGINT)
        while select.select([leader], [], [], 1)[0]:
            try:
                chunk = os.read(leader, 1024)
            except OSError:
                break
            if not chunk:
                break
            seen += chunk
        os.close(leader)
        self.assertTrue(seen.endswith(b"\r\n") or seen.endswith(b"\n"), seen[-80:])


if __name__ == "__main__":
    unittest.main()
