"""The program off the happy path: the window leaving full screen with a window manager and without one,
mouse look in a small window, quitting while the window is hidden, and the command line.

Run from this folder as `python3 -m unittest -v e2e_window`, with TOVI_PROGRAM holding the path of the
built program and TOVI_VERSION its version.
"""

import os
import subprocess
import tempfile
import time
import unittest

import e2e_program
from e2e_program import (FADE_OUT_LONGEST, FADE_OUT_SHORTEST, SCREEN_HEIGHT, SCREEN_WIDTH,
                         STARTUP_WITHOUT_PREFS, WINDOW_TIMEOUT, ProgramRun, ProgramTestCase)

NO_DISPLAY = {name: value for name, value in os.environ.items() if name != "DISPLAY"}


class ArgumentRun(ProgramRun):
    """A run with a command line of its own and no DISPLAY in its environment."""

    def __init__(self, arguments):
        self.scratch = tempfile.TemporaryDirectory(prefix="tovi-e2e-")
        self.workdir = self.scratch.name
        self.stdout_path, self.stderr_path = (os.path.join(self.workdir, name) for name in ("out", "err"))
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen([e2e_program.PROGRAM] + arguments, cwd=self.workdir,
                                            env=NO_DISPLAY, stdin=subprocess.DEVNULL, stdout=out, stderr=err)


class WindowSizes(ProgramTestCase):
    """F leaves full screen for a 600 x 600 window and comes back; in a window resized smaller, mouse look
    holds the pointer at its middle (so the keys still reach it); a quit key, the window hidden at once,
    still ends the program on time."""

    def wait_for(self, what, check, run):
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while not check():
            if time.monotonic() > deadline:
                self.fail("no %s within %.0f s:%s" % (what, WINDOW_TIMEOUT, run.transcript()))
            time.sleep(0.1)

    def sized(self, run, window, width, height):
        """Waits for the window's size, then for the pointer at its middle; returns its place."""
        self.wait_for("%dx%d window" % (width, height),
                      lambda: self.xserver.geometry(window)[2:4] == (width, height), run)
        x, y = self.xserver.geometry(window)[:2]
        middle = "x:%d y:%d " % (x + width // 2, y + height // 2)
        self.wait_for("pointer at " + middle,
                      lambda: self.xserver._tool("xdotool", "getmouselocation").startswith(middle), run)
        return x, y

    def leave_and_return_then_quit_hidden(self, run, hide):
        window, _, _, _, _ = self.wait_for_window(run)
        self.xserver.press("f")
        self.sized(run, window, 600, 600)
        self.xserver._tool("xdotool", "windowsize", str(window), "400", "300")
        self.sized(run, window, 400, 300)
        self.xserver.press("f")  # reaches the window only when the pointer stayed in it
        self.assertEqual(self.sized(run, window, SCREEN_WIDTH, SCREEN_HEIGHT), (0, 0))
        pressed = time.monotonic()
        self.xserver.press("Escape")
        self.xserver._tool("xdotool", hide, str(window))
        status = run.wait_exit(FADE_OUT_LONGEST)
        self.assert_ended_cleanly(run, STARTUP_WITHOUT_PREFS, status)
        self.assertGreaterEqual(time.monotonic() - pressed, FADE_OUT_SHORTEST)


class WithoutWindowManager(WindowSizes):
    """freeglut alone sizes the window, and the keys follow the pointer. The display comes from the command
    line, which goes to GLUT; --help and --version need no display."""

    def test_display_from_the_command_line_window_sizes_and_a_quit_while_unmapped(self):
        run = ArgumentRun(["-display", self.xserver.display, "-sync"])
        self.addCleanup(run.close)
        self.wait_until_ready(run)
        self.xserver.move_pointer(SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2)
        self.leave_and_return_then_quit_hidden(run, "windowunmap")

    def test_help_and_version_without_a_display(self):
        answers = [subprocess.run([e2e_program.PROGRAM, argument], env=NO_DISPLAY, capture_output=True,
                                  text=True, timeout=10) for argument in ("--help", "-h", "--version")]
        for answer in answers:
            self.assertEqual((answer.returncode, answer.stderr), (0, ""), answer.args)
        self.assertEqual(answers[0].stdout, answers[1].stdout)
        self.assertTrue(answers[0].stdout.startswith("Usage: tovi"), answers[0].stdout)
        for word in ("GLUT", "-display", "-geometry", "-sync", "?", "Tovi.pref", "../share/tovi"):
            self.assertIn(word, answers[0].stdout)
        self.assertEqual(answers[2].stdout, "Tovi %s\n" % os.environ["TOVI_VERSION"])


class WithWindowManager(WindowSizes):
    """The same under openbox, which places and frames the window, and minimises it."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.manager = subprocess.Popen(["openbox"], env=cls.xserver.environment(), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while "window id" not in cls.xserver._tool("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"):
            if time.monotonic() > deadline:
                raise RuntimeError("openbox did not start")
            time.sleep(0.1)

    @classmethod
    def tearDownClass(cls):
        cls.manager.terminate()
        cls.manager.wait()
        super().tearDownClass()

    def test_window_sizes_and_a_quit_while_minimised(self):
        self.leave_and_return_then_quit_hidden(self.start_and_wait_for_keys(), "windowminimize")


if __name__ == "__main__":
    unittest.main()
