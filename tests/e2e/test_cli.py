"""Program entry: banner, usage, missing files, exit codes."""
import os
import unittest

from harness import (BANNER, RUNNER, USAGE, ZORVIK, ZORVIK_BUCKLE, ZORVIK_MAKE, ZORVIK_VIEW,
                     ZorvikTestCase, read, run)


class EveryProgramTest(ZorvikTestCase):
    def test_help_version_equals_forms_and_refusals_in_every_program(self):
        self.copy("chan.kaf")
        programs = (("zorvik", ZORVIK, "Usage: zorvik FILE.kaf"),
                    ("zorvik-view", ZORVIK_VIEW, "zorvik-view: section properties"),
                    ("zorvik-make", ZORVIK_MAKE, "Usage: zorvik-make SHAPE"))
        for name, program, usage in programs:
            with self.subTest(name):
                code, out, err = run(["--help"], cwd=self.dir, program=program)
                self.assertEqual((code, err), (0, ""))
                self.assertTrue(out.startswith(usage))
                self.assertIn("      --version              the version\n", out)
                code, out, _ = run(["--version"], cwd=self.dir, program=program)
                self.assertEqual((code, out.replace("\r\n", "\n")), (0, name + " 0.64\n"))
                code, out, err = run(["--colour=red", "chan.kaf"], cwd=self.dir, program=program)
                self.assertEqual((code, out, err.replace("\r\n", "\n")),
                                 (2, "", name + ": Unknown option: --colour=red. " + name +
                                  " --help lists the options.\n"))
        # --name=value in each program.
        code, out, _ = run(["--radius=3", "--output-dir=.", "-q", "chan.kaf"], cwd=self.dir)
        self.assertEqual((code, out), (0, "./chan-rr1.kaf\n./chan-rr1-shear.kaf\n"))
        code, _, _ = run(["--no-picture", "--csv=t.csv", "chan.kaf"], cwd=self.dir,
                         program=ZORVIK_VIEW)
        self.assertEqual(code, 0)
        code, _, _ = run(["angle", "50", "40", "2", "--output=a.kaf", "--mue=0.25"],
                         cwd=self.dir, program=ZORVIK_MAKE)
        self.assertEqual(code, 0)
        self.assertIn("0.25", read(self.path("a.kaf")).decode())
        self.assertEqual(self.files(), ["a.kaf", "chan-rr1-shear.kaf", "chan-rr1.kaf", "chan.kaf",
                                        "t.csv"])

    def test_a_command_line_without_a_file_is_refused_alike(self):
        for name, program, arguments in (("zorvik", ZORVIK, ["-q"]),
                                         ("zorvik-view", ZORVIK_VIEW, []),
                                         ("zorvik-buckle", ZORVIK_BUCKLE, ["--no-picture"])):
            with self.subTest(name):
                code, out, err = run(arguments, cwd=self.dir, program=program)
                self.assertEqual((code, out, err.replace("\r\n", "\n")),
                                 (2, "", name + ": No section file given. " + name +
                                  " --help lists the options.\n"))
        self.assertEqual(self.files(), [])

    def test_a_thickness_option_without_finite_stiffness_refuses_the_file(self):
        self.copy("chan.kaf")
        code, out, err = run(["-q", "-t", "1e102", "-r", "3", "chan.kaf"], cwd=self.dir)
        self.assertEqual((code, out, err),
                         (1, "Cannot use chan.kaf: Not a thickness for this material: 1e102 "
                             "gives a plate stiffness that is not finite.\n", ""))
        self.assertEqual(self.files(), ["chan.kaf"])


class OutputPlanTest(ZorvikTestCase):
    def test_an_output_is_never_an_input_nor_another_output(self):
        self.copy("chan.kaf", "a.kaf")
        os.mkdir(self.path("d1"))
        os.mkdir(self.path("d2"))
        os.mkdir(self.path("out"))
        self.copy("chan.kaf", os.path.join("d1", "a.kaf"))
        self.copy("chan.kaf", os.path.join("d2", "a.kaf"))
        self.copy("chan.kaf", "x.kaf")
        self.copy("chan.kaf", "x-rr1.kaf")
        absolute = self.path("a.kaf")
        cases = [
            (ZORVIK_VIEW, ["--no-picture", "--csv", "./a.kaf", "a.kaf"],
             "zorvik-view: ./a.kaf is one of the files given.\n"),
            (ZORVIK_VIEW, ["--csv", "t.csv", "--svg", "d1/../t.csv", "a.kaf"],
             "zorvik-view: d1/../t.csv would be written as both the table and the picture.\n"),
            (ZORVIK_BUCKLE, ["--no-picture", "--csv", absolute, "a.kaf"],
             "zorvik-buckle: %s is one of the files given.\n" % absolute),
            (ZORVIK, ["-q", "-r", "3", "-o", "out", "d1/a.kaf", "d2/a.kaf"],
             "zorvik: out/a-rr1.kaf would be written for both d1/a.kaf and d2/a.kaf.\n"),
            (ZORVIK, ["-q", "-r", "3", "x.kaf", "x-rr1.kaf"],
             "zorvik: x-rr1.kaf is one of the files given.\n"),
            (ZORVIK, ["-q", "--radii", "2:3:2", "a.kaf", "d1/../a.kaf"],
             "zorvik: d1/../a-rr1.kaf would be written for both a.kaf and d1/../a.kaf.\n"),
        ]
        if not RUNNER:
            os.link(self.path("x.kaf"), self.path("linked.kaf"))
            cases.append((ZORVIK_VIEW, ["--no-picture", "--csv", "linked.kaf", "x.kaf"],
                          "zorvik-view: linked.kaf is one of the files given.\n"))
        before = {name: read(self.path(name)) for name in self.files() if name.endswith(".kaf")}
        for program, arguments, message in cases:
            with self.subTest(arguments):
                code, out, err = run(arguments, cwd=self.dir, program=program)
                self.assertEqual((code, out, err.replace("\r\n", "\n")), (2, "", message))
        self.assertEqual(os.listdir(self.path("out")), [])
        self.assertEqual({name: read(self.path(name)) for name in before}, before)
        self.assertEqual(sorted(list(before) + ["d1", "d2", "out"]), self.files())


class EntryTest(ZorvikTestCase):
    def test_no_argument_shows_banner_and_usage_and_waits_for_a_key(self):
        code, out, _ = run([], answers=b"x")
        self.assertEqual(code, 1)
        self.assertEqual(out, BANNER + USAGE)

    def test_missing_file_is_named_as_given(self):
        code, out, _ = run(["no such dir/chan %s.kaf"], cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out, BANNER + "Datei no such dir/chan %s.kaf nicht gefunden!\n" + USAGE)

    def test_second_argument_is_ignored(self):
        self.copy("chan.kaf")
        code, out, _ = run(["chan.kaf", "ignored.kaf"], answers=b"\n0\n", cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.startswith(BANNER + "========================\n"))
        self.assertTrue(out.endswith("How many radiuses shall be evaluated [return=1]? 0\r"))

    def test_directory_passes_the_existence_test_and_is_refused_by_the_loader(self):
        os.mkdir(self.path("section.kaf"))
        code, out, _ = run(["section.kaf"], cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out, BANNER + "Cannot use section.kaf: it is not a regular file.\n"
                         "Press key...")


if __name__ == "__main__":
    unittest.main()
