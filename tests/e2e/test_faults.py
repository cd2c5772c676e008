"""Fault injection: full disk, vanished input, odd paths. Each run ends with a
clear message and exit code 1 (or does its job), leaves the input file as it
was, and leaves no partial or temporary file behind."""
import os
import resource
import shutil
import signal
import subprocess
import time
import unittest

from harness import DATA, RUNNER, ZorvikTestCase, command, read, run

ANSWERS = b"\n2\n2 3\n\n\n\n\n"


def small_file_limit():
    # A disk that is full after 500 bytes: writes beyond fail with EFBIG
    # instead of killing the process.
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (500, 500))


def no_core_file():
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


@unittest.skipIf(RUNNER, "POSIX resource limits and paths")
class FaultTest(ZorvikTestCase):
    def test_full_disk_reports_every_file_and_keeps_older_ones(self):
        self.copy("chan.kaf")
        with open(self.path("chan-rr2.kaf"), "wb") as f:
            f.write(b"older file")
        code, out, _ = run(["chan.kaf"], answers=ANSWERS, cwd=self.dir,
                           preexec_fn=small_file_limit)
        self.assertEqual(code, 1)
        self.assertIn("Generated Files: \n"
                      "chan-rr1.kaf was not written: writing failed: File too large\n"
                      "chan-rr1-shear.kaf was not written: writing failed: File too large\n"
                      "chan-rr2.kaf was not written: writing failed: File too large\n"
                      "chan-rr2-shear.kaf was not written: writing failed: File too large\n"
                      " Files of an earlier series remain: chan-rr2.kaf.\n"
                      "Press key...", out)
        self.assertEqual(self.files(), ["chan-rr2.kaf", "chan.kaf"])
        self.assertEqual(read(self.path("chan-rr2.kaf")), b"older file")
        self.assertEqual(read(self.path("chan.kaf")), read(os.path.join(DATA, "chan.kaf")))

    def test_input_deleted_between_description_and_rounds(self):
        self.copy("chan.kaf")
        child = subprocess.Popen(command("chan.kaf"), cwd=self.dir, stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE)
        seen = b""
        deadline = time.time() + 30
        while b"Thickness [return=old]: " not in seen and time.time() < deadline:
            seen += os.read(child.stdout.fileno(), 4096)
        os.remove(self.path("chan.kaf"))
        rest, _ = child.communicate(ANSWERS, timeout=30)
        out = (seen + rest).decode()
        self.assertEqual(child.returncode, 1)
        self.assertIn("Generated Files: \n"
                      "chan.kaf could not be read again: it does not exist; "
                      "no files for radius 2\n"
                      "chan.kaf could not be read again: it does not exist; "
                      "no files for radius 3\n"
                      "Press key...", out)
        self.assertEqual(self.files(), [])

    def test_path_with_blanks_and_non_ascii_bytes(self):
        folder = os.path.join(self.dir.encode(), b"Quer schnitte \xe4\xf6")
        os.mkdir(folder)
        shutil.copyfile(os.path.join(DATA, "chan.kaf"), os.path.join(folder, b"C 100 \xfc.kaf"))
        done = subprocess.run(command() + [os.path.join(folder, b"C 100 \xfc.kaf")],
                              input=ANSWERS, stdout=subprocess.PIPE)
        self.assertEqual(done.returncode, 0)
        self.assertIn(b"Quer schnitte \xe4\xf6/C 100 \xfc-rr2-shear.kaf\nPress key...",
                      done.stdout)
        self.assertEqual(sorted(os.listdir(folder)),
                         [b"C 100 \xfc-rr1-shear.kaf", b"C 100 \xfc-rr1.kaf",
                          b"C 100 \xfc-rr2-shear.kaf", b"C 100 \xfc-rr2.kaf", b"C 100 \xfc.kaf"])

    def test_an_interrupted_save_leaves_no_temporary_file(self):
        # A section of 900,000 plates, made by the program itself (every plate
        # of chan.kaf in 300,000 pieces), takes long enough to save to be
        # interrupted in the middle.
        self.copy("chan.kaf")
        code, _, _ = run(["chan.kaf"], answers=b"\n\n1\n\n0\n1\n300000 300000 300000\n\n",
                         cwd=self.dir)
        self.assertEqual(code, 0)
        os.rename(self.path("chan-rr1.kaf"), self.path("big.kaf"))
        for signo in (signal.SIGINT, signal.SIGTERM, signal.SIGQUIT):
            with open(self.path("big-rr1.kaf"), "wb") as f:
                f.write(b"older file")
            child = subprocess.Popen(command("big.kaf"), cwd=self.dir, stdin=subprocess.PIPE,
                                     stdout=subprocess.DEVNULL, preexec_fn=no_core_file)
            child.stdin.write(b"\n\n1e-5\n\n0\n\n\n")  # a radius that fits the tiny plates
            child.stdin.close()
            deadline = time.time() + 60
            while not [name for name in self.files()
                       if name.startswith("~zorvik-") and os.path.getsize(self.path(name)) > 0]:
                self.assertLess(time.time(), deadline, "no save was seen in progress")
                time.sleep(0.001)
            child.send_signal(signo)
            self.assertEqual(child.wait(timeout=30), -signo)
            self.assertEqual([n for n in self.files() if n.startswith("~zorvik-")], [])
            self.assertEqual(read(self.path("big-rr1.kaf")), b"older file")

    def test_long_names_and_two_runs_in_one_folder(self):
        # The temporary file's name does not grow with the target's: a name of
        # 250 bytes is written.
        long_input = "x" * 236 + ".kaf"
        self.copy("chan.kaf", long_input)
        code, out, _ = run([long_input], answers=b"\n\n3\n\n\n\n\n", cwd=self.dir)
        self.assertEqual(code, 0, out[-300:])
        self.assertEqual(len("x" * 236 + "-rr1-shear.kaf"), 250)
        self.assertIn("x" * 236 + "-rr1-shear.kaf", self.files())
        # Two programs writing into one folder at once do not meet.
        self.copy("chan.kaf", "a.kaf")
        self.copy("chan.kaf", "b.kaf")
        series = b"\n20\n2 40\n\n\n\n\n"
        children = [subprocess.Popen(command(name), cwd=self.dir, stdin=subprocess.PIPE,
                                     stdout=subprocess.DEVNULL) for name in ("a.kaf", "b.kaf")]
        for child in children:
            child.stdin.write(series)
            child.stdin.close()
        self.assertEqual([child.wait(timeout=60) for child in children], [0, 0])
        for name in ("a", "b"):
            self.assertEqual(len([n for n in self.files() if n.startswith(name + "-rr")]), 40)
        self.assertEqual([n for n in self.files() if n.startswith("~")], [])

    def test_directory_as_input_is_refused(self):
        os.mkdir(self.path("dir.kaf"))
        code, out, _ = run(["dir.kaf"], answers=b"\n", cwd=self.dir)
        self.assertEqual(code, 1)
        self.assertTrue(out.endswith("Cannot use dir.kaf: it is not a regular file.\nPress key..."))
        self.assertEqual(self.files(), ["dir.kaf"])


    def test_a_hangup_ignored_by_nohup_stays_ignored(self):
        self.copy("chan.kaf")
        code, _, _ = run(["-q", "-r", "3", "-d", "300000,300000,300000", "chan.kaf"],
                         cwd=self.dir)
        self.assertEqual(code, 0)
        os.rename(self.path("chan-rr1.kaf"), self.path("big.kaf"))

        def nohup():
            no_core_file()
            signal.signal(signal.SIGHUP, signal.SIG_IGN)
        child = subprocess.Popen(command("-q", "-e", "0", "big.kaf"), cwd=self.dir,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 preexec_fn=nohup)
        deadline = time.time() + 60
        while not [n for n in self.files() if n.startswith("~zorvik-")]:
            self.assertLess(time.time(), deadline, "no save was seen in progress")
            time.sleep(0.001)
        child.send_signal(signal.SIGHUP)
        self.assertEqual(child.wait(timeout=60), 0)
        self.assertEqual([n for n in self.files() if n.startswith("~zorvik-")], [])
        self.assertIn("big-rr1-shear.kaf", self.files())

    def test_limits_end_a_round_with_one_line_and_no_temporary_file(self):
        self.copy("chan.kaf")
        with open(self.path("chan-rr1.kaf"), "wb") as f:
            f.write(b"older file")

        def file_size_limit():  # SIGXFSZ as the shell leaves it: ending the program
            resource.setrlimit(resource.RLIMIT_FSIZE, (500, 500))

        def memory_limit():
            resource.setrlimit(resource.RLIMIT_AS, (400 << 20, 400 << 20))
        cases = [
            (["-q", "-r", "3", "chan.kaf"], file_size_limit,
             "chan-rr1.kaf was not written: writing failed: File too large\n"
             "chan-rr1-shear.kaf was not written: writing failed: File too large\n"
             " Files of an earlier series remain: chan-rr1.kaf.\n"),
            (["-q", "-r", "3", "-d", "3000000,3000000,3000000", "chan.kaf"], memory_limit,
             "No files for radius 3 of chan.kaf: out of memory.\n"
             " Files of an earlier series remain: chan-rr1.kaf.\n"),
        ]
        if os.environ.get("ZORVIK_SANITIZED"):
            cases.pop()  # a sanitizer reserves more address space than any such limit
        for arguments, limit, message in cases:
            with self.subTest(limit.__name__):
                code, out, err = run(arguments, cwd=self.dir, preexec_fn=limit)
                self.assertEqual((code, out, err), (1, message, ""))
                self.assertEqual(self.files(), ["chan-rr1.kaf", "chan.kaf"])
                self.assertEqual(read(self.path("chan-rr1.kaf")), b"older file")

    def test_input_that_never_completes_an_answer_ends_the_run(self):
        self.copy("chan.kaf")
        with open("/dev/zero", "rb") as zero:
            done = subprocess.run(command("chan.kaf"), cwd=self.dir, stdin=zero,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        self.assertEqual(done.returncode, 1)
        self.assertEqual(done.stderr, b"zorvik: standard input gave 100000 bytes without an "
                                      b"answer; the run ends here.\n")
        self.assertTrue(done.stdout.endswith(b" Thickness [return=old]: "))
        self.assertEqual(self.files(), ["chan.kaf"])


if __name__ == "__main__":
    unittest.main()
