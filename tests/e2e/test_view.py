"""zorvik-view: properties side by side and one SVG picture of all files."""
import csv
import os
import subprocess
import unittest
import xml.etree.ElementTree as ElementTree

from harness import RUNNER, ZorvikTestCase, read, run

VIEW = os.environ.get("ZORVIK_VIEW", "")
EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")


class ViewTest(ZorvikTestCase):
    def view(self, *names):
        done = subprocess.run(RUNNER + [VIEW] + list(names), cwd=self.dir, input=b"",
                              stdout=subprocess.PIPE, timeout=60)
        return done.returncode, done.stdout.replace(b"\r\n", b"\n").decode("latin-1")

    def test_original_and_rounded_side_by_side(self):
        self.copy("lipped_channel.kaf", source_dir=EXAMPLES)
        code, _, _ = run(["lipped_channel.kaf"], answers=b"\n\n4\n\n\n\n\n", cwd=self.dir)
        self.assertEqual(code, 0)
        code, out = self.view("lipped_channel.kaf", "lipped_channel-rr1.kaf")
        self.assertEqual(code, 0)
        lines = out.split("\n")
        self.assertEqual(lines[0].split(), ["lipped_channel.kaf", "lipped_channel-rr1.kaf"])
        self.assertEqual(lines[2].split(), ["A", "[mm^2]", "780", "765.943"])
        self.assertEqual(lines[5].split()[:2], ["I_y", "[mm^4]"])
        self.assertIn("Picture: lipped_channel.svg\n", out)
        svg = read(self.path("lipped_channel.svg"))
        root = ElementTree.fromstring(svg)  # well-formed XML
        self.assertEqual(root.tag, "{http://www.w3.org/2000/svg}svg")
        texts = [t.text for t in root.iter("{http://www.w3.org/2000/svg}text")]
        self.assertIn("lipped_channel-rr1.kaf", texts)
        self.assertIn("50 mm", texts)
        groups = list(root.iter("{http://www.w3.org/2000/svg}g"))
        self.assertEqual([g.get("stroke") for g in groups], ["#9a9a9a", "#d62728"])
        lines = [l for l in groups[1].iter("{http://www.w3.org/2000/svg}line")]
        self.assertEqual(len(lines), 5 + 4 * 4)

    def test_torsion_rows_and_the_table_as_csv(self):
        self.copy("lipped_channel.kaf", source_dir=EXAMPLES)
        code, _, _ = run(["-q", "--radii", "2:8:3", "lipped_channel.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        names = ["lipped_channel.kaf"] + ["lipped_channel-rr%d.kaf" % n for n in (1, 2, 3)]
        code, out = self.view(*(names + ["--csv", "table.csv"]))
        self.assertEqual(code, 0)
        table = {}
        for line in out.split("\n")[2:]:
            parts = line.split()
            if len(parts) == 2 + len(names):
                table[parts[0] + " " + parts[1]] = parts[2:]
        for row in ("J [mm^4]", "y_s [mm]", "z_s [mm]", "I_w [mm^6]", "i_0 [mm]", "beta_1 [mm]",
                    "beta_2 [mm]"):
            self.assertIn(row, table)
        # J = sum of b t^3 / 3 = 390 x 8 / 3 for the sharp section (t = 2).
        self.assertEqual(table["J [mm^4]"][0], "1040")
        # The radius moves the shear centre and lowers the warping constant.
        warping = [float(v) for v in table["I_w [mm^6]"]]
        self.assertEqual(warping, sorted(warping, reverse=True))
        self.assertIn("Table: table.csv\n", out)
        with open(self.path("table.csv"), newline="") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0][0], "file")
        self.assertEqual([r[0] for r in rows[1:]], names)
        for column, label in enumerate(rows[0][1:], start=1):
            for i in range(len(names)):
                # Six significant digits on the console, seventeen in the CSV.
                printed, full = float(table[label][i]), float(rows[1 + i][column])
                self.assertAlmostEqual(printed, full, delta=abs(full) * 5e-6 + 1e-300, msg=label)
        # On standard output the same bytes as in the file, CR LF included, on
        # every platform.
        done = subprocess.run(RUNNER + [VIEW] + names + ["--csv", "-", "--no-picture"],
                              cwd=self.dir, input=b"", stdout=subprocess.PIPE, timeout=60)
        self.assertEqual((done.returncode, done.stdout), (0, read(self.path("table.csv"))))

    def test_the_picture_never_replaces_a_file_and_always_fits(self):
        self.copy("angle.kaf", source_dir=EXAMPLES)
        self.copy("angle.kaf", "x.svg", source_dir=EXAMPLES)
        code, out, err = run(["x.svg"], cwd=self.dir, program=VIEW)
        self.assertEqual((code, out, err.replace("\r\n", "\n")),
                         (2, "", "zorvik-view: x.svg is one of the files given.\n"))
        self.assertEqual(read(self.path("x.svg")), read(self.path("angle.kaf")))
        # Twelve files, one of them with a UTF-8 name: every element inside the view box.
        names = ["angle.kaf"] + ["copy %d.kaf" % n for n in range(10)] + ["Stütze.kaf"]
        for name in names[1:]:
            self.copy("angle.kaf", name, source_dir=EXAMPLES)
        code, out = self.view("--svg", "all.svg", *names)
        self.assertEqual(code, 0)
        self.assertIn("Picture: all.svg\n", out)
        root = ElementTree.fromstring(read(self.path("all.svg")))
        _, _, width, height = (float(v) for v in root.get("viewBox").split())
        ns = "{http://www.w3.org/2000/svg}"
        for element in root.iter():
            for x, y in (("x", "y"), ("x1", "y1"), ("x2", "y2"), ("cx", "cy")):
                if element.get(x) is not None and not element.get(x).endswith("%"):
                    self.assertTrue(0 <= float(element.get(x)) <= width, element.attrib)
                    self.assertTrue(0 <= float(element.get(y)) <= height, element.attrib)
        self.assertIn("Stütze.kaf", [t.text for t in root.iter(ns + "text")])

    def test_a_file_that_does_not_load_is_named_and_the_others_shown(self):
        self.copy("angle.kaf", source_dir=EXAMPLES)
        with open(self.path("broken.kaf"), "wb") as f:
            f.write(b"no header\n")
        angle = read(self.path("angle.kaf"))
        with open(self.path("nodes.kaf"), "wb") as f:
            f.write(angle.replace(b"\n1 2 \n2 3 \n", b"\n1 9 \n2 3 \n"))
        code, out = self.view("broken.kaf", "nodes.kaf", "angle.kaf")
        self.assertEqual(code, 1)
        self.assertTrue(out.startswith(
            "Cannot read broken.kaf: the first line is no KAF header "
            "(it does not begin with \"****\")\n"
            "Cannot read nodes.kaf: plate 2 starts at node 9, which the section does not have\n"),
            out)
        self.assertIn("angle.kaf", out.split("\n")[2])
        self.assertIn("Picture: angle.svg\n", out)
        ElementTree.fromstring(read(self.path("angle.svg")))


if __name__ == "__main__":
    unittest.main()
