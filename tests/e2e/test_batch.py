"""The run without the dialogue: every answer as an option, many sections at
once, the same files as the dialogue writes, and every wrong command line
refused with one line and exit code 2 before anything is written."""
import os
import unittest

from harness import BANNER, ZorvikTestCase, read, run

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


class BatchTest(ZorvikTestCase):
    def folder(self, name):
        path = self.path(name)
        os.mkdir(path)
        return path

    def test_options_write_the_same_bytes_as_the_dialogue(self):
        cases = [
            (["--radii", "2:4:3"], b"\n3\n2 4\n\n\n\n\n"),
            (["-r", "2", "--concave", "-e", "8", "-d", "2,4,2"], b"\n\n2\n1\n8\n1\n2 4 2\n\n"),
            (["--radius=3", "-t", "2.5", "--divisions", "2 4 2"], b"2.5\n\n3\n\n\n1\n2 4 2\n\n"),
        ]
        for options, answers in cases:
            with self.subTest(" ".join(options)):
                dialogue = self.folder("dialogue-" + options[1])
                batch = self.folder("batch-" + options[1])
                self.copy("chan.kaf", os.path.join(dialogue, "chan.kaf"))
                self.copy("chan.kaf", os.path.join(batch, "chan.kaf"))
                code, listed, _ = run(["chan.kaf"], answers=answers, cwd=dialogue)
                self.assertEqual(code, 0)
                code, out, _ = run(options + ["-q", "chan.kaf"], cwd=batch)
                self.assertEqual(code, 0)
                # Quiet, the run lists what the dialogue lists under "Generated Files".
                listed = listed.split("Generated Files: \n")[1].replace("Press key...", "")
                self.assertEqual(out, listed)
                names = sorted(os.listdir(dialogue))
                self.assertEqual(sorted(os.listdir(batch)), names)
                if options == ["--radii", "2:4:3"]:
                    # The typical run: the bytes that the Linux build wrote, on
                    # every build.
                    for name in names:
                        if "-rr" in name:
                            self.assertFileEqualsExpected(os.path.join(batch, name), name)
                for name in names:
                    self.assertEqual(read(os.path.join(batch, name)),
                                     read(os.path.join(dialogue, name)), name)

    def test_one_file_shown_in_full_without_waiting(self):
        self.copy("chan.kaf")
        code, out, _ = run(["-r", "3", "chan.kaf"], cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertTrue(out.startswith(BANNER + "========================\n"
                                                "Querschnittsbeschreibung\n"), out[:300])
        self.assertTrue(out.endswith("File : chan.kaf\n The section has 3 Elements\n"
                                     " The thickness is 1.5\n Note: E = 21000 kN/mm^2 is about 100 "
                                     "times steel's; check the units of chan.kaf.\n"
                                     " Radii are measured to the centre line "
                                     "of the plates: the inner bend radius plus half the "
                                     "thickness.\n\nGenerated Files: \n"
                                     "chan-rr1.kaf\nchan-rr1-shear.kaf\n"))

    def test_many_files_and_one_that_cannot_be_read(self):
        for name in ("channel.kaf", "hat.kaf", "zed.kaf"):
            self.copy(name, source_dir=EXAMPLES)
        with open(self.path("broken.kaf"), "w") as f:
            f.write("no section\n")
        # One radius each: 2 x the thickness of plate 1.
        code, out, _ = run(["-q", "channel.kaf", "broken.kaf", "missing.kaf", "hat.kaf",
                            "zed.kaf"], cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out, "channel-rr1.kaf\nchannel-rr1-shear.kaf\n"
                              "Cannot use broken.kaf: the first line is no KAF header "
                              "(it does not begin with \"****\").\n"
                              "Cannot use missing.kaf: it does not exist.\n"
                              "hat-rr1.kaf\nhat-rr1-shear.kaf\n"
                              "zed-rr1.kaf\nzed-rr1-shear.kaf\n")
        # The hat is 1 thick: its default radius is 2.
        self.assertIn("Radius 2, convex, 4 elements per corner, thickness 1 \n",
                      read(self.path("hat-rr1.kaf")).decode())

    def test_a_wrong_command_line_writes_nothing(self):
        self.copy("chan.kaf")
        self.copy("chan.kaf", "plain.txt")
        cases = {
            ("-t", "abc"): "Not a thickness: abc. Type a number above 0, such as 2.5.",
            ("-t", "0"): "Not a thickness: 0. Type a number above 0, such as 2.5.",
            ("-r", "-1"): "Not a radius: -1. Type a number above 0, such as 2.5.",
            ("--radii", "4:2:3"): "Not a range of radii: 4 to 2. The first must be above 0 "
                                  "and below the last.",
            ("--radii", "2,5:4:3"): "Not a radius: 2,5. Type a number above 0, such as 2.5.",
            ("--radii", "2:4:1001"): "Not a number of radii: 1001. Type a whole number from 1 "
                                     "to 1000.",
            ("--radii", "2:4"): "Not a series of radii: 2:4. Type FIRST:LAST:COUNT, such as "
                                "2:10:5.",
            ("-e", "-1"): "Not a number of elements: -1. Type a whole number from 0 up.",
            ("-e", "2.5"): "Not a number of elements: 2.5. Type a whole number from 0 up.",
            ("-e", "0.5"): "Not a number of elements: 0.5. Type a whole number from 0 up.",
            ("-d", "3000000000"): "Not a division number for plate 1: 3000000000. Type a whole "
                                  "number from 1 to 20000000.",
            ("-d", "2,x,3"): "Not a division number for plate 2: x. Type a whole number "
                             "from 1 to 20000000.",
            ("-o", "nowhere"): "The output folder nowhere does not exist.",
            ("-o", "plain.txt"): "The output folder plain.txt is not a folder.",
            ("-x",): "Unknown option: -x. zorvik --help lists the options.",
            ("--concave=yes",): "The option --concave takes no value.",
            ("-r", "2", "--radii", "2:3:2"): "--radius and --radii cannot be given together; "
                                             "give one of them.",
        }
        for arguments, message in cases.items():
            with self.subTest(arguments):
                code, out, err = run(list(arguments) + ["chan.kaf"], cwd=self.dir)
                self.assertEqual((code, out, err.replace("\r\n", "\n")),
                                 (2, "", "zorvik: " + message + "\n"))
        for arguments, message in ((["-q"], "No section file given. zorvik --help lists the "
                                            "options."),
                                   (["chan.kaf", "-t"], "The option -t needs a value.")):
            code, out, err = run(arguments, cwd=self.dir)
            self.assertEqual((code, err.replace("\r\n", "\n")), (2, "zorvik: " + message + "\n"))
        self.assertEqual(self.files(), ["chan.kaf", "plain.txt"])

    def test_division_numbers_that_fit_one_file_and_not_another(self):
        self.copy("chan.kaf")
        self.copy("angle.kaf", source_dir=EXAMPLES)
        code, out, _ = run(["-q", "-d", "2,4,2", "chan.kaf", "angle.kaf"], cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out, "chan-rr1.kaf\nchan-rr1-shear.kaf\n"
                              "Cannot use angle.kaf: it has 2 plates, but 3 division numbers "
                              "were given.\n")
        self.assertEqual(self.files(), ["angle.kaf", "chan-rr1-shear.kaf", "chan-rr1.kaf",
                                        "chan.kaf"])

    def test_output_folder(self):
        self.copy("chan.kaf")
        self.folder("out")
        code, out, _ = run(["-q", "--radii", "2:3:2", "--output-dir", "out", "chan.kaf"],
                           cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertEqual(out, "out/chan-rr1.kaf\nout/chan-rr1-shear.kaf\n"
                              "out/chan-rr2.kaf\nout/chan-rr2-shear.kaf\n")
        self.assertEqual(self.files(), ["chan.kaf", "out"])
        self.assertEqual(sorted(os.listdir(self.path("out"))),
                         ["chan-rr1-shear.kaf", "chan-rr1.kaf", "chan-rr2-shear.kaf",
                          "chan-rr2.kaf"])

    def test_help_version_and_a_file_named_like_an_option(self):
        code, out, _ = run(["--help"], cwd=self.dir)
        self.assertEqual(code, 0)
        self.assertTrue(out.startswith("Usage: zorvik FILE.kaf"))
        self.assertIn("  -o, --output-dir DIR ", out)
        self.assertEqual(run(["-h", "-x"], cwd=self.dir)[:2], (0, out))
        self.assertEqual(run(["--version"], cwd=self.dir)[:2], (0, "zorvik 0.64\n"))
        self.copy("chan.kaf", "-x.kaf")
        code, out, _ = run(["-q", "--", "-x.kaf"], cwd=self.dir)
        self.assertEqual((code, out), (0, "-x-rr1.kaf\n-x-rr1-shear.kaf\n"))


if __name__ == "__main__":
    unittest.main()
