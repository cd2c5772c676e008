"""zorvik-buckle's named modes as a child process: the rows of each mode with
its shares and source, the series' changes with their uncertainty and ~0,
the lines under the table, the mode shapes as CSV and as a picture, the pure
curves, members, closed sections and the refusals of the new options."""
import csv
import io
import os
import re
import shutil
import unittest
import xml.etree.ElementTree as ET

from harness import ZORVIK_MAKE, ZorvikTestCase, buckle, run, table

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")
SVG = "{http://www.w3.org/2000/svg}"


def csv_of(path):
    with open(path, newline="") as f:
        return list(csv.reader(f))


def shares(rows, mode, column=0):
    return {s: float(rows["share_%s_%s [%%]" % (s, mode)][column]) for s in "GDLO"}


class ModesTest(ZorvikTestCase):
    def example(self, name, as_name=None):
        shutil.copy(os.path.join(EXAMPLES, name), self.path(as_name or name))

    def make(self, *args):
        code, _, err = run(list(args), cwd=self.dir, program=ZORVIK_MAKE)
        self.assertEqual(code, 0, err)

    def test_each_mode_of_the_lipped_channel_by_its_shares(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, err = buckle(["--no-picture", "--table-csv", "t.csv", "lc.kaf"], self.dir)
        self.assertEqual((code, err), (0, ""))
        rows = table(out)
        local, distortional, long = (shares(rows, m) for m in ("local", "distortional",
                                                               "global"))
        self.assertGreater(local["L"], 80)
        self.assertGreater(distortional["D"], 80)
        self.assertGreater(long["G"], 95)
        for s in (local, distortional, long):
            self.assertAlmostEqual(sum(s.values()), 100, delta=0.2)  # rounded to 0.1 each
        self.assertEqual([rows["source_" + m][0] for m in ("local", "distortional", "global")],
                         ["minimum", "minimum", "longest length"])
        self.assertAlmostEqual(float(rows["length_local [mm]"][0]), 155.2, delta=0.3)
        self.assertAlmostEqual(float(rows["length_distortional [mm]"][0]), 701, delta=3)
        self.assertEqual(rows["length_global [mm]"], ["20000"])
        # One file: no change rows; the CSV holds the console's rows, shares
        # unrounded.
        self.assertNotIn("change_local [%]", rows)
        csv_rows = csv_of(self.path("t.csv"))
        labels = [line.split("  ")[0] for line in out.splitlines()[3:-1]]
        self.assertEqual(out.splitlines()[-1], "Table: t.csv")
        self.assertEqual(csv_rows[0], ["file"] + labels)
        field = dict(zip(csv_rows[0], csv_rows[1]))
        self.assertAlmostEqual(float(field["share_D_distortional [%]"]), distortional["D"],
                               delta=0.05)
        self.assertEqual(field["source_global"], "longest length")

    def test_a_series_follows_its_modes_and_says_a_change_within_its_uncertainty(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        # The same section moved 10 mm along y: another file's numbers (a copy
        # would be analysed once), the same buckling loads.
        self.example("lipped_channel.kaf", "same.kaf")
        with open(self.path("same.kaf"), encoding="latin-1") as f:
            lines = f.read().split("\n")
        at = lines.index("*** Knotenkoordinaten, Scheiben ***") + 1
        lines[at] = " ".join("%.6g" % (float(v) + 10) for v in lines[at].split()) + " "
        with open(self.path("same.kaf"), "w", encoding="latin-1", newline="\n") as f:
            f.write("\n".join(lines))
        code, _, _ = run(["-q", "--radii", "8:8:1", "lc.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        code, out, err = buckle(["--no-picture", "--table-csv", "t.csv", "lc.kaf", "same.kaf",
                                 "lc-rr1.kaf"], self.dir)
        self.assertEqual((code, err), (0, ""))
        rows = table(out)
        self.assertEqual(rows["source_global"], ["longest length"] * 3)
        for mode in ("local", "distortional", "global"):
            self.assertEqual(rows["change_%s [%%]" % mode][:2], ["-", "~0"])
            self.assertRegex(out, r"\nsame\.kaf: change_%s ~0: [-0-9.e]+ %% is less than "
                                  r"twice its uncertainty, " % mode)
            uncertainty = float(rows["uncertainty_%s [%%]" % mode][2])
            self.assertLess(uncertainty, 0.02 * 2)
        # R = 8 raises the local value and lowers the distortional one beyond
        # their uncertainty.
        self.assertGreater(float(rows["change_local [%]"][2]), 3)
        self.assertLess(float(rows["change_distortional [%]"][2]), -0.2)
        self.assertEqual(rows["source_distortional"], ["minimum"] * 3)
        # The CSV keeps the number where the console says ~0.
        field = dict(zip(*csv_of(self.path("t.csv"))[0:3:2]))
        self.assertLess(abs(float(field["change_local [%]"])), 1e-9)

    def test_further_and_mixed_minima_and_missing_values_are_lines(self):
        # A lipped channel with a V stiffener in each half of its web, bent
        # about its major axis: local, the stiffeners' distortional mode and
        # the flanges' distortional mode.
        self.make("chain", "0.06", "0.8:-90", "2.75:180", "2.75:90", "0.320156:51.3402",
                  "0.320156:128.6598", "3.5:90", "0.320156:51.3402", "0.320156:128.6598",
                  "2.75:90", "2.75:0", "0.8:-90", "--units", "kip,in", "-E", "29500",
                  "--centre-line", "-o", "cw.kaf")
        code, out, _ = buckle(["--no-picture", "--load", "M1", "--lengths", "1:300:60", "cw.kaf"],
                              self.dir)
        self.assertEqual(code, 0)
        rows = table(out)
        self.assertAlmostEqual(float(rows["length_local [in]"][0]), 2.8, delta=0.3)
        self.assertAlmostEqual(float(rows["length_distortional [in]"][0]), 30.4, delta=3)
        further = re.findall(r"cw.kaf: further distortional minimum at ([\d.]+) in, lambda "
                             r"([\d.]+) \(D ([\d.]+) %", out)
        self.assertEqual(len(further), 1, out)
        length, lam, share = (float(v) for v in further[0])
        self.assertAlmostEqual(length, 10.2, delta=1)
        self.assertGreater(lam, 1.3 * float(rows["lambda_distortional [-]"][0]))
        self.assertGreater(share, 50)
        # A plain channel has no distortional mode: one line, no value.
        self.example("channel.kaf")
        code, out, _ = buckle(["--no-picture", "channel.kaf"], self.dir)
        self.assertEqual(code, 0)
        self.assertIn("channel.kaf: no distortional value: the section has no D deformation.\n",
                      out)
        self.assertEqual(table(out)["source_distortional"], ["-"])

    def test_a_slender_web_takes_the_distortional_value_from_its_pure_curve(self):
        self.make("lipped-channel", "6", "1.625", "0.5", "0.0566", "--units", "kip,in", "-E",
                  "29500", "-o", "s.kaf")
        code, out, _ = buckle(["--no-picture", "--lengths", "0.6:600:60", "--pure", "D",
                               "--csv", "c.csv", "s.kaf"], self.dir)
        self.assertEqual(code, 0)
        rows = table(out)
        self.assertEqual(rows["source_distortional"], ["pure mode"])
        self.assertGreater(shares(rows, "distortional")["D"], 99)
        curves = csv_of(self.path("c.csv"))
        self.assertEqual(curves[0], ["half-wavelength [in]", "s.kaf", "s.kaf pure D"])
        pure = [(float(r[0]), float(r[2])) for r in curves[1:] if r[2]]
        lowest = min(pure, key=lambda p: p[1])
        # The table's value is the pure curve's minimum, refined and converged.
        self.assertLessEqual(float(rows["lambda_distortional [-]"][0]), lowest[1] * (1 + 1e-9))
        self.assertGreater(float(rows["lambda_distortional [-]"][0]), lowest[1] * 0.99)

    def test_pure_curves_lie_above_the_full_curve(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, err = buckle(["--pure", "L,D,G", "--csv", "c.csv", "--svg", "p.svg", "lc.kaf"],
                                self.dir)
        self.assertEqual((code, err), (0, ""))
        curves = csv_of(self.path("c.csv"))
        self.assertEqual(curves[0], ["half-wavelength [mm]", "lc.kaf", "lc.kaf pure L",
                                     "lc.kaf pure D", "lc.kaf pure G"])
        for row in curves[1:]:
            full = float(row[1])
            for column, tolerance in ((2, 1e-9), (3, 1e-9), (4, 1e-3)):
                # The pure G curve is the member theory's, without the plates'
                # Poisson coupling: up to 3e-4 below at long lengths.
                self.assertGreaterEqual(float(row[column]), full * (1 - tolerance), row)
        # At long lengths the global mode is the pure global one.
        self.assertAlmostEqual(float(curves[-1][4]) / float(curves[-1][1]), 1, delta=1e-3)
        with open(self.path("p.svg")) as f:
            svg = f.read()
        self.assertIn("stroke-dasharray", svg)

    def test_the_mode_shapes_as_csv_and_as_a_picture(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, _, _ = run(["-q", "--radii", "4:4:1", "lc.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        code, out, err = buckle(["--modes-at", "500", "--modes-csv", "m.csv", "lc.kaf",
                                 "lc-rr1.kaf"], self.dir)
        self.assertEqual((code, err), (0, ""))
        self.assertEqual(out.splitlines()[-3:], ["Mode shapes: m.csv", "Picture: lc-buckle.svg",
                                                 "Mode picture: lc-buckle-modes.svg"])
        rows = csv_of(self.path("m.csv"))
        self.assertEqual(rows[0], ["file", "minimum", "node", "y", "z", "u_y", "u_z", "v",
                                   "theta"])
        modes = {}
        for row in rows[1:]:
            modes.setdefault((row[0], row[1]), []).append(row)
        self.assertEqual(sorted(modes), sorted((f, m) for f in ("lc.kaf", "lc-rr1.kaf")
                                               for m in ("local", "distortional", "global",
                                                         "500")))
        for (name, mode), nodes in modes.items():
            # Every node of the model, the file's numbered as in the file.
            numbered = [int(n[2]) for n in nodes if n[2]]
            self.assertEqual(sorted(numbered), list(range(1, 7 if name == "lc.kaf" else 23)))
            largest = max(abs(float(v)) for n in nodes for v in n[5:8])
            self.assertAlmostEqual(largest, 1, places=12)
        # The sharp channel's nodes run along its plates from node 1.
        sharp = modes[("lc.kaf", "local")]
        self.assertEqual((sharp[0][2], float(sharp[0][3]), float(sharp[0][4])), ("1", 0.0, 0.0))
        steps = [abs(float(b[3]) - float(a[3])) + abs(float(b[4]) - float(a[4]))
                 for a, b in zip(sharp, sharp[1:])]
        self.assertLess(max(steps), 13)

        root = ET.parse(self.path("lc-buckle-modes.svg")).getroot()
        width, height = (float(v) for v in root.get("viewBox").split()[2:])
        texts = [t.text for t in root.iter(SVG + "text")]
        self.assertIn("lc.kaf: compression, buckling modes", texts)
        self.assertTrue(any(t.startswith("distortional, ") for t in texts), texts)
        self.assertTrue(any(t.startswith("at 500 mm (distortional), lambda ") for t in texts),
                        texts)
        for element in root.iter():
            for x, y in (("x", "y"), ("x1", "y1"), ("x2", "y2")):
                if element.get(x) is not None:
                    self.assertTrue(0 <= float(element.get(x)) <= width, element.attrib)
                    self.assertTrue(0 <= float(element.get(y)) <= height, element.attrib)
            for pair in (element.get("points") or "").split():
                px, py = (float(v) for v in pair.split(","))
                self.assertTrue(0 <= px <= width and 0 <= py <= height, pair)
        # The curve picture marks each named value with its letter.
        with open(self.path("lc-buckle.svg")) as f:
            curve = f.read()
        for letter in "LDG":
            self.assertRegex(curve, r">%s 0\.\d+<" % letter)

    def test_a_closed_section_has_no_shares_and_its_minima_as_before(self):
        self.closed_tube("tube.kaf")
        code, out, err = buckle(["--no-picture", "tube.kaf"], self.dir)
        self.assertEqual((code, err), (0, ""))
        self.assertIn("tube.kaf: no shares: it has a closed cell: the modal spaces are defined "
                      "for open sections.\n", out)
        rows = table(out)
        self.assertIn("L_1 [mm]", rows)
        self.assertNotIn("share_G_local [%]", rows)

    def test_members_give_shares_and_their_global_value(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, _ = buckle(["--no-picture", "--ends", "C-C", "--member", "1000,8000",
                               "lc.kaf"], self.dir)
        self.assertEqual(code, 0)
        rows = table(out)
        self.assertEqual(rows["mode at 1000 mm"], ["local"])
        self.assertEqual(rows["mode at 8000 mm"], ["global"])
        self.assertGreater(float(rows["share_G at 8000 mm [%]"][0]), 95)
        self.assertEqual(rows["source_global"], ["member length"])
        self.assertEqual(rows["lambda_global [-]"], rows["lambda at 8000 mm [-]"])
        # A member whose mode is local: the global value is the pure global
        # problem of the member, far above.
        code, out, _ = buckle(["--no-picture", "--member", "1500", "lc.kaf"], self.dir)
        rows = table(out)
        self.assertEqual(rows["source_global"], ["pure mode"])
        self.assertGreater(float(rows["lambda_global [-]"][0]),
                           3 * float(rows["lambda at 1500 mm [-]"][0]))

    def test_refusals_of_the_mode_options(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        cases = {
            ("--pure", "X"): "Not pure modes: X. Type L, D or G, or some joined by commas (D,G).",
            ("--pure", "D,D"): "Not pure modes: D,D.",
            ("--modes-svg", "m.svg", "--no-picture"): "--modes-svg and --no-picture cannot go "
                                                      "together.",
            ("--modes-at", "500", "--member", "1000"): "--modes-at, --modes-csv, --modes-svg and "
                                                       "--pure need half-wavelengths",
            ("--modes-csv", "m.csv", "--lengths", "155"): "--modes-csv and --modes-svg need minima "
                                                          "(three lengths or more) or --modes-at.",
            ("--modes-at", "0"): "Not half-wavelengths: 0.",
            ("--modes-csv", "-", "--csv", "-"): "--csv and --modes-csv cannot both go to "
                                                "standard output.",
            ("--modes-svg", "lc.kaf"): "lc.kaf is one of the files given.",
        }
        for options, message in cases.items():
            with self.subTest(options):
                code, out, err = buckle(list(options) + ["lc.kaf"], self.dir)
                self.assertEqual((code, out), (2, ""))
                self.assertTrue(err.startswith("zorvik-buckle: " + message), err)
        self.assertEqual(self.files(), ["lc.kaf"])
        # A pure curve of a space the section does not have: its line, exit 1.
        self.example("channel.kaf")
        code, out, _ = buckle(["--no-picture", "--pure", "D", "channel.kaf"], self.dir)
        self.assertEqual(code, 1)
        self.assertIn("channel.kaf: no pure D curve: the section has no D deformation.\n", out)


if __name__ == "__main__":
    unittest.main()
