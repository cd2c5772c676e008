"""zorvik-make: a section file from catalogue dimensions, refused with one line
and exit code 2 when the dimensions make no section, and rounded by zorvik."""
import os
import unittest

from harness import ZorvikTestCase, kaf_plates, read, run

MAKE = os.environ.get("ZORVIK_MAKE", "")
VIEW = os.environ.get("ZORVIK_VIEW", "")


class MakeTest(ZorvikTestCase):
    def make(self, *args):
        code, out, err = run(list(args), cwd=self.dir, program=MAKE)
        return code, out, err.replace("\r\n", "\n")

    def test_a_catalogue_section_is_written_and_rounded(self):
        code, out, _ = self.make("lipped-channel", "200", "75", "20", "2", "-o", "c.kaf")
        self.assertEqual((code, out), (0, "c.kaf\n"))
        self.assertFileEqualsExpected(self.path("c.kaf"), "make-lipped-channel.kaf")
        # A catalogue inner bend radius of 3 is R = 3 + t/2 = 4 on the centre line.
        code, out, _ = run(["c.kaf"], answers=b"\n\n4\n\n\n\n\n", cwd=self.dir)
        self.assertEqual(code, 0, out[-600:])
        self.assertIn("Es ist ein offener Scheibenzug\n", out)
        b, t, alpha, _ = kaf_plates(self.path("c-rr1.kaf"))
        self.assertEqual(len(b), 5 + 4 * 4)
        self.assertEqual((b[0], b[5], b[10]), (15.0, 65.0, 190.0))  # 19 - 4, 73 - 8, 198 - 8
        code, out, _ = run(["c.kaf", "c-rr1.kaf"], cwd=self.dir, program=VIEW)
        self.assertEqual(code, 0)
        area = out.split("\n")[2].split()
        self.assertEqual(area[:3], ["A", "[mm^2]", "764"])  # (19 + 73 + 198 + 73 + 19) x 2

    def test_options_of_the_file(self):
        code, _, _ = self.make("chain", "1.5", "20:90", "75:0", "200:-90", "--units", "N,cm",
                               "-E", "20500", "--mue", "0.28", "--divide", "2", "--title",
                               "Plate girder", "-o", "g.kaf")
        self.assertEqual(code, 0)
        text = read(self.path("g.kaf")).decode()
        self.assertIn("\nPlate girder\n", text)
        self.assertIn(" 0 N cm 0 ", text)
        self.assertIn("\n20500 8007.81 0.28 \n", text)  # G = E / (2 (1 + MUE))
        self.assertIn("\nchain t 1.5 20:90 75:0 200:-90 \n", text)
        self.assertEqual(kaf_plates(self.path("g.kaf"))[0], [10, 10, 37.5, 37.5, 100, 100])

    def test_the_default_material_is_steel_in_the_units_given(self):
        cases = {"kN,mm": "210 80.7692", "kN,cm": "21000 8076.92", "N,mm": "210000 80769.2",
                 "kN,m": "2.1e+08 8.07692e+07", "kip,in": "29500 11346.2",
                 "lbf,in": "2.95e+07 1.13462e+07", "kip,ft": "4.248e+06 1.63385e+06"}
        for units, moduli in cases.items():
            with self.subTest(units):
                code, _, _ = self.make("channel", "200", "75", "2", "--units", units, "-o", "u.kaf")
                self.assertEqual(code, 0)
                self.assertIn("\n%s 0.3 \n" % moduli, read(self.path("u.kaf")).decode())
        # E alone, or MUE alone, gives G = E / (2 (1 + MUE)).
        for options, moduli in ((("-E", "200"), "200 76.9231 0.3"),
                                (("--mue", "0.25"), "210 84 0.25")):
            code, _, _ = self.make("channel", "200", "75", "2", *options, "-o", "u.kaf")
            self.assertEqual(code, 0)
            self.assertIn("\n%s \n" % moduli, read(self.path("u.kaf")).decode())

    def test_what_is_written_is_what_every_program_takes(self):
        # A Poisson's ratio that six digits would write as 0.5 keeps its
        # digits; an angle whose six digits read -180 is written as 180.
        code, out, _ = self.make("channel", "200", "75", "2", "--mue", "0.4999999999", "-o",
                                 "m.kaf")
        self.assertEqual((code, out), (0, "m.kaf\n"))
        self.assertIn("\n210 70 0.4999999999 \n", read(self.path("m.kaf")).decode())
        code, out, err = run(["--no-picture", "m.kaf"], cwd=self.dir, program=VIEW)
        self.assertEqual((code, err), (0, ""))
        for angle in ("180.0000001", "-179.9999999", "540.0000001"):
            code, _, _ = self.make("chain", "2", "100:90", "200:" + angle, "100:-90", "-o", "a.kaf")
            self.assertEqual(code, 0)
            self.assertEqual(kaf_plates(self.path("a.kaf"))[2], [90, 180, -90])
        # Steel's modulus in N/mm^2 beside kN and mm: a note, and the file.
        code, out, _ = self.make("channel", "200", "75", "2", "-E", "210000", "-o", "n.kaf")
        self.assertEqual((code, out), (0, "Note: E = 210000 kN/mm^2 is about 1000 times steel's; "
                                          "check the units of n.kaf.\nn.kaf\n"))

    def test_what_makes_no_section_is_refused_before_anything_is_written(self):
        cases = {
            ("lipped-channel", "200", "75", "1", "2"):
                "Not a section: the lip vanishes on the centre line (L must be above t/2 = 1).",
            ("channel", "200", "abc", "2"): "Not a dimension: abc for B. Type a number above 0, "
                                            "such as 75.",
            ("channel", "200", "0", "2"): "Not a dimension: 0 for B. Type a number above 0, "
                                          "such as 75.",
            ("channel", "200", "75"): "channel takes D B t: 2 given.",
            ("box", "1", "2"): "Unknown shape: box. The shapes are channel, lipped-channel, zed, "
                               "lipped-zed, hat, angle, chain.",
            ("channel", "200", "75", "2", "--colour", "red"):
                "Unknown option: --colour. zorvik-make --help lists the options.",
            ("channel", "200", "75", "2", "--divide"): "The option --divide needs a value.",
            ("channel", "200", "75", "2", "--lip-angle", "45"):
                "A channel has no lips: --lip-angle does not apply to it.",
            ("chain", "2"): "chain takes t WIDTH:ANGLE...: 1 given.",
            ("chain", "2", "20", "30:0"): "Not a plate: 20. Type WIDTH:ANGLE, such as 75:0.",
            ("channel", "200", "75", "2", "--title", "two\nlines"):
                "Not a title: it holds a line break or another control character.",
            ("channel", "200", "75", "2", "--units", "kN,m\tm"):
                "Not units: kN,m\tm. Type FORCE,LENGTH, such as kN,mm.",
            ("channel", "1e308", "1e308", "2"):
                "Not a section: its lengths (up to 1e+308) and thicknesses (up to 2) make its "
                "properties too large to compute.",
            ("channel", "1e308", "75", "2"):
                "Not a section: its lengths (up to 1e+308) and thicknesses (up to 2) make its "
                "properties too large to compute.",
            ("lipped-channel", "200", "75", "20", "2", "--divide", "200000"):
                "Not a section: plate 1 would be 9.5e-05 wide, narrower than the 0.00396 that a "
                "file's six digits hold at this section's size.",
            ("channel", "200", "75", "2", "-E", "1e-310"):
                "Not a modulus of elasticity: 1e-310. Type a number above 0, such as 210.",
            ("channel", "200", "75", "2", "-E", "1e308", "--mue", "-0.9999999999"):
                "Not a section: thickness 2 with E = 1e+308 and MUE = -1 gives no finite plate "
                "stiffness.",
            ("channel", "200", "75", "2", "-o", "-"):
                "zorvik-make writes a file, not standard output: name it with -o OUT.kaf.",
            ("channel", "200", "75", "2", "--mue", "1"):
                "Not a Poisson's ratio: 1. Type a number above -1 and below 0.5, such as 0.3.",
            ("channel", "200", "75", "2", "-E", "-5"):
                "Not a modulus of elasticity: -5. Type a number above 0, such as 210.",
            ("channel", "200", "75", "2", "-E", "inf"):
                "Not a modulus of elasticity: inf. Type a number above 0, such as 210.",
            ("channel", "200", "75", "2", "-G", "0"):
                "Not a shear modulus: 0. Type a number above 0, such as 80.77.",
            ("channel", "200", "75", "2", "--units", "kN,furlong"):
                "Not units: kN,furlong. The forces are N, kN, MN, lbf and kip, the lengths mm, "
                "cm, m, in and ft, such as kN,mm.",
            ("lipped-channel", "200", "75", "120", "2"):
                "Not a section: plates 1 and 5 cross or touch.",
            ("chain", "2", "100:0", "50:90", "100:180", "80:-90"):
                "Not a section: plates 1 and 4 cross or touch.",
            ("chain", "2", "100:0", "40:180"):
                "Not a section: plates 1 and 2 cross or touch.",
        }
        for arguments, message in cases.items():
            with self.subTest(arguments):
                code, out, err = self.make(*(["-o", "x.kaf"] + list(arguments)))
                self.assertEqual((code, out, err), (2, "", "zorvik-make: " + message + "\n"))
        code, _, err = self.make("channel", "200", "75", "2")
        self.assertEqual((code, err), (2, "zorvik-make: No file to write: name it with -o "
                                          "OUT.kaf.\n"))
        self.assertEqual(self.files(), [])
        code, out, _ = self.make("--help")
        self.assertEqual(code, 0)
        self.assertIn("  lipped-channel D B L t  web D - t, flanges B - t, lips L - t/2\n", out)


if __name__ == "__main__":
    unittest.main()
