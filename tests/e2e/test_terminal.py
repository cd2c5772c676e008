"""zorvik on a real terminal (a pseudo-terminal): keys are read one by one
without echo, Return reads as a carriage return, and the terminal is left as
it was, also after Ctrl-C."""
import os
import pty
import resource
import re
import select
import shutil
import signal
import termios
import time
import unittest

from harness import DATA, RUNNER, ZorvikTestCase, command, kaf_plates


class Terminal:
    """zorvik started on the slave side of a pseudo-terminal."""

    def __init__(self, args, cwd, ignore_hangup=False):
        self.pid, self.master = pty.fork()
        if self.pid == 0:
            os.chdir(cwd)
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))  # Ctrl-\ leaves no core file
            if ignore_hangup:
                signal.signal(signal.SIGHUP, signal.SIG_IGN)
            os.execvp(command()[0], command(*args))
        self.output = b""

    def read_until(self, text, timeout=20):
        deadline = time.time() + timeout
        while text not in self.output:
            left = deadline - time.time()
            if left <= 0:
                raise AssertionError("no %r in %r" % (text, self.output[-300:]))
            ready, _, _ = select.select([self.master], [], [], left)
            if ready:
                try:
                    chunk = os.read(self.master, 4096)
                except OSError:
                    chunk = b""
                if not chunk:
                    raise AssertionError("ended before %r: %r" % (text, self.output[-300:]))
                self.output += chunk

    def close(self):
        os.close(self.master)

    def type(self, keys):
        os.write(self.master, keys)

    def press(self, keys, timeout=20):
        """Types keys one at a time, each once zorvik waits for a key."""
        for key in keys:
            deadline = time.time() + timeout
            while self.settings()[3] & termios.ICANON:
                if time.time() > deadline:
                    raise AssertionError("zorvik does not wait for a key")
                time.sleep(0.01)
            os.write(self.master, bytes([key]))
            time.sleep(0.05)

    def settings(self):
        return termios.tcgetattr(self.master)

    def wait(self, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                try:
                    while True:
                        ready, _, _ = select.select([self.master], [], [], 0.2)
                        chunk = os.read(self.master, 4096) if ready else b""
                        if not chunk:
                            break
                        self.output += chunk
                except OSError:
                    pass
                return status
            time.sleep(0.05)
        os.kill(self.pid, signal.SIGKILL)
        raise AssertionError("zorvik did not end: %r" % self.output[-300:])


class JobTerminal(Terminal):
    """zorvik as a job of a shell on a pseudo-terminal: the session's leader
    starts it in a process group of its own in the foreground, so that Ctrl-Z
    stops it (a stop that no shell could take back is not made), and ends
    with its exit code. zorvik's process number is written to job.pid."""

    def __init__(self, args, cwd):
        self.pid, self.master = pty.fork()
        if self.pid == 0:
            os.chdir(cwd)
            child = os.fork()
            if child == 0:
                os.setpgid(0, 0)
                signal.signal(signal.SIGTTOU, signal.SIG_IGN)
                os.tcsetpgrp(0, os.getpgrp())
                signal.signal(signal.SIGTTOU, signal.SIG_DFL)
                os.execvp(command()[0], command(*args))
            with open("job.pid", "w") as f:
                f.write(str(child))
            _, status = os.waitpid(child, 0)
            os._exit(os.waitstatus_to_exitcode(status) & 0xFF)
        self.output = b""


def process_state(pid):
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def fresh_terminal_settings():
    master, slave = pty.openpty()
    try:
        return termios.tcgetattr(master)
    finally:
        os.close(master)
        os.close(slave)


@unittest.skipIf(RUNNER, "pseudo-terminals are POSIX")
class TerminalTest(ZorvikTestCase):
    def start(self, args, ignore_hangup=False):
        term = Terminal(args, self.dir, ignore_hangup)
        self.addCleanup(term.close)
        return term

    def test_a_terminal_that_goes_away_is_not_an_answer(self):
        # With SIGHUP ignored (nohup), closing the terminal makes every read
        # fail: the run ends with exit code 1 and writes nothing.
        shutil.copy(os.path.join(DATA, "chan.kaf"), self.path("chan.kaf"))
        term = Terminal(["chan.kaf"], self.dir, ignore_hangup=True)
        term.read_until(b"Thickness [return=old]: ")
        os.close(term.master)
        deadline = time.time() + 20
        while True:
            pid, status = os.waitpid(term.pid, os.WNOHANG)
            if pid:
                break
            self.assertLess(time.time(), deadline, "zorvik went on without its terminal")
            time.sleep(0.05)
        self.assertTrue(os.WIFEXITED(status))
        self.assertEqual(os.WEXITSTATUS(status), 1)
        self.assertEqual(self.files(), ["chan.kaf"])

    def test_arrow_keys_are_not_answers(self):
        shutil.copy(os.path.join(DATA, "chan.kaf"), self.path("chan.kaf"))
        term = self.start(["chan.kaf"])
        term.read_until(b"Thickness [return=old]: ")
        term.press(b"\x1b[D\x1b[A\x1bOH2\r")
        term.read_until(b"How many radiuses")
        self.assertIn(b"Thickness [return=old]: 2\r\r\n", term.output)
        self.assertNotIn(b"[D", term.output)
        self.assertNotIn(b"Not a thickness", term.output)
        term.press(b"0\r")
        term.wait()

    def test_ctrl_backslash_restores_the_terminal(self):
        shutil.copy(os.path.join(DATA, "chan.kaf"), self.path("chan.kaf"))
        term = self.start(["chan.kaf"])
        term.read_until(b"Thickness [return=old]: ")
        term.press(b"\x1c")
        status = term.wait()
        self.assertTrue(os.WIFSIGNALED(status))
        self.assertEqual(os.WTERMSIG(status), signal.SIGQUIT)
        self.assertEqual(term.settings(), fresh_terminal_settings())
        self.assertEqual(self.files(), ["chan.kaf"])

    def test_usage_waits_for_one_key_without_return(self):
        term = self.start([])
        term.read_until(b"Ende mit Taste...")
        time.sleep(0.3)
        self.assertEqual(os.waitpid(term.pid, os.WNOHANG), (0, 0))  # still waiting
        term.press(b"q")
        status = term.wait()
        self.assertTrue(os.WIFEXITED(status))
        self.assertEqual(os.WEXITSTATUS(status), 1)
        self.assertNotIn(b"q", term.output.split(b"Ende mit Taste...")[1])  # no echo
        self.assertEqual(term.settings(), fresh_terminal_settings())

    def test_a_session_typed_key_by_key(self):
        shutil.copyfile(os.path.join(DATA, "chan.kaf"), os.path.join(self.dir, "chan.kaf"))
        term = self.start(["chan.kaf"])
        term.read_until(b" Thickness [return=old]: ")
        term.press(b"\r")
        term.read_until(b"[return=1]? ")
        term.press(b"3\r")
        term.read_until(b"Radius from ... to ... ? \r\n")
        # Numbers go through the terminal's line editing: typed with echo.
        term.type(b"2 4\r")
        term.read_until(b"[return=convex]? ")
        term.press(b"\r\r\r")
        term.read_until(b"Press key...")
        term.press(b" ")
        status = term.wait()
        self.assertEqual(os.WEXITSTATUS(status), 0)
        self.assertEqual(term.settings(), fresh_terminal_settings())
        self.assertIn(b" Thickness [return=old]: \r1.5\r\n"
                      b"How many radiuses shall be evaluated [return=1]? 3\r\r\n", term.output)
        self.assertIn(b"Generated Files: \r\nchan-rr1.kaf\r\n", term.output)
        self.assertEqual(len(os.listdir(self.dir)), 7)

    def test_backspace_takes_back_a_typed_key(self):
        shutil.copyfile(os.path.join(DATA, "chan.kaf"), os.path.join(self.dir, "chan.kaf"))
        term = self.start(["chan.kaf"])
        term.read_until(b" Thickness [return=old]: ")
        term.press(b"5\x7f2\r")  # the terminal's Backspace key sends DEL
        term.read_until(b"[return=1]? ")
        term.press(b"\r")
        term.read_until(b"Radius? ")
        term.type(b"3\r")
        term.read_until(b"[return=convex]? ")
        term.press(b"\r\r\r")
        term.read_until(b"Press key...")
        term.press(b" ")
        self.assertEqual(os.WEXITSTATUS(term.wait()), 0)
        # The screen shows 2 where 5 was, and the files are 2 thick.
        self.assertIn(b" Thickness [return=old]: 5\b \b2\r\r\n", term.output)
        self.assertEqual(set(kaf_plates(os.path.join(self.dir, "chan-rr1.kaf"))[1]), {2.0})

    @unittest.skipUnless(os.path.exists("/proc/self/stat"), "needs /proc")
    def test_ctrl_z_gives_the_terminal_back_and_takes_it_again(self):
        shutil.copyfile(os.path.join(DATA, "chan.kaf"), os.path.join(self.dir, "chan.kaf"))
        term = JobTerminal(["chan.kaf"], self.dir)
        self.addCleanup(term.close)
        term.read_until(b" Thickness [return=old]: ")

        def wait_for(condition, what):
            deadline = time.time() + 20
            while not condition():
                self.assertLess(time.time(), deadline, what)
                time.sleep(0.01)
        wait_for(lambda: not term.settings()[3] & termios.ICANON, "no key mode")
        wait_for(lambda: os.path.exists(self.path("job.pid")), "no job")
        with open(self.path("job.pid")) as f:
            zorvik = int(f.read())
        term.type(b"\x1a")  # Ctrl-Z: the terminal stops the foreground job
        wait_for(lambda: process_state(zorvik) == "T", "zorvik did not stop")
        fresh = fresh_terminal_settings()
        self.assertEqual(term.settings()[3] & (termios.ICANON | termios.ECHO),
                         fresh[3] & (termios.ICANON | termios.ECHO))
        os.kill(zorvik, signal.SIGCONT)
        wait_for(lambda: not term.settings()[3] & termios.ICANON, "no key mode after SIGCONT")
        self.assertFalse(term.settings()[3] & termios.ECHO)
        term.press(b"\r\r")
        term.read_until(b"Radius? ")
        term.type(b"3\r")
        term.read_until(b"[return=convex]? ")
        term.press(b"\r\r\r")
        term.read_until(b"Press key...")
        term.press(b" ")
        self.assertEqual(os.WEXITSTATUS(term.wait()), 0)
        self.assertIn(b"Thickness [return=old]: \r1.5\r\n", term.output)
        self.assertIn("chan-rr1.kaf", self.files())

    def test_ctrl_c_at_a_question_restores_the_terminal(self):
        shutil.copyfile(os.path.join(DATA, "chan.kaf"), os.path.join(self.dir, "chan.kaf"))
        term = self.start(["chan.kaf"])
        term.read_until(b" Thickness [return=old]: ")
        term.press(b"\x03")  # once the terminal is in key mode
        status = term.wait()
        self.assertTrue(os.WIFSIGNALED(status))
        self.assertEqual(os.WTERMSIG(status), signal.SIGINT)
        self.assertEqual(term.settings(), fresh_terminal_settings())


@unittest.skipUnless(RUNNER, "the Windows build under wine")
class WineConsoleTest(ZorvikTestCase):
    """zorvik.exe in wine's console on a pseudo-terminal: keys come through the
    Windows key read (_getch), not through standard input."""

    def test_backspace_takes_back_a_key_in_the_windows_console(self):
        shutil.copyfile(os.path.join(DATA, "chan.kaf"), os.path.join(self.dir, "chan.kaf"))
        term = Terminal(["chan.kaf"], self.dir)
        self.addCleanup(term.close)

        def screen_shows(text, timeout=90):
            # Wine paints the console character by character between cursor
            # controls, and blanks as cursor moves; without them the screen's
            # text reads in order, without its blanks.
            deadline = time.time() + timeout
            while True:
                plain = re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", term.output).replace(b" ", b"")
                if text.replace(b" ", b"") in plain:
                    term.output = b""
                    return
                if time.time() > deadline:
                    raise AssertionError("no %r in %r" % (text, plain[-300:]))
                ready, _, _ = select.select([term.master], [], [], 0.2)
                if ready:
                    try:
                        term.output += os.read(term.master, 4096)
                    except OSError:
                        pass

        for prompt, keys in ((b"[return=old]:", b"5\x082\r"), (b"[return=1]?", b"\r"),
                             (b"Radius?", b"3\r"), (b"[return=convex]?", b"\r"),
                             (b"[return=4]?", b"\r"), (b"return=0)?", b"\r"),
                             (b"Press key...", b" ")):
            screen_shows(prompt)
            for key in keys:
                term.type(bytes([key]))
                time.sleep(0.3)
        term.wait(timeout=90)
        self.assertEqual(set(kaf_plates(os.path.join(self.dir, "chan-rr1.kaf"))[1]), {2.0})


if __name__ == "__main__":
    unittest.main()
