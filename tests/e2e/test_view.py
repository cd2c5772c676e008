"""zorvik-view: properties side by side and one SVG picture of all files."""
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
