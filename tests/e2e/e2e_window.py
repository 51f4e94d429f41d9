"""The program off the happy path: the window leaving full screen without a window manager and under
openbox, mouse look in a small window, quitting while the window is hidden, and the command line with and
without a display. TOVI_BUILD_DIR: the build folder; TOVI_VERSION: its version."""

import os
import subprocess
import time
import unittest

from e2e_program import BUILD, H, SHUTDOWN, STARTUP, W, SessionTest
from xsession import wait_for


class WindowTest(SessionTest):

    def sized(self, window, width, height):
        """Waits for the window at this size and then for the pointer at its middle; returns its place."""
        x = self.xserver
        wait_for("a %dx%d window" % (width, height), lambda: x.geometry(window)[2:] == (width, height))
        left, top = x.geometry(window)[:2]
        middle = (left + width // 2, top + height // 2)
        wait_for("the pointer at %s" % (middle,), lambda: x.pointer() == middle)
        return left, top

    def leave_and_return_then_quit_hidden(self, run, hide):
        # F leaves full screen for 600 x 600; the window made smaller still holds the pointer at its
        # middle, so the second F (which follows the pointer without a window manager) reaches it.
        x = self.xserver
        run.wait_for_console("Ready...\n\n")
        window = run.wait_for_window("Tovi")[0]
        x.move_pointer(W // 2, H // 2)
        x.keys("f")
        self.sized(window, 600, 600)
        x.tool("xdotool", "windowsize", str(window), "400", "300")
        self.sized(window, 400, 300)
        x.keys("f")
        self.assertEqual(self.sized(window, W, H), (0, 0))
        # The quit's two-second fade-out runs to its end with the window hidden at once.
        pressed = time.monotonic()
        x.keys("Escape")
        x.tool("xdotool", hide, str(window))
        self.assertEqual(run.wait_exit(), 0, run.console(errors=True))
        self.assertGreater(time.monotonic() - pressed, 1.5)
        self.assertEqual(run.console() + run.console(errors=True), STARTUP % "No Prefs found." + SHUTDOWN)

    def test_a_display_from_the_command_line_and_a_quit_while_unmapped(self):
        # No DISPLAY in the environment: the display and -sync reach GLUT from the command line.
        run = self.run_program("-display", self.xserver.display, "-sync", display=False)
        self.leave_and_return_then_quit_hidden(run, "windowunmap")

    def test_b_openbox_frames_the_window_and_minimises_it(self):
        manager = subprocess.Popen(["openbox"], env=self.xserver.environment(), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.addCleanup(manager.wait)
        self.addCleanup(manager.terminate)
        wait_for("openbox", lambda: b"window id" in self.xserver.tool(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False))
        self.leave_and_return_then_quit_hidden(self.run_program(), "windowminimize")

    def test_help_and_version_without_a_display(self):
        environment = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
        answers = [subprocess.run([os.path.join(BUILD, "tovi"), argument], env=environment, capture_output=True,
                                  text=True, timeout=10) for argument in ("--help", "-h", "--version")]
        for answer in answers:
            self.assertEqual((answer.returncode, answer.stderr), (0, ""), answer.args)
        self.assertEqual(answers[0].stdout, answers[1].stdout)
        self.assertTrue(answers[0].stdout.startswith("Usage: tovi"), answers[0].stdout)
        for word in ("GLUT", "-display", "-geometry", "-sync", "?", "Tovi.pref", "../share/tovi"):
            self.assertIn(word, answers[0].stdout)
        self.assertEqual(answers[2].stdout, "Tovi %s\n" % os.environ["TOVI_VERSION"])


if __name__ == "__main__":
    unittest.main()
