"""The section as the engineer left it: plates of their own thickness, every
file named on the command line, the files of an earlier series, inner radii,
and keys that are not answers."""
import os
import unittest

from harness import DATA, ZorvikTestCase, kaf_blocks, kaf_plates, read, run

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


def explanation(path):
    return kaf_blocks(path)["*** Querschnittserlaeuterung ***"][-1]


class ModelTest(ZorvikTestCase):
    def thick_web(self, name="web3.kaf"):
        """chan.kaf with a web of 3 between flanges of 2."""
        text = read(os.path.join(DATA, "chan.kaf"))
        text = text.replace(b"\n1.5 1.5 1.5 \n", b"\n2 3 2 \n")
        with open(self.path(name), "wb") as f:
            f.write(text)

    def test_plates_keep_their_own_thickness_on_return(self):
        self.thick_web()
        code, out, _ = run(["web3.kaf"], answers=b"x\n\n\n\n\n\n\n", cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertIn(" The thickness is 2\n The plates are 2 to 3 thick: Return keeps each "
                      "plate's own thickness.\n", out)
        self.assertIn(" Not a thickness: x. Type a number above 0, such as 2.5, or Return to "
                      "keep each plate's own.\n Thickness [return=old]: \r2\n", out)
        b, t, _, k = kaf_plates(self.path("web3-rr1.kaf"))
        # Flange, 4 arc plates, web, 4 arc plates, flange: the arcs take the thinner, 2.
        self.assertEqual(t, [2] * 5 + [3] + [2] * 5)
        self.assertEqual(k, [15384.6] * 5 + [51923.1] + [15384.6] * 5)  # t^3 E / 10.92
        self.assertEqual(explanation(self.path("web3-rr1.kaf")),
                         "Radius 4, convex, 4 elements per corner, thicknesses 2 to 3 ")
        # A number gives every plate that thickness, as for any section.
        code, _, _ = run(["-q", "-t", "2.5", "-r", "4", "-d", "1,2,1", "web3.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        _, t, _, _ = kaf_plates(self.path("web3-rr1.kaf"))
        self.assertEqual(set(t), {2.5})
        self.assertEqual(explanation(self.path("web3-rr1.kaf")),
                         "Radius 4, convex, 4 elements per corner, thickness 2.5, divisions 1 2 1 ")
        # Without -t the run with options keeps them too.
        code, _, _ = run(["-q", "-r", "4", "web3.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertEqual(kaf_plates(self.path("web3-rr1.kaf"))[1], [2] * 5 + [3] + [2] * 5)

    def test_inner_radii_become_centre_line_radii(self):
        self.copy("chan.kaf")
        code, out, _ = run(["-q", "--inner", "--radii", "3:4:2", "chan.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertEqual(explanation(self.path("chan-rr1.kaf")),
                         "Radius 3.75 (inner 3), convex, 4 elements per corner, thickness 1.5 ")
        self.assertEqual(explanation(self.path("chan-rr2.kaf")),
                         "Radius 4.75 (inner 4), convex, 4 elements per corner, thickness 1.5 ")
        self.thick_web()
        code, out, _ = run(["-q", "--inner", "-r", "3", "web3.kaf", "chan.kaf"], cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out, "Cannot use web3.kaf: its plates differ in thickness, so an inner "
                              "radius has no one centre line: give the thickness with -t.\n"
                              "chan-rr1.kaf\nchan-rr1-shear.kaf\n"
                              " Files of an earlier series remain: chan-rr2.kaf, "
                              "chan-rr2-shear.kaf.\n")

    def test_every_file_dropped_on_the_icon_is_rounded(self):
        self.copy("chan.kaf", "a.kaf")
        self.copy("chan.kaf", "b.kaf")
        answers = b"\n\n\n\n\n\n" * 2
        code, out, err = run(["a.kaf", "b.kaf"], answers=answers, cwd=self.dir)
        self.assertEqual(code, 0, out[-600:] + err)
        self.assertEqual(out.count("*** This is Zorvik"), 1)
        self.assertEqual(out.count("Press key..."), 1)
        self.assertIn("a-rr1-shear.kaf\n\n========================\nQuerschnittsbeschreibung", out)
        self.assertEqual(self.files(), ["a-rr1-shear.kaf", "a-rr1.kaf", "a.kaf",
                                        "b-rr1-shear.kaf", "b-rr1.kaf", "b.kaf"])
        # A first file that cannot be used is named; the next goes on; exit code 1.
        with open(self.path("bad.kaf"), "wb") as f:
            f.write(b"not a section\n")
        code, out, _ = run(["missing.kaf", "bad.kaf", "b.kaf"], answers=b"\n\n\n\n\n\n",
                           cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertIn("\nCannot use missing.kaf: it does not exist.\n\n", out)
        self.assertIn("Cannot use bad.kaf: ", out)
        self.assertNotIn("Benutzung", out)
        self.assertTrue(out.endswith("b-rr1.kaf\nb-rr1-shear.kaf\nPress key..."), out[-200:])

    def test_files_of_an_earlier_series_are_named_and_kept(self):
        self.copy("chan.kaf")
        code, _, _ = run(["-q", "--radii", "2:6:5", "chan.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        code, out, _ = run(["chan.kaf"], answers=b"\n\n\n\n\n\n", cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertTrue(out.endswith(
            "chan-rr1.kaf\nchan-rr1-shear.kaf\n"
            " Files of an earlier series remain: chan-rr2.kaf, chan-rr2-shear.kaf, chan-rr3.kaf, "
            "chan-rr3-shear.kaf, chan-rr4.kaf, chan-rr4-shear.kaf, chan-rr5.kaf, "
            "chan-rr5-shear.kaf.\nPress key..."), out[-300:])
        self.assertEqual(len(self.files()), 11)
        # At most ten names.
        code, _, _ = run(["-q", "--radii", "2:8:7", "chan.kaf"], cwd=self.dir)
        code, out, _ = run(["-q", "-r", "3", "chan.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertTrue(out.endswith(", chan-rr6-shear.kaf and 2 more.\n"), out)


if __name__ == "__main__":
    unittest.main()
