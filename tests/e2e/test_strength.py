"""zorvik-buckle's design strength (--fy) as a child process: the rows of the
example lipped channel against the Direct Strength Method's equations worked
here from the table's own buckling values, P_y = A f_y and M_y = S f_y by
hand, --effective against the classical column formulas from zorvik-view's
properties, a long member against --effective, a series' change_P_n, the
missing values and the refusals."""
import csv
import math
import os
import re
import shutil
import unittest

from harness import (ZORVIK, ZORVIK_MAKE, ZORVIK_VIEW, ZorvikTestCase, buckle, run,
                     table)

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


def csv_rows(path):
    """{file: {label: field}} of a --table-csv or zorvik-view --csv file."""
    with open(path, newline="") as f:
        lines = list(csv.reader(f))
    return {line[0]: dict(zip(lines[0], line)) for line in lines[1:]}


def column_strength(P_y, P_cre, P_crl, P_crd):
    """P_ne, P_nl, P_nd, P_n of a column, the published equations with their
    printed limits (the program's exact ones differ by less than 2e-4)."""
    if P_cre is None:
        P_ne = P_y
    else:
        lc2 = P_y / P_cre
        P_ne = 0.658 ** lc2 * P_y if lc2 <= 1.5 ** 2 else 0.877 / lc2 * P_y
    r = (P_crl / P_ne) ** 0.4
    P_nl = P_ne if math.sqrt(P_ne / P_crl) <= 0.776 else (1 - 0.15 * r) * r * P_ne
    r = (P_crd / P_y) ** 0.6
    P_nd = P_y if math.sqrt(P_y / P_crd) <= 0.561 else (1 - 0.25 * r) * r * P_y
    return P_ne, P_nl, P_nd, min(P_nl, P_nd)


class StrengthTest(ZorvikTestCase):
    def example(self, name, as_name=None):
        shutil.copy(os.path.join(EXAMPLES, name), self.path(as_name or name))

    def buckle(self, *args):
        return buckle(list(args), self.dir)

    def make(self, *args):
        code, _, err = run(list(args), cwd=self.dir, program=ZORVIK_MAKE)
        self.assertEqual(code, 0, err)

    def properties(self, *names):
        code, _, err = run(["--no-picture", "--csv", "v.csv"] + list(names), cwd=self.dir,
                           program=ZORVIK_VIEW)
        self.assertEqual(code, 0, err)
        return {name: {k: float(v) for k, v in row.items() if k != "file"}
                for name, row in csv_rows(self.path("v.csv")).items()}

    def material(self, name):
        with open(self.path(name), encoding="latin-1") as f:
            lines = f.read().split("\n")
        E, G, _ = lines[lines.index("*** E-Modul  G-MODUL MUE ***") + 1].split()
        return float(E), float(G)


    def test_the_braced_example_column_by_the_equations(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, err = self.buckle("--fy", "0.345", "--no-picture", "--table-csv", "t.csv",
                                     "lc.kaf")
        self.assertEqual((code, err), (0, ""))
        rows = table(out)
        field = csv_rows(self.path("t.csv"))["lc.kaf"]
        # The block follows the buckling rows in the console's order, the CSV the same.
        labels = [line.split("  ")[0] for line in out.splitlines()[3:-1]]
        start = labels.index("f_y [kN/mm^2]")
        self.assertEqual(labels[start - 1], "source_global")
        self.assertEqual(labels[start:], [
            "f_y [kN/mm^2]", "P_y [kN]", "P_crl/P_y [-]", "P_crd/P_y [-]", "P_cre/P_y [-]",
            "global", "P_ne [kN]", "P_nl [kN]", "P_nd [kN]", "P_n [kN]", "governs",
            "phiP_n [kN]", "P_n/Omega [kN]"])
        self.assertEqual(list(field)[1:], labels)
        # The centre line of 200 x 75 x 20 x 2: A = 2 (200 + 2 75 + 2 20) = 780 mm^2.
        P_y = 780 * 0.345
        self.assertAlmostEqual(float(field["P_y [kN]"]), P_y, delta=1e-9 * P_y)
        self.assertEqual(rows["P_y [kN]"], ["269.1"])
        P_crl = float(field["P_local [kN]"])
        P_crd = float(field["P_distortional [kN]"])
        self.assertAlmostEqual(float(field["P_crl/P_y [-]"]), P_crl / P_y, delta=1e-12)
        self.assertAlmostEqual(float(field["P_crd/P_y [-]"]), P_crd / P_y, delta=1e-12)
        self.assertEqual((rows["P_cre/P_y [-]"], field["P_cre/P_y [-]"]), (["-"], ""))
        self.assertEqual((rows["global"], rows["governs"]), (["braced"], ["local-global"]))
        P_ne, P_nl, P_nd, P_n = column_strength(P_y, None, P_crl, P_crd)
        for label, value in (("P_ne", P_ne), ("P_nl", P_nl), ("P_nd", P_nd), ("P_n", P_n),
                             ("phiP_n", 0.85 * P_n), ("P_n/Omega", P_n / 1.80)):
            self.assertAlmostEqual(float(field[label + " [kN]"]), value, delta=2e-4 * value)
        self.assertEqual(rows["P_n [kN]"], ["152.057"])

    def test_a_member_series_and_its_change_of_strength(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, _, err = run(["-q", "--radii", "4:8:2", "lc.kaf"], cwd=self.dir, program=ZORVIK)
        self.assertEqual(code, 0, err)
        names = ["lc.kaf", "lc-rr1.kaf", "lc-rr2.kaf"]
        code, out, err = self.buckle("--fy", "0.345", "--member", "1500", "--no-picture",
                                     "--table-csv", "t.csv", *names)
        self.assertEqual((code, err), (0, ""))
        rows = table(out)
        fields = csv_rows(self.path("t.csv"))
        # The signature curve's local and distortional values are on the page,
        # then the member's.
        self.assertEqual(rows["source_local"], ["minimum"] * 3)
        self.assertEqual(rows["source_distortional"], ["minimum"] * 3)
        self.assertIn(rows["source_global"], (["pure mode"] * 3, ["member length"] * 3))
        self.assertIn("lambda at 1500 mm [-]", rows)
        self.assertEqual(rows["global"], ["member 1500 mm, S-S"] * 3)
        self.assertEqual(rows["length_global [mm]"], ["1500"] * 3)
        nominal = []
        for name in names:
            f = fields[name]
            P_y = float(f["P_y [kN]"])
            P_cre = float(f["P_global [kN]"])
            self.assertAlmostEqual(float(f["P_cre/P_y [-]"]), P_cre / P_y, delta=1e-12)
            P_ne, P_nl, P_nd, P_n = column_strength(P_y, P_cre, float(f["P_local [kN]"]),
                                                    float(f["P_distortional [kN]"]))
            self.assertAlmostEqual(float(f["P_ne [kN]"]), P_ne, delta=2e-4 * P_ne)
            self.assertAlmostEqual(float(f["P_n [kN]"]), P_n, delta=2e-4 * P_n)
            nominal.append(float(f["P_n [kN]"]))
        self.assertEqual(fields["lc.kaf"]["change_P_n [%]"], "")
        self.assertEqual(rows["change_P_n [%]"][0], "-")
        for k in (1, 2):
            change = float(fields[names[k]]["change_P_n [%]"])
            self.assertAlmostEqual(change, 100 * (nominal[k] / nominal[0] - 1), delta=1e-9)
        # The rounded corners take area away: P_y and P_n fall.
        self.assertLess(nominal[2], nominal[1])
        self.assertLess(nominal[1], nominal[0])

    def test_the_beam_yields_at_its_extreme_fibre(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, err = self.buckle("--fy", "0.345", "--load", "M1", "--no-picture",
                                     "--table-csv", "t.csv", "lc.kaf")
        self.assertEqual((code, err), (0, ""))
        rows = table(out)
        field = csv_rows(self.path("t.csv"))["lc.kaf"]
        # Flanges 100 mm from the axis, their outer faces t/2 farther; I_1 by
        # hand: web, flanges and lips of the 2 mm centre line.
        I1 = 2 * 200 ** 3 / 12 + 2 * (150 * 100 ** 2 + 75 * 8 / 12) + \
            2 * (2 * 20 ** 3 / 12 + 40 * 90 ** 2)
        self.assertEqual(rows["c_f [mm]"], ["101"])
        self.assertEqual(rows["c [mm]"], ["100"])
        M_y = I1 / 101 * 0.345
        self.assertAlmostEqual(float(field["M_y [kN mm]"]), M_y, delta=1e-9 * M_y)
        for label in ("M_crl/M_y [-]", "M_crd/M_y [-]", "M_ne [kN mm]", "M_n [kN mm]",
                      "phiM_n [kN mm]", "M_n/Omega [kN mm]"):
            self.assertIn(label, rows)
        M_n = float(field["M_n [kN mm]"])
        self.assertAlmostEqual(float(field["phiM_n [kN mm]"]), 0.90 * M_n, delta=1e-9 * M_n)
        self.assertAlmostEqual(float(field["M_n/Omega [kN mm]"]), M_n / 1.67, delta=1e-9 * M_n)
        M_crd = float(field["M_distortional [kN mm]"])
        r = (M_crd / M_y) ** 0.5
        M_nd = M_y if math.sqrt(M_y / M_crd) <= 0.673 else (1 - 0.22 * r) * r * M_y
        self.assertAlmostEqual(float(field["M_nd [kN mm]"]), M_nd, delta=2e-4 * M_nd)

    def test_effective_lengths_are_the_classical_column(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        self.make("channel", "200", "75", "2", "-o", "c.kaf")
        self.make("zed", "200", "75", "2", "-o", "z.kaf")
        props = self.properties("c.kaf", "lc.kaf", "z.kaf")
        for lengths in ((3000, 3000, 3000), (3000, 1500, 2500), (1000, 4000, 6000)):
            text = ":".join(str(l) for l in lengths)
            code, out, err = self.buckle("--fy", "0.345", "--effective", text, "--no-picture",
                                         "--table-csv", "t.csv", "c.kaf", "lc.kaf", "z.kaf")
            # Without lips the channel and the zed have no distortional mode:
            # distortional buckling is no limit state, P_n = P_nl.
            self.assertEqual((code, err), (0, ""))
            self.assertIn("z.kaf: no P_nd: the section has no distortional deformation, so "
                          "distortional buckling is no limit state and P_n = P_nl.",
                          out.splitlines())
            fields = csv_rows(self.path("t.csv"))
            for name, p in props.items():
                E, G = self.material(name)
                A = p["A [mm^2]"]
                Lx, Ly, Lt = lengths
                s1 = math.pi ** 2 * E * p["I_1 [mm^4]"] / (A * Lx ** 2)
                s2 = math.pi ** 2 * E * p["I_2 [mm^4]"] / (A * Ly ** 2)
                i0 = p["i_0 [mm]"]
                st = (G * p["J [mm^4]"] + math.pi ** 2 * E * p["I_w [mm^6]"] / Lt ** 2) / (
                    A * i0 ** 2)
                x0 = p["y_s [mm]"] - p["y_c [mm]"]
                if name == "z.kaf":  # the shear centre at the centroid: no coupling
                    modes = {"flexural about axis 1": s1, "flexural about axis 2": s2,
                             "torsional": st}
                else:  # symmetric about axis 1 (y), the shear centre on it
                    self.assertEqual(p["angle [deg]"], 0)
                    beta = 1 - (x0 / i0) ** 2
                    ft = ((s1 + st) - math.sqrt((s1 + st) ** 2 - 4 * beta * s1 * st)) / (2 * beta)
                    modes = {"flexural-torsional": ft, "flexural about axis 2": s2}
                mode = min(modes, key=modes.get)
                f = fields[name]
                stress = float(f["P_cre/P_y [-]"]) * float(f["P_y [kN]"]) / A
                self.assertAlmostEqual(stress / modes[mode], 1, delta=1e-9, msg=(name, text))
                self.assertEqual(f["global"], "effective lengths, " + mode, (name, text))

    def test_a_long_member_buckles_as_the_classical_column(self):
        self.make("channel", "200", "75", "2", "-o", "c.kaf")
        self.make("zed", "200", "75", "2", "-o", "z.kaf")
        self.example("lipped_channel.kaf", "lc.kaf")
        # 50 D; the sections without lips have no P_nd, and P_n = P_nl.
        for name, exit_code in (("c.kaf", 0), ("lc.kaf", 0), ("z.kaf", 0)):
            ratios = []
            for option in (["--member", "10000"], ["--effective", "10000:10000:10000"]):
                code, out, err = self.buckle("--fy", "0.345", "--no-picture", *option, name)
                self.assertEqual((code, err), (exit_code, ""))
                rows = table(out)
                ratios.append(float(rows["P_cre/P_y [-]"][0]))
                if name != "lc.kaf":
                    self.assertEqual(rows["P_nd [kN]"], ["-"])
                    self.assertEqual(rows["P_n [kN]"], rows["P_nl [kN]"])
            self.assertAlmostEqual(ratios[0] / ratios[1], 1, delta=0.01, msg=name)

    def test_a_missing_buckling_value_leaves_what_it_feeds_open(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, err = self.buckle("--fy", "0.345", "--lengths", "155", "--no-picture",
                                     "lc.kaf")
        self.assertEqual((code, err), (1, ""))
        rows = table(out)
        self.assertEqual(rows["P_y [kN]"], ["269.1"])
        self.assertEqual(rows["P_ne [kN]"], ["269.1"])
        for label in ("P_crl/P_y [-]", "P_crd/P_y [-]", "P_nl [kN]", "P_nd [kN]", "P_n [kN]",
                      "governs", "phiP_n [kN]", "P_n/Omega [kN]"):
            self.assertEqual(rows[label], ["-"], label)
        reason = "(the signature curve has fewer than three lengths)."
        self.assertEqual(out.splitlines()[-2:], [
            "lc.kaf: no P_nl or P_n: no local buckling value " + reason,
            "lc.kaf: no P_nd or P_n: no distortional buckling value " + reason])
        # A closed cell has no classical column: no P_ne and what it feeds.
        self.closed_tube("tube.kaf")
        code, out, err = self.buckle("--fy", "0.345", "--effective", "1000:1000:1000",
                                     "--no-picture", "tube.kaf")
        self.assertEqual(code, 1, err)
        self.assertEqual(table(out)["P_ne [kN]"], ["-"])
        self.assertIn("tube.kaf: no P_ne, P_nl or P_n: no global buckling value (no torsion and "
                      "warping values: its plates form a closed cell).", out.splitlines())

    def test_actions_take_no_strength_and_a_far_yield_stress_is_noted(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        code, out, err = self.buckle("--fy", "0.345", "--actions", "N=100,M1=2e4",
                                     "--no-picture", "lc.kaf")
        self.assertEqual((code, err), (1, ""))
        self.assertNotIn("f_y [kN/mm^2]", table(out))
        self.assertEqual(out.splitlines()[-1], "No strength for --actions: the Direct Strength "
                         "Method takes one action at a time, which --load gives.")
        code, out, err = self.buckle("--fy", "345", "--no-picture", "lc.kaf")
        self.assertEqual((code, err), (0, ""))
        self.assertEqual(out.splitlines()[0], "Note: f_y = 345 kN/mm^2 is more than E/20 of "
                         "lc.kaf; check the units.")
        self.assertEqual(table(out)["f_y [kN/mm^2]"], ["345"])

    def test_refusals_write_nothing(self):
        self.example("lipped_channel.kaf", "lc.kaf")
        cases = [
            (["--fy", "0"], "Not a yield stress: 0."),
            (["--fy", "nan"], "Not a yield stress: nan."),
            (["--fy", "1e999"], "Not a yield stress: 1e999."),
            (["--effective", "100:100:100"], "--effective needs --fy"),
            (["--fy", "0.345", "--effective", "100:100"], "Not effective lengths: 100:100."),
            (["--fy", "0.345", "--effective", "100:-1:100"], "Not effective lengths"),
            (["--fy", "0.345", "--effective", "1:1:1", "--member", "1500"],
             "--effective and --member cannot go together"),
            (["--fy", "0.345", "--effective", "1:1:1", "--load", "M1"],
             "--effective gives a column's global buckling"),
            (["--fy", "0.345", "--effective", "1:1:1", "--actions", "N=1"],
             "--effective gives a column's global buckling"),
            (["--fy", "0.345", "--member", "1000,1500"], "--fy takes one member length"),
        ]
        for args, start in cases:
            code, out, err = self.buckle(*(args + ["--table-csv", "t.csv", "lc.kaf"]))
            self.assertEqual((code, out), (2, ""), args)
            self.assertEqual(len(err.splitlines()), 1, err)
            self.assertTrue(err.startswith("zorvik-buckle: " + start), err)
            self.assertEqual(self.files(), ["lc.kaf"], args)


if __name__ == "__main__":
    unittest.main()
