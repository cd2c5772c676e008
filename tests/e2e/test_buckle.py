"""zorvik-buckle as a child process: the table, both CSVs parsed back, the
picture inside its view box, and every refusal with its exit code."""
import csv
import io
import os
import re
import shutil
import unittest

from harness import DATA, ZORVIK_BUCKLE, ZorvikTestCase, run

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


def buckle(args, cwd):
    code, out, err = run(args, cwd=cwd, program=ZORVIK_BUCKLE)
    return code, out.replace("\r\n", "\n"), err.replace("\r\n", "\n")


class BuckleTest(ZorvikTestCase):
    def example(self, name, as_name=None):
        shutil.copy(os.path.join(EXAMPLES, name), self.path(as_name or name))

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
        self.assertTrue(lines[4].startswith("lambda_1 [-]"))
        self.assertEqual(lines[-3:], ["Written: t.csv", "Written: c.csv", "Written: lc-buckle.svg"])

        with open(self.path("t.csv"), newline="") as f:
            table = list(csv.reader(f))
        self.assertEqual(table[0][:3], ["file", "L_1 [mm]", "lambda_1 [-]"])
        self.assertEqual([row[0] for row in table[1:]], files)
        # Local and distortional minima of the sharp channel, in order of length.
        L1, lambda1, L2, lambda2 = (float(table[1][i]) for i in (1, 2, 5, 6))
        self.assertLess(L1, L2)
        self.assertGreater(lambda1, 0)
        self.assertGreater(lambda2, 0)
        # Compression: P = lambda A, and the comparison with the first file.
        self.assertAlmostEqual(float(table[1][4]) / lambda1, 780.0, delta=1.0)
        self.assertEqual(table[1][10], "")
        self.assertAlmostEqual(float(table[2][10]),
                               100 * (float(table[2][2]) / lambda1 - 1), places=9)

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
        }
        for options, message in cases.items():
            with self.subTest(options):
                code, out, err = buckle(list(options) + ["channel.kaf"], self.dir)
                self.assertEqual(code, 2)
                self.assertEqual(out, "")
                self.assertTrue(err.startswith("zorvik-buckle: " + message), err)
        self.assertEqual(self.files(), ["channel.kaf"])

        # A file that cannot be analysed is named and left out; the others go on.
        with open(self.path("channel.kaf")) as f:
            text = f.read()
        with open(self.path("soft.kaf"), "w") as f:
            f.write(text.replace("\n210 80.7692 0.3 \n", "\n-5 80.7692 0.3 \n"))
        code, out, _ = buckle(["--no-picture", "soft.kaf", "channel.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.startswith("Cannot use soft.kaf: E = -5 is not a modulus above 0.\n"))

        # Files of two unit systems are refused together, before anything is written.
        with open(self.path("inch.kaf"), "w") as f:
            f.write(text.replace(" kN mm ", " kip in "))
        code, out, err = buckle(["channel.kaf", "inch.kaf"], self.dir)
        self.assertEqual((code, out), (2, ""))
        self.assertEqual(err, "zorvik-buckle: channel.kaf is in kN and mm, but inch.kaf in kip "
                              "and in: analyse sections of one unit system together.\n")
        self.assertEqual(self.files(), ["channel.kaf", "inch.kaf", "soft.kaf"])

    def test_bending_and_a_file_with_springs(self):
        shutil.copy(os.path.join(DATA, "full.kaf"), self.path("full.kaf"))
        code, out, _ = buckle(["--no-picture", "--load", "-M1", "--lengths", "10:1000:12",
                               "full.kaf"], self.dir)
        self.assertEqual(code, 0)
        self.assertIn("Note: full.kaf has supports, springs or bearing elements; they are not "
                      "part of this analysis.\n", out)
        self.assertIn("Load: -M1\n", out)
        self.assertRegex(out, r"\nM_1 \[N cm\] ")

    def test_a_curve_with_fewer_minima_is_said(self):
        self.example("angle.kaf")
        code, out, _ = buckle(["--no-picture", "--lengths", "2000:20000:5", "angle.kaf"], self.dir)
        self.assertEqual(code, 0)
        self.assertIn("angle.kaf: the curve has no minimum.\n", out)
        self.assertRegex(out, r"\nL_1 \[mm\] +-\n")


if __name__ == "__main__":
    unittest.main()
