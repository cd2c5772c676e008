"""zorvik-buckle as a child process: the table, both CSVs parsed back, the
picture inside its view box, and every refusal with its exit code."""
import csv
import io
import os
import re
import resource
import shutil
import subprocess
import unittest

from harness import (DATA, RUNNER, ZORVIK_BUCKLE, ZORVIK_MAKE, ZorvikTestCase, buckle, command,
                     run, table)

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


def csv_rows(path):
    with open(path, newline="") as f:
        return list(csv.reader(f))


class BuckleTest(ZorvikTestCase):
    def example(self, name, as_name=None):
        shutil.copy(os.path.join(EXAMPLES, name), self.path(as_name or name))

    def make(self, *args):
        code, _, err = run(list(args), cwd=self.dir, program=ZORVIK_MAKE)
        self.assertEqual(code, 0, err)

    def with_material(self, source, name, material):
        """A copy of an example with another E, G, MUE line."""
        with open(os.path.join(EXAMPLES, source)) as f:
            text = f.read()
        with open(self.path(name), "w") as f:
            f.write(text.replace("\n210 80.7692 0.3 \n", "\n" + material + " \n"))

    def test_a_series_in_one_table_two_csvs_and_a_picture(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, _, _ = run(["-q", "--radii", "4:8:2", "lc.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        files = ["lc.kaf", "lc-rr1.kaf", "lc-rr2.kaf"]
        code, out, err = buckle(["--table-csv", "t.csv", "--csv", "c.csv"] + files, self.dir)
        self.assertEqual((code, err), (0, ""))
        lines = out.splitlines()
        self.assertEqual(lines[0], "Load: compression")
        self.assertEqual(lines[1].split(), files)
        self.assertTrue(lines[3].startswith("length_local [mm]"))
        self.assertEqual(lines[-4:], ["Table: t.csv", "Curves: c.csv", "Picture: lc-buckle.svg",
                                      "Mode picture: lc-buckle-modes.svg"])

        with open(self.path("t.csv"), newline="") as f:
            table = list(csv.reader(f))
        head = table[0]
        self.assertEqual(head[:3], ["file", "length_local [mm]", "lambda_local [-]"])
        self.assertEqual([row[0] for row in table[1:]], files)
        field = lambda row, name: table[row][head.index(name)]
        # Local and distortional minima of the sharp channel, in order of length.
        L1, lambda1 = float(field(1, "length_local [mm]")), float(field(1, "lambda_local [-]"))
        L2 = float(field(1, "length_distortional [mm]"))
        self.assertLess(L1, L2)
        self.assertGreater(lambda1, 0)
        self.assertGreater(float(field(1, "lambda_distortional [-]")), 0)
        # Compression: P = lambda A, and the comparison with the first file.
        self.assertAlmostEqual(float(field(1, "P_local [kN]")) / lambda1, 780.0, delta=1.0)
        self.assertEqual(field(1, "change_local [%]"), "")
        self.assertAlmostEqual(float(field(2, "change_local [%]")),
                               100 * (float(field(2, "lambda_local [-]")) / lambda1 - 1), places=9)

        with open(self.path("c.csv"), newline="") as f:
            curves = list(csv.reader(f))
        self.assertEqual(curves[0], ["half-wavelength [mm]"] + files)
        self.assertEqual(len(curves), 61)
        lengths = [float(row[0]) for row in curves[1:]]
        self.assertAlmostEqual(lengths[0], 20.0, places=9)
        self.assertAlmostEqual(lengths[-1], 20000.0, places=6)
        # No listed point near the refined first minimum lies below it.
        near = [float(row[1]) for row in curves[1:] if L1 / 1.5 < float(row[0]) < L1 * 1.5]
        self.assertTrue(near)
        self.assertGreaterEqual(min(near), lambda1 * (1 - 1e-9))

        with open(self.path("lc-buckle.svg")) as f:
            svg = f.read()
        width, height = (float(v) for v in re.search(r'viewBox="0 0 ([\d.]+) ([\d.]+)"', svg).groups())
        numbers = [float(v) for v in re.findall(r'(?:x|y|x1|y1|x2|y2|cx|cy)="(-?[\d.e+-]+)"', svg)]
        points = [float(v) for p in re.findall(r'points="([^"]*)"', svg) for pair in p.split()
                  for v in pair.split(",")]
        self.assertTrue(numbers and points)
        for value in numbers + points:
            self.assertTrue(0 <= value <= max(width, height), value)
        self.assertIn("lc-rr1.kaf: Radius 4, convex, 4 elements per corner", svg)

    def test_refusals(self):
        self.example("channel.kaf")
        cases = {
            ("--lengths", "0:100:10"): "Not half-wavelengths: 0:100:10.",
            ("--lengths", "10:100:2"): "Not half-wavelengths: 10:100:2.",
            ("--load", "torsion"): "Not a load: torsion. Type compression, M1, M2, My, Mz, -M1, -M2, -My "
                                  "or -Mz.",
            ("--strips", "0"): "Not a number of strips: 0. Type a whole number from 1 up.",
            ("--csv", "-", "--table-csv", "-"): "--table-csv and --csv cannot both go to "
                                                "standard output.",
            ("--lengths", "155,100"): "Not half-wavelengths: 155,100. Type a length above 0 (155), "
                                      "lengths in increasing order (100,155,700) or "
                                      "FIRST:LAST:COUNT",
            ("--member", "0"): "Not member lengths: 0.",
            ("--ends", "S-F", "--member", "1000"): "Not end conditions: S-F. Type S-S, C-C, S-C, "
                                                   "C-F or C-G.",
            ("--terms", "0", "--member", "1000"): "Not a number of terms: 0. Type a whole number "
                                                  "from 1 to 1000.",
            ("--actions", "N=1,N=2"): "Not actions: N=1,N=2. Type NAME=VALUE pairs joined by "
                                      "commas, NAME one of N, M1, M2, My, Mz",
            ("--actions", "M1=0"): "Not actions: M1=0.",
            ("--ends", "C-C"): "--ends needs --member: end conditions hold for a member of a "
                               "length.",
            ("--terms", "5"): "--terms needs --member: a half-wavelength has one term.",
            ("--lengths", "100", "--member", "100"): "--lengths (half-wavelengths) and --member "
                                                     "(member lengths) cannot go together.",
            ("--load", "M1", "--actions", "N=1"): "--load and --actions cannot go together.",
            ("--lengths", "10000:10000000:13"): "--lengths reach 1e+07 mm, beyond 500 D = 75000 mm "
                                                "of channel.kaf, where double precision no longer "
                                                "carries the strip results.",
            ("--member", "0.001"): "--member reach 0.001 mm, below 0.0001 D = 0.015 mm of "
                                   "channel.kaf, where double precision no longer carries the "
                                   "strip results.",
            ("--strips", "2000000000"): "--strips 2000000000 makes 6e+09 strips of channel.kaf, "
                                        "which need about ",
            ("--strips", "3000000000"): "Not a number of strips: 3000000000. Type a whole number "
                                        "from 1 up whose model fits in 2 GB of memory.",
            ("--load", ""): "Not a load: . Type compression,",
        }
        for options, message in cases.items():
            with self.subTest(options):
                code, out, err = buckle(list(options) + ["channel.kaf"], self.dir)
                self.assertEqual(code, 2)
                self.assertEqual(out, "")
                self.assertTrue(err.startswith("zorvik-buckle: " + message), err)
                self.assertEqual(err.count("\n"), 1, err)
        self.assertEqual(self.files(), ["channel.kaf"])

        # A file that cannot be analysed is named and left out; the others go on.
        with open(self.path("channel.kaf")) as f:
            text = f.read()
        with open(self.path("soft.kaf"), "w") as f:
            f.write(text.replace("\n210 80.7692 0.3 \n", "\n-5 80.7692 0.3 \n"))
        code, out, _ = buckle(["--no-picture", "soft.kaf", "channel.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.startswith("Cannot use soft.kaf: E = -5 is not a modulus above 0.\n"))
        self.assertIn("                 channel.kaf\n", out)

        # Files of two unit systems are refused together, before anything is written.
        with open(self.path("inch.kaf"), "w") as f:
            f.write(text.replace(" kN mm ", " kip in "))
        code, out, err = buckle(["channel.kaf", "inch.kaf"], self.dir)
        self.assertEqual((code, out), (2, ""))
        self.assertEqual(err, "zorvik-buckle: channel.kaf is in kN and mm, but inch.kaf in kip "
                              "and in: analyse sections of one unit system together.\n")
        self.assertEqual(self.files(), ["channel.kaf", "inch.kaf", "soft.kaf"])

    def test_a_csv_on_standard_output_has_it_to_itself(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        with open(self.path("lc.kaf")) as f:
            text = f.read()
        with open(self.path("soft.kaf"), "w") as f:
            f.write(text.replace("\n210 80.7692 0.3 \n", "\n-5 80.7692 0.3 \n"))
        code, out, err = buckle(["--lengths", "155,700", "--table-csv", "-", "--csv", "c.csv",
                                 "soft.kaf", "lc.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(err, "Cannot use soft.kaf: E = -5 is not a modulus above 0.\n"
                              "Curves: c.csv\nPicture: lc-buckle.svg\n")
        rows = list(csv.reader(io.StringIO(out)))
        self.assertEqual([row[0] for row in rows], ["file", "lc.kaf"])
        self.assertEqual(rows[0][1], "lambda at 155 mm [-]")
        self.assertAlmostEqual(float(rows[1][1]), 0.105842, delta=2e-6)
        # Two outputs on standard output are one refusal before anything is written.
        code, out, err = buckle(["--csv", "-", "--table-csv", "-", "lc.kaf"], self.dir)
        self.assertEqual((code, out), (2, ""))
        self.assertEqual(err, "zorvik-buckle: --table-csv and --csv cannot both go to standard "
                              "output.\n")

    @unittest.skipIf(RUNNER or not os.path.exists("/dev/full"), "needs /dev/full")
    def test_a_full_standard_output_is_named_with_exit_code_1(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        for arguments in (["--csv", "-"], ["--table-csv", "t.csv"], ["--help"]):
            with self.subTest(arguments):
                with open("/dev/full", "wb") as full:
                    done = subprocess.run(command("--no-picture", "--lengths", "155", "lc.kaf",
                                                  *arguments, program=ZORVIK_BUCKLE),
                                          cwd=self.dir, stdin=subprocess.DEVNULL, stdout=full,
                                          stderr=subprocess.PIPE, timeout=60)
                self.assertEqual((done.returncode, done.stderr),
                                 (1, b"zorvik-buckle: standard output could not be written: "
                                     b"No space left on device.\n"))
        # The table CSV went to its file whole; only the console lines were lost.
        self.assertEqual(len(csv_rows(self.path("t.csv"))), 2)

    def test_bending_and_a_file_with_springs(self):
        shutil.copy(os.path.join(DATA, "full.kaf"), self.path("full.kaf"))
        code, out, _ = buckle(["--no-picture", "--load", "-M1", "--lengths", "10:1000:12",
                               "full.kaf"], self.dir)
        self.assertEqual(code, 0)
        self.assertIn("Note: full.kaf has supports, springs or bearing elements; they are not "
                      "part of this analysis.\n", out)
        self.assertIn("Load: -M1\n", out)
        self.assertRegex(out, r"\nM_local \[N cm\] ")

    def test_a_curve_with_fewer_minima_is_said(self):
        self.example("angle.kaf")
        code, out, _ = buckle(["--no-picture", "--lengths", "2000:20000:5", "angle.kaf"], self.dir)
        self.assertEqual(code, 0)
        self.assertIn("angle.kaf: no local value: neither its curve nor its pure curve has a "
                      "minimum in the lengths.\n", out)
        self.assertRegex(out, r"\nlength_local \[mm\] +-\n")

    def test_a_clamped_member_curve(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        args = ["--no-picture", "--member", "500:4000:4", "lc.kaf"]
        code, out, err = buckle(["--ends", "C-C", "--csv", "c.csv"] + args, self.dir)
        self.assertEqual((code, err), (0, ""))
        self.assertEqual(out.splitlines()[0], "Load: compression, ends C-C")
        rows = table(out)
        lengths = [500, 1000, 2000, 4000]
        clamped = [float(rows["lambda at %d mm [-]" % a][0]) for a in lengths]
        # P = lambda A (A = 780 mm^2), and the terms that dominate each mode:
        # local buckling, about 155 mm a half-wave, needs more of them the
        # longer the member.
        for a, value in zip(lengths, clamped):
            self.assertAlmostEqual(float(rows["P at %d mm [kN]" % a][0]) / value, 780, delta=0.5)
        terms = [int(rows["terms at %d mm" % a][0].split("+")[0]) for a in lengths]
        self.assertEqual(terms, sorted(terms))
        self.assertGreater(terms[-1], 4000 / 155 - 3)
        curves = csv_rows(self.path("c.csv"))
        self.assertEqual(curves[0], ["member length [mm]", "lc.kaf"])
        for row, a in zip(curves[1:], lengths):
            self.assertAlmostEqual(float(row[0]), a, delta=1e-9 * a)
        for row, value in zip(curves[1:], clamped):
            self.assertAlmostEqual(float(row[1]), value, delta=1e-5 * value)
        # Clamped ends hold more than simple supports; the longer the member,
        # the nearer it comes from above to the local minimum of the
        # signature curve.
        code, out, _ = buckle(args, self.dir)
        simple = [float(table(out)["lambda at %d mm [-]" % a][0]) for a in lengths]
        for c, p in zip(clamped, simple):
            self.assertGreaterEqual(c, p * (1 - 1e-6))
        self.assertEqual(clamped, sorted(clamped, reverse=True))
        code, out, _ = buckle(["--no-picture", "lc.kaf"], self.dir)
        local = float(table(out)["lambda_local [-]"][0])
        self.assertGreater(clamped[-1], local)
        self.assertLess(clamped[-1], 1.005 * local)
        # Given terms: one term is the clamped Euler-like shape, above the many.
        code, out, _ = buckle(["--ends", "C-C", "--terms", "1"] + args, self.dir)
        self.assertEqual(code, 0)
        one = [float(table(out)["lambda at %d mm [-]" % a][0]) for a in lengths]
        for o, c in zip(one, clamped):
            self.assertGreater(o, c)

    def test_lengths_as_one_value_or_a_list(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, _ = buckle(["--no-picture", "--lengths", "155", "lc.kaf"], self.dir)
        self.assertEqual(code, 0)
        self.assertNotIn("minimum", out)
        single = float(table(out)["lambda at 155 mm [-]"][0])
        self.assertAlmostEqual(single, 0.105842, delta=2e-6)
        # Three lengths and more: the minimum between them is refined.
        code, out, _ = buckle(["--no-picture", "--lengths", "100,155,700", "lc.kaf"], self.dir)
        self.assertEqual(code, 0)
        rows = table(out)
        self.assertAlmostEqual(float(rows["length_local [mm]"][0]), 155.2, delta=0.3)
        self.assertLessEqual(float(rows["lambda_local [-]"][0]), single)
        self.assertIn("lc.kaf: no distortional value: neither its curve nor its pure curve has a "
                      "minimum in the lengths.\n", out)

    def test_restrained_bending_of_a_zed(self):
        self.example("zed.kaf")
        self.example("lipped_channel.kaf")
        args = ["--no-picture", "--lengths", "50:5000:12"]
        code, out, _ = buckle(args + ["--load", "My", "zed.kaf"], self.dir)
        self.assertEqual(code, 0)
        restrained = table(out)
        self.assertEqual(restrained["c [mm]"], ["100"])
        # M = lambda I_y / c, I_y = 3.58804e6 mm^4 as zorvik-view prints it.
        lam, M = float(restrained["lambda_local [-]"][0]), float(restrained["M_local [kN mm]"][0])
        self.assertAlmostEqual(M / lam, 3.58804e6 / 100, delta=5)
        code, out, _ = buckle(args + ["--load", "M1", "zed.kaf"], self.dir)
        principal = table(out)
        self.assertGreater(abs(float(principal["lambda_local [-]"][0]) / lam - 1), 0.05)
        # A channel's axis 1 is its y axis: there M1 is My.
        values = []
        for load in ("M1", "My"):
            code, out, _ = buckle(args + ["--load", load, "lipped_channel.kaf"], self.dir)
            values.append(table(out)["lambda_local [-]"][0])
        self.assertEqual(values[0], values[1])

    def test_actions_together(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        args = ["--no-picture", "--lengths", "155,700", "lc.kaf"]
        code, out, _ = buckle(args, self.dir)
        compression = table(out)
        code, out, _ = buckle(["--actions", "N=1"] + args, self.dir)
        self.assertEqual(out.splitlines()[0], "Load: N=1")
        axial = table(out)
        for L in (155, 700):
            self.assertAlmostEqual(float(axial["N at %d mm [kN]" % L][0]),
                                   float(compression["P at %d mm [kN]" % L][0]), delta=1e-3)
        code, out, _ = buckle(["--actions", "N=100,M1=2e4"] + args, self.dir)
        self.assertEqual(code, 0)
        both = table(out)
        lam = float(both["lambda at 155 mm [-]"][0])
        self.assertAlmostEqual(float(both["N at 155 mm [kN]"][0]), 100 * lam, delta=1e-4 * 100 * lam)
        self.assertAlmostEqual(float(both["M1 at 155 mm [kN mm]"][0]), 2e4 * lam,
                               delta=1e-4 * 2e4 * lam)
        # The moment's compression adds to the force's: the factor on both
        # together is below the one on the force alone.
        self.assertLess(100 * lam, float(axial["N at 155 mm [kN]"][0]))

    def test_breakdowns_give_their_line_and_no_value(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        # Strips narrower than 0.05 t: the file is refused, the others go on.
        self.make("lipped-channel", "200", "75", "20", "2", "--divide", "1000", "-o", "d.kaf")
        code, out, _ = buckle(["--no-picture", "--lengths", "155", "d.kaf", "lc.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines()[0],
                         "Cannot use d.kaf: plate 1 gives strips 0.019 wide, narrower than 0.05 t "
                         "= 0.1, below which the strip results do not hold.")
        self.assertEqual(table(out)["lambda at 155 mm [-]"], ["0.105842"])
        # A material whose critical moments overflow.
        self.with_material("lipped_channel.kaf", "huge.kaf", "1e307 3.84615e306 0.3")
        code, out, _ = buckle(["--no-picture", "--load", "M1", "--lengths", "155", "huge.kaf",
                               "lc.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines()[:2],
                         ["Note: E = 1e+307 kN/mm^2 is about 1e+305 times steel's; check the "
                          "units of huge.kaf.",
                          "Cannot use huge.kaf: its critical values overflow the range of "
                          "numbers (E = 1e+307)."])
        self.assertNotIn("inf", out)
        # E = 1e200 is computed as any other E.
        self.with_material("lipped_channel.kaf", "big.kaf", "1e200 3.84615e199 0.3")
        code, out, _ = buckle(["--no-picture", "big.kaf", "lc.kaf"], self.dir)
        self.assertEqual(code, 0)
        rows = table(out)
        self.assertEqual(rows["length_local [mm]"][0], rows["length_local [mm]"][1])
        # (G / E of the file is 0.384615, of the example 0.3846152.)
        self.assertAlmostEqual(float(rows["lambda_local [-]"][0]) / float(rows["lambda_local [-]"][1]),
                               1e200 / 210, delta=1e-4 * 1e200 / 210)
        # A length where the rounding of narrow strips' matrices leaves no
        # value: "-" in the table, empty in the CSV, one line, exit code 1.
        code, out, _ = buckle(["--no-picture", "--strips", "180", "--lengths", "155,40000",
                               "--table-csv", "t.csv", "lc.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.startswith(
            "lc.kaf: no lambda at 40000 mm: double precision does not carry the result: rounding "
            "moves lambda by more than 0.5 % (strips as narrow as 0.0555556 t).\n"),
            out)
        self.assertEqual(table(out)["lambda at 40000 mm [-]"], ["-"])
        rows = csv_rows(self.path("t.csv"))
        self.assertEqual(rows[1][rows[0].index("lambda at 40000 mm [-]")], "")
        self.assertNotEqual(rows[1][rows[0].index("lambda at 155 mm [-]")], "")
        # Lengths without a value for one reason share one line. Which of
        # these long lengths lose theirs (and whether some fail in the
        # factorisation instead) is decided by rounding: the line is checked
        # for its form.
        long = [str(L) for L in range(40000, 100000, 5000)]
        code, out, _ = buckle(["--no-picture", "--strips", "180", "--lengths",
                               ",".join(["155"] + long), "lc.kaf"], self.dir)
        self.assertEqual(code, 1)
        shared = re.fullmatch(
            r"lc\.kaf: no lambda at (\d+) lengths from (\d+) to (\d+) mm: double precision does "
            r"not carry the result: rounding moves lambda by more than 0\.5 % \(strips as narrow "
            r"as 0\.0555556 t\)\.", out.splitlines()[0])
        self.assertIsNotNone(shared, out)
        self.assertGreater(int(shared.group(1)), 6)
        self.assertIn(shared.group(2), long)
        self.assertIn(shared.group(3), long)
        # Tension everywhere: no length has a value.
        code, out, _ = buckle(["--no-picture", "--actions", "N=-5", "--lengths", "100:1000:4",
                               "lc.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.startswith("lc.kaf: no lambda at any length: the stress compresses no "
                                       "part of the section.\n"), out)

    def test_a_flat_plate_bent_about_its_weak_axis_is_refused(self):
        self.make("chain", "2", "100:0", "-o", "plate.kaf")
        code, out, _ = buckle(["--no-picture", "--load", "M2", "plate.kaf"], self.dir)
        self.assertEqual((code, out), (1, "Cannot use plate.kaf: M2 puts no stress on the centre "
                                          "line: every node lies on axis 2.\n"))
        code, out, _ = buckle(["--no-picture", "--load", "M1", "--lengths", "100", "plate.kaf"],
                              self.dir)
        self.assertEqual(code, 0)

    @unittest.skipIf(os.environ.get("ZORVIK_SANITIZED"), "a sanitizer reserves more address space")
    @unittest.skipIf(RUNNER, "wine's own address space and command line do not fit the limits")
    def test_out_of_memory_names_the_file_and_the_others_go_on(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        # A zigzag of 20,000 plates, each its own: about 300 MB to solve.
        self.make("chain", "2", *["10:45" if i % 2 == 0 else "10:-45" for i in range(20000)],
                  "-o", "big.kaf")

        def memory_limit():
            resource.setrlimit(resource.RLIMIT_AS, (150 << 20, 150 << 20))
        code, out, err = buckle(["--no-picture", "--lengths", "100000", "big.kaf", "lc.kaf"],
                                self.dir, preexec_fn=memory_limit)
        self.assertEqual((code, err), (1, ""))
        self.assertEqual(out.splitlines()[0], "Cannot use big.kaf: out of memory.")
        self.assertEqual(out.splitlines()[2].split(), ["lc.kaf"])


if __name__ == "__main__":
    unittest.main()
