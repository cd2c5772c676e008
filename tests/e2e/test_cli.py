"""Program entry: banner, usage, missing files, exit codes."""
import os
import unittest

from harness import BANNER, USAGE, ZorvikTestCase, run


class EntryTest(ZorvikTestCase):
    def test_no_argument_shows_banner_and_usage_and_waits_for_a_key(self):
        code, out, _ = run([], answers=b"x")
        self.assertEqual(code, 1)
        self.assertEqual(out, BANNER + USAGE)

    def test_missing_file_is_named_as_given(self):
        code, out, _ = run(["no such dir/chan %s.kaf"], cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out, BANNER + "Datei no such dir/chan %s.kaf nicht gefunden!\n" + USAGE)

    def test_second_argument_is_ignored(self):
        self.copy("chan.kaf")
        code, out, _ = run(["chan.kaf", "ignored.kaf"], answers=b"\n0\n", cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.startswith(BANNER + "========================\n"))
        self.assertTrue(out.endswith("How many radiuses shall be evaluated [return=1]? 0\r"))

    def test_directory_passes_the_existence_test_and_is_refused_by_the_loader(self):
        os.mkdir(self.path("section.kaf"))
        code, out, _ = run(["section.kaf"], cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertEqual(out, BANNER + "Cannot use section.kaf: it is not a regular file\n"
                         "Press key...")


if __name__ == "__main__":
    unittest.main()
