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
        code, out, _ = run(list(names), cwd=self.dir, program=VIEW)
        return code, out

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
        self.assertIn("lipped_channel-rr1.kaf: Radius 4, convex, 4 elements per corner, "
                      "thickness 2", texts)
        self.assertIn("20 mm", texts)
        groups = list(root.iter("{http://www.w3.org/2000/svg}g"))
        self.assertEqual([g.get("stroke") for g in groups], ["#9a9a9a", "#d62728", "black"])
        lines = [l for l in groups[1].iter("{http://www.w3.org/2000/svg}line")]
        self.assertEqual(len(lines), 5 + 4 * 4)

    def assertPictureReads(self, path, files):
        """No two texts overlap (a text's box: 0.6 x its font size per character
        wide, one font size high), every coordinate lies in the view box, and
        the legend holds both marks and each rounded file's radius line."""
        root = ElementTree.fromstring(read(path))
        _, _, width, height = (float(v) for v in root.get("viewBox").split())
        boxes = []
        for text in root.iter("{http://www.w3.org/2000/svg}text"):
            size = float(text.get("font-size"))
            x, y = float(text.get("x")), float(text.get("y"))
            box = (x, y - size, x + 0.6 * size * len(text.text), y)
            for other in boxes:
                overlap = (box[0] < other[0][2] and other[0][0] < box[2] and
                           box[1] < other[0][3] and other[0][1] < box[3])
                self.assertFalse(overlap, (text.text, other[1]))
            boxes.append((box, text.text))
            self.assertTrue(0 <= box[0] and box[2] <= width and 0 <= box[1] and box[3] <= height,
                            text.text)
        for element in root.iter():
            for name in ("x", "y", "x1", "y1", "x2", "y2", "cx", "cy"):
                if element.get(name) is not None:
                    value = float(element.get(name))
                    self.assertTrue(0 <= value <= max(width, height), (element.tag, name, value))
        texts = [t for _, t in boxes]
        self.assertIn("centroid", texts)
        self.assertIn("shear centre", texts)
        self.assertEqual(len([t for t in texts if ": Radius " in t]), files - 1)

    def test_sections_of_two_unit_systems_are_refused_together(self):
        self.copy("channel.kaf", source_dir=EXAMPLES)
        with open(self.path("channel.kaf")) as f:
            text = f.read()
        with open(self.path("inch.kaf"), "w") as f:
            f.write(text.replace(" kN mm ", " kip in "))
        code, out, err = run(["--csv", "t.csv", "channel.kaf", "inch.kaf"], cwd=self.dir,
                             program=VIEW)
        self.assertEqual((code, out), (2, ""))
        self.assertEqual(err.replace("\r\n", "\n"),
                         "zorvik-view: channel.kaf is in kN and mm, but inch.kaf in kip and in: "
                         "view sections of one unit system together.\n")
        self.assertEqual(self.files(), ["channel.kaf", "inch.kaf"])

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
        noise = ("I_yz [mm^4]", "angle [deg]", "beta_1 [mm]", "beta_2 [mm]")
        for column, label in enumerate(rows[0][1:], start=1):
            for i in range(len(names)):
                # Six significant digits on the console, seventeen in the CSV.
                printed, full = float(table[label][i]), float(rows[1 + i][column])
                if label in noise and printed == 0:
                    continue
                self.assertAlmostEqual(printed, full, delta=abs(full) * 5e-6 + 1e-300, msg=label)
        # The rounded sections are symmetric to the six digits of their
        # coordinates: the table shows 0 where the CSV keeps the noise.
        header = rows[0]
        for label in ("I_yz [mm^4]", "beta_1 [mm]"):
            self.assertEqual(table[label], ["0"] * 4, label)
            self.assertNotEqual(float(rows[2][header.index(label)]), 0.0, label)
        self.assertEqual(table["angle [deg]"], ["0"] * 4)
        self.assertPictureReads(self.path("lipped_channel.svg"), 4)
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

    @unittest.skipIf(RUNNER or not os.path.exists("/dev/full"), "needs /dev/full")
    def test_a_full_standard_output_is_named_with_exit_code_1(self):
        self.copy("angle.kaf", source_dir=EXAMPLES)
        for arguments in (["--csv", "-"], ["--csv", "t.csv"], ["--help"]):
            with self.subTest(arguments):
                with open("/dev/full", "wb") as full:
                    done = subprocess.run([VIEW, "--no-picture", "angle.kaf"] + arguments,
                                          cwd=self.dir, stdin=subprocess.DEVNULL, stdout=full,
                                          stderr=subprocess.PIPE, timeout=60)
                self.assertEqual((done.returncode, done.stderr),
                                 (1, b"zorvik-view: standard output could not be written: "
                                     b"No space left on device.\n"))
        # The table CSV went to its file whole; only the console table was lost.
        self.assertEqual(read(self.path("t.csv")).count(b"\r\n"), 2)

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
            "Cannot use broken.kaf: the first line is no KAF header "
            "(it does not begin with \"****\").\n"
            "Cannot use nodes.kaf: plate 2 starts at node 9, which the section does not have.\n"),
            out)
        self.assertIn("angle.kaf", out.split("\n")[2])
        self.assertIn("Picture: angle.svg\n", out)
        ElementTree.fromstring(read(self.path("angle.svg")))


if __name__ == "__main__":
    unittest.main()
