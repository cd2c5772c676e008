"""The README shows what the programs print. Every console block that begins
with "$ " runs, command by command, in a fresh folder holding copies of the
example sections, with the four programs on the PATH; each command's output
(standard output and standard error as a terminal shows them) must be the
lines under it, where a line "..." stands for any number of lines. The
dialogue session is typed into zorvik on a pseudo-terminal, and the screen
it leaves must hold the README's lines (without the "<- ..." notes)."""
import glob
import os
import re
import shutil
import stat
import subprocess
import unittest

from harness import (DATA, RUNNER, ZORVIK, ZORVIK_BUCKLE, ZORVIK_MAKE, ZORVIK_VIEW,
                     ZorvikTestCase)

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
README = os.path.join(ROOT, "README.md")
EXAMPLES = os.path.join(ROOT, "examples")
PROGRAMS = {"zorvik": ZORVIK, "zorvik-view": ZORVIK_VIEW, "zorvik-make": ZORVIK_MAKE,
            "zorvik-buckle": ZORVIK_BUCKLE}


def fenced_blocks(text):
    """(line number, lines) of every ``` block."""
    blocks, current, start = [], None, 0
    for number, line in enumerate(text.split("\n"), 1):
        if line.startswith("```"):
            if current is None:
                current, start = [], number + 1
            else:
                blocks.append((start, current))
                current = None
        elif current is not None:
            current.append(line)
    return blocks


def screen_lines(raw):
    """The lines a terminal shows for raw output: a carriage return goes back
    to the start of the line, a backspace one column, and later characters
    overwrite earlier ones. Trailing blanks are dropped."""
    lines, line, column = [], [], 0
    for char in raw:
        if char == "\n":
            lines.append("".join(line).rstrip())
            line, column = [], 0
        elif char == "\r":
            column = 0
        elif char == "\b":
            column = max(0, column - 1)
        else:
            if column < len(line):
                line[column] = char
            else:
                line.append(char)
            column += 1
    if line:
        lines.append("".join(line).rstrip())
    return lines


def matches(expected, actual):
    """expected lines against actual ones; "..." matches any number of lines."""
    if not expected:
        return not actual
    if expected[0] == "...":
        return any(matches(expected[1:], actual[i:]) for i in range(len(actual) + 1))
    return bool(actual) and expected[0] == actual[0] and matches(expected[1:], actual[1:])


def commands_of(lines):
    """[(command, expected output lines)] of a "$ " block."""
    steps = []
    for line in lines:
        if line.startswith("$ "):
            steps.append((line[2:], []))
        else:
            steps[-1][1].append(line.rstrip())
    while steps and steps[-1][1] and steps[-1][1][-1] == "":
        steps[-1][1].pop()
    return steps


@unittest.skipIf(RUNNER, "the README shows the Linux build's transcripts")
class ReadmeTest(ZorvikTestCase):
    def setUp(self):
        super().setUp()
        with open(README, encoding="utf-8") as f:
            self.blocks = fenced_blocks(f.read())
        self.bin = os.path.join(self.dir, "bin")
        os.mkdir(self.bin)
        for name, program in PROGRAMS.items():
            wrapper = os.path.join(self.bin, name)
            with open(wrapper, "w") as f:
                f.write('#!/bin/sh\nexec "%s" "$@"\n' % program)
            os.chmod(wrapper, stat.S_IRWXU)

    def fresh_folder(self, name):
        folder = os.path.join(self.dir, name)
        os.mkdir(folder)
        for section in glob.glob(os.path.join(EXAMPLES, "*.kaf")):
            shutil.copy(section, folder)
        return folder

    def run_block(self, number, lines):
        folder = self.fresh_folder("block%d" % number)
        environment = dict(os.environ, PATH=self.bin + os.pathsep + os.environ["PATH"])
        for command, expected in commands_of(lines):
            done = subprocess.run(["bash", "-c", command], cwd=folder, env=environment,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                  stderr=subprocess.STDOUT, timeout=120)
            actual = screen_lines(done.stdout.decode("utf-8"))
            self.assertTrue(matches(expected, actual),
                            "README line %d, $ %s\nREADME:\n%s\nprinted:\n%s" % (
                                number, command, "\n".join(expected), "\n".join(actual)))

    def test_every_command_block_prints_what_the_readme_shows(self):
        ran = 0
        for number, lines in self.blocks:
            if lines and lines[0].startswith("$ "):
                with self.subTest(readme_line=number):
                    self.run_block(number, lines)
                ran += 1
        self.assertGreater(ran, 5)

    def test_the_dialogue_session_is_what_the_screen_shows(self):
        from test_terminal import Terminal  # POSIX only
        session = [lines for _, lines in self.blocks if lines and lines[0] == "=" * 24]
        self.assertEqual(len(session), 1)
        expected = [re.sub(r"\s+<- .*$", "", line).rstrip() for line in session[0]]
        folder = os.path.join(self.dir, "session")
        os.mkdir(folder)
        shutil.copy(os.path.join(DATA, "chan.kaf"), folder)
        term = Terminal(["chan.kaf"], folder)
        self.addCleanup(term.close)
        term.read_until(b" Thickness [return=old]: ")
        term.press(b"\r")
        term.read_until(b"[return=1]? ")
        term.press(b"3\r")
        term.read_until(b"Radius from ... to ... ? \r\n")
        term.type(b"2,5 4\r")  # numbers go through the terminal's line editing
        term.read_until(b"such as 2 4.\r\nRadius from ... to ... ? \r\n")
        term.type(b"2.5 4\r")
        term.read_until(b"[return=convex]? ")
        term.press(b"\r\r\r")
        term.read_until(b"Press key...")
        term.press(b" ")
        self.assertEqual(os.WEXITSTATUS(term.wait()), 0)
        shown = screen_lines(term.output.decode("utf-8"))
        starts = [i for i, line in enumerate(shown) if shown[i:i + len(expected)] == expected]
        self.assertTrue(starts, "README:\n%s\nscreen:\n%s" % ("\n".join(expected),
                                                               "\n".join(shown)))


if __name__ == "__main__":
    unittest.main()
