"""The real program on a private Xvfb screen, driven by real key presses.

Run from this folder as `python3 -m unittest -v e2e_program`, with TOVI_PROGRAM holding the path of the
built program. Every test starts the program afresh in an empty scratch working directory and reads what a
user would see: the console lines, the exit status and the window on the screen.
"""

import glob
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

# The X session module is shared with the tour in tools/.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from xsession import XServer, missing_tools  # noqa: E402

PROGRAM = os.environ.get("TOVI_PROGRAM", "")
DATA_FOLDER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768
TITLE = "Tovi"
PREFS_NAME = "Tovi.pref"

STARTUP_WITHOUT_PREFS = "Init Once...\nParticle Init...\nInit Vars...\nNo Prefs found.\nDialog Init...\nReady...\n\n"
STARTUP_WITH_PREFS = "Init Once...\nParticle Init...\nInit Vars...\nLoaded Prefs.\nDialog Init...\nReady...\n\n"
SHUTDOWN = "\nShutting down...\nFin\n\n"

# Generous limits: a loaded machine renders slowly, and none of this is a speed measurement.
READY_TIMEOUT = 20.0
WINDOW_TIMEOUT = 10.0
EXIT_TIMEOUT = 15.0
FADE_OUT_SHORTEST = 1.5  # the fade-out lasts two seconds of the program's clock
FADE_OUT_LONGEST = 8.0
CUT_SHORT_LONGEST = 1.0  # a second Esc ends the fade on the next frame
HIDDEN_CPU_LONGEST = 0.2  # CPU seconds over two hidden seconds; a spinning idle loop takes most of two


def default_prefs_record():
    """A whole settings file as the program saves it with its default settings."""
    ints = [110, 1, 0, 40, 1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 2, 3]
    floats = [1.0, 1.0, 0.1, 0.7, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.3,
              1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.25, 0.5, 0.99, 0.99, 10.0, 180.0, 1.0]
    record = struct.pack("<I17i28f", 0x004245FC, *ints, *floats)
    assert len(record) == 184
    return record


class ProgramRun:
    """One run of the program in its own scratch directory, with stdout and stderr caught in files."""

    def __init__(self, xserver, prefs=None, with_data=False, workdir=None, arguments=()):
        self.scratch = tempfile.TemporaryDirectory(prefix="tovi-e2e-")
        self.workdir = workdir or os.path.join(self.scratch.name, "work")
        if workdir is None:
            os.mkdir(self.workdir)
        if with_data:
            for path in glob.glob(os.path.join(DATA_FOLDER, "*.bmp")) + glob.glob(os.path.join(DATA_FOLDER, "*.wav")):
                shutil.copy(path, self.workdir)
        if isinstance(prefs, bytes):
            with open(os.path.join(self.workdir, PREFS_NAME), "wb") as f:
                f.write(prefs)
        elif prefs == "directory":
            os.mkdir(os.path.join(self.workdir, PREFS_NAME))
        self.stdout_path = os.path.join(self.scratch.name, "stdout")
        self.stderr_path = os.path.join(self.scratch.name, "stderr")

        env = xserver.environment()
        env.pop("SDL_AUDIODRIVER", None)  # the real search for a sound device, as a user's machine does it
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen([PROGRAM, *arguments], cwd=self.workdir, env=env,
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=err)

    def _read(self, path):
        with open(path, "rb") as f:
            return f.read().decode(errors="replace")

    def stdout(self):
        return self._read(self.stdout_path)

    def stderr(self):
        return self._read(self.stderr_path)

    def returncode(self):
        return self.process.poll()

    def wait_for_stdout(self, text, timeout):
        """True once `text` is on stdout; False on timeout or when the program ends without it."""
        deadline = time.monotonic() + timeout
        while True:
            if text in self.stdout():
                return True
            if self.process.poll() is not None:
                return text in self.stdout()
            if time.monotonic() > deadline:
                return False
            time.sleep(0.05)

    def wait_exit(self, timeout):
        """The exit status, or None if the program still runs after `timeout` seconds."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def transcript(self):
        status = self.process.poll()
        return "\n  exit status: %s\n  stdout: %r\n  stderr: %r" % (
            "still running" if status is None else status, self.stdout(), self.stderr())

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.scratch.cleanup()


class ProgramTestCase(unittest.TestCase):
    """Owns one Xvfb for the whole class; every test starts the program afresh on it."""

    xserver = None

    @classmethod
    def setUpClass(cls):
        if not PROGRAM:
            raise RuntimeError("TOVI_PROGRAM must hold the path of the built program")
        if not os.access(PROGRAM, os.X_OK):
            raise RuntimeError("TOVI_PROGRAM=%r is not an executable file" % PROGRAM)
        missing = missing_tools()
        if missing:
            raise RuntimeError("these tools are needed on PATH: " + ", ".join(missing))
        cls.xserver = XServer(SCREEN_WIDTH, SCREEN_HEIGHT, 24)
        cls.xserver.start()

    @classmethod
    def tearDownClass(cls):
        if cls.xserver is not None:
            cls.xserver.stop()
            cls.xserver = None

    def start_program(self, prefs=None, with_data=False, workdir=None, arguments=()):
        run = ProgramRun(self.xserver, prefs, with_data, workdir, arguments)
        self.addCleanup(run.close)
        return run

    def wait_until_ready(self, run):
        if not run.wait_for_stdout("Ready...\n\n", READY_TIMEOUT):
            self.fail("the program did not get ready within %.0f s:%s" % (READY_TIMEOUT, run.transcript()))

    def wait_for_window(self, run):
        """Waits for the one window titled Tovi to be on the screen at full-screen size.

        There is no window manager: freeglut sizes the window to the screen itself, from inside its main
        loop, so the window may show up at its first size for a moment. Returns (id, x, y, width, height).
        """
        deadline = time.monotonic() + WINDOW_TIMEOUT
        seen = "no window named %r" % TITLE
        while True:
            if run.returncode() is not None:
                self.fail("the program ended while its window was awaited:" + run.transcript())
            windows = self.xserver.windows_named(TITLE)
            if len(windows) > 1:
                self.fail("%d windows are named %r, expected one" % (len(windows), TITLE))
            if windows:
                x, y, width, height, viewable = self.xserver.geometry(windows[0])
                seen = "%dx%d at (%d,%d), %s" % (width, height, x, y,
                                                   "viewable" if viewable else "not viewable")
                if viewable and (width, height) == (SCREEN_WIDTH, SCREEN_HEIGHT):
                    return windows[0], x, y, width, height
            if time.monotonic() > deadline:
                self.fail("no viewable %dx%d window %r within %.0f s; last seen: %s%s"
                          % (SCREEN_WIDTH, SCREEN_HEIGHT, TITLE, WINDOW_TIMEOUT, seen, run.transcript()))
            time.sleep(0.1)

    def start_and_wait_for_keys(self, prefs=None, settle=0.5, with_data=False, workdir=None):
        """Starts the program and waits until its window can take key presses."""
        run = self.start_program(prefs, with_data, workdir)
        self.wait_until_ready(run)
        self.wait_for_window(run)
        # Without a window manager the keyboard follows the pointer.
        self.xserver.move_pointer(SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2)
        time.sleep(settle)  # a few frames, so the program's clock runs
        if run.returncode() is not None:
            self.fail("the program ended on its own after start-up:" + run.transcript())
        return run

    def press_and_time_exit(self, run, key):
        """Presses `key` and returns (exit status, seconds from the press to the end)."""
        pressed = time.monotonic()
        self.xserver.press(key)
        status = run.wait_exit(EXIT_TIMEOUT)
        return status, time.monotonic() - pressed

    def assert_ended_cleanly(self, run, startup, status):
        self.assertIsNotNone(status, "still running %.0f s after the quit key:%s"
                             % (EXIT_TIMEOUT, run.transcript()))
        self.assertEqual(status, 0, "exit status:" + run.transcript())
        self.assertEqual(run.stdout(), startup + SHUTDOWN, "console:" + run.transcript())
        self.assertEqual(run.stderr(), "", "stderr:" + run.transcript())

    def assert_quits_after_fade_out(self, run, startup, key):
        """The quit key ends the program cleanly once its fade-out has run."""
        status, seconds = self.press_and_time_exit(run, key)
        self.assert_ended_cleanly(run, startup, status)
        self.assertGreaterEqual(seconds, FADE_OUT_SHORTEST, "ended %.2f s after %s, before its fade-out:%s"
                                % (seconds, key, run.transcript()))
        self.assertLessEqual(seconds, FADE_OUT_LONGEST, "ended only %.2f s after %s:%s"
                             % (seconds, key, run.transcript()))

    def assert_second_escape_cuts_fade_short(self, run, startup):
        self.xserver.press("Escape")
        time.sleep(0.2)
        status, seconds = self.press_and_time_exit(run, "Escape")
        self.assert_ended_cleanly(run, startup, status)
        self.assertLess(seconds, CUT_SHORT_LONGEST, "ended %.2f s after the second Esc; it should end on the "
                        "next frame:%s" % (seconds, run.transcript()))


class StartupTest(ProgramTestCase):
    """What the program shows once started: the console lines and a full-screen window; and the ways out
    of a start-up with preferences found or not: a quit key, a second Esc during the fade-in, SIGTERM."""

    def test_console_window_quiet_stderr_then_sigterm(self):
        run = self.start_program()
        self.wait_until_ready(run)
        self.assertEqual(run.stdout(), STARTUP_WITHOUT_PREFS, "console:" + run.transcript())

        window, x, y, width, height = self.wait_for_window(run)
        self.assertEqual((x, y, width, height), (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT),
                         "window %r should cover the whole screen, but it is %dx%d at (%d,%d)"
                         % (TITLE, width, height, x, y))

        # Running on: nothing more on the console, nothing at all on stderr, even without a sound card; then
        # SIGTERM ends it at once.
        time.sleep(1.0)
        self.assertIsNone(run.returncode(), "the program ended on its own:" + run.transcript())
        self.assertEqual(os.listdir(run.workdir), [], "the program left files in its working directory")
        run.process.send_signal(signal.SIGTERM)
        status = run.wait_exit(5.0)
        self.assertEqual(status, -signal.SIGTERM, "exit status after SIGTERM:" + run.transcript())
        self.assertEqual(run.stdout(), STARTUP_WITHOUT_PREFS, "console:" + run.transcript())
        self.assertEqual(run.stderr(), "", "stderr:" + run.transcript())

    def test_prefs_file_in_working_directory(self):
        # A short file is read as far as it goes (a whole one in PreferencesTest); quit with Q.
        run = self.start_and_wait_for_keys(default_prefs_record()[:10])
        self.assert_quits_after_fade_out(run, STARTUP_WITH_PREFS, "Q")
        run.close()
        # A directory is no file. The program fades in over its first two seconds; a second Esc ends it at
        # once then too.
        run = self.start_and_wait_for_keys("directory", settle=0.1)
        self.assert_second_escape_cuts_fade_short(run, STARTUP_WITHOUT_PREFS)


class SceneTest(ProgramTestCase):
    """A whole run as a person sees it: the logo, the globes after a click, the camera answering the keys
    and the mouse, a hidden window sleeping, and the shattering exit."""

    @staticmethod
    def bright(pixels):
        """How many pixels glow: the arcs, their tips and the electrode, not the faint glass or the stars."""
        return sum(1 for r, g, b in pixels if r + g + b > 450)

    @staticmethod
    def lit(pixels):
        """The share of pixels that are not dark."""
        return sum(1 for r, g, b in pixels if r + g + b > 120) / len(pixels)

    @staticmethod
    def changed(before, after):
        return sum(1 for a, b in zip(before, after) if sum(abs(x - y) for x, y in zip(a, b)) > 60)

    @staticmethod
    def cpu_seconds(run):
        """User and system time of the program so far, from /proc/PID/stat."""
        with open("/proc/%d/stat" % run.process.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def lower_half(self, shot):
        return [shot.rgb(x, y) for y in range(shot.height // 2, shot.height, 16) for x in range(0, shot.width, 16)]

    def test_logo_then_globes_then_a_hidden_window_then_shatter(self):
        run = self.start_and_wait_for_keys(settle=3.0, with_data=True)  # past the fade-in
        floor = self.lit(self.lower_half(self.xserver.screenshot()))
        self.assertGreater(floor, 0.3, "the lower half of the screen should show the lit floor")

        # The opening runs under manual control. Holding Up flies the camera over the floor, whose tiles
        # then move far more than the swinging emblem changes a still view; moving the mouse up tilts the
        # view off the floor.
        still = self.changed(self.xserver.screenshot().grid(8), self.xserver.screenshot().grid(8))
        before = self.xserver.screenshot().grid(8)
        self.xserver.hold_key("Up", 1.0)
        self.assertGreater(self.changed(before, self.xserver.screenshot().grid(8)), 2 * still + 100,
                           "the arrow key did not move the camera:" + run.transcript())
        for _ in range(10):
            self.xserver.move_pointer_by(0, -30)
            time.sleep(0.05)
        time.sleep(0.3)
        tilted = self.lit(self.lower_half(self.xserver.screenshot()))
        self.assertGreater(abs(tilted - floor), 0.2, "the mouse did not turn the camera:" + run.transcript())

        self.xserver.click(1)
        time.sleep(0.5)
        shot = self.xserver.screenshot()
        self.assertGreater(self.bright(shot.grid(4)), 40, "no glowing plasma after the click")

        # An unmapped window draws nothing and costs no CPU time; mapped again, it animates.
        window = self.xserver.windows_named(TITLE)[0]
        self.xserver._tool("xdotool", "windowunmap", str(window))
        time.sleep(0.5)
        before = self.cpu_seconds(run)
        time.sleep(2.0)
        used = self.cpu_seconds(run) - before
        self.assertLess(used, HIDDEN_CPU_LONGEST,
                        "%.2f s of CPU time in two seconds hidden:%s" % (used, run.transcript()))
        self.xserver._tool("xdotool", "windowmap", str(window))
        self.wait_for_window(run)
        time.sleep(0.3)
        first = self.xserver.screenshot().grid(8)
        time.sleep(0.3)
        self.assertNotEqual(first, self.xserver.screenshot().grid(8),
                            "no new frames after the window came back")

        # The quit key shatters the picture into tiles that fall: a second later the upper half of the
        # screen (below the sliding title), full of stars before, has emptied. Then the program ends.
        def stars_above(shot):
            return sum(1 for y in range(140, shot.height // 2, 2) for x in range(0, shot.width, 2)
                       if sum(shot.rgb(x, y)) > 90)

        stars = stars_above(self.xserver.screenshot())
        self.assertGreater(stars, 50, "the upper half should show stars before the quit key")
        pressed = time.monotonic()
        self.xserver.press("Escape")
        time.sleep(1.0)
        self.assertLess(stars_above(self.xserver.screenshot()), stars / 5, "the picture did not fall away")
        status = run.wait_exit(EXIT_TIMEOUT)
        seconds = time.monotonic() - pressed
        self.assert_ended_cleanly(run, STARTUP_WITHOUT_PREFS, status)
        self.assertGreaterEqual(seconds, FADE_OUT_SHORTEST)
        self.assertLessEqual(seconds, FADE_OUT_LONGEST)


class PreferencesTest(ProgramTestCase):
    """The popup menu at the left, opened with the backquote key, a slider set with the mouse, closed with
    the right button; the preferences keys: "!" writes the settings, and the next start reads them back;
    and the help card."""

    @staticmethod
    def lit_in(shot, left, top, right, bottom):
        return sum(1 for y in range(top, bottom, 2) for x in range(left, right, 2) if sum(shot.rgb(x, y)) > 300)

    def test_menu_and_keys_set_values_that_a_save_keeps_for_the_next_start(self):
        workdir = tempfile.mkdtemp(prefix="tovi-e2e-prefs-")
        self.addCleanup(shutil.rmtree, workdir)
        path = os.path.join(workdir, PREFS_NAME)

        run = self.start_and_wait_for_keys(settle=1.0, with_data=True, workdir=workdir)
        self.xserver.press("exclam")
        time.sleep(0.5)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), default_prefs_record(), "the first save holds the defaults")

        # Past the opening, onto the globes. A press and release within one frame would leave the button
        # counted as held, so every click here lasts a few frames.
        self.xserver.slow_click(512, 384)
        time.sleep(0.5)
        self.xserver.press("p")  # the camera holds still, so only the menu changes the left of the screen
        time.sleep(0.2)
        menu_area = (0, 180, 300, 480)  # the main menu's rows at the left of a 1024 x 768 screen
        before = self.lit_in(self.xserver.screenshot(), *menu_area)

        self.xserver.press("grave")
        time.sleep(1.0)  # the menu slides and fades in over half a second
        shown = self.lit_in(self.xserver.screenshot(), *menu_area)
        self.assertGreater(shown, before + 200, "no menu at the left after the backquote key")

        # Options... (main menu, second row) opens the program's own page; then the right end of its
        # MouseLook Sensitivity slider (0 to 2), which changes nothing on the screen.
        self.xserver.slow_click(45, 768 - (537 - 55 + 15))
        time.sleep(0.5)
        self.xserver.slow_click(170, 768 - (537 - 106 + 12))
        time.sleep(0.3)
        self.xserver.click(3)  # the right button closes the menu
        time.sleep(1.0)
        self.assertLess(self.lit_in(self.xserver.screenshot(), *menu_area), (before + shown) / 2,
                        "the menu stayed open")

        # "]" makes the globes bigger, L steps the letterbox: the next save keeps them and the slider's value.
        for key in ("bracketright", "l", "exclam"):
            self.xserver.press(key)
            time.sleep(0.2)
        time.sleep(0.3)
        with open(path, "rb") as f:
            saved = f.read()
        self.assertEqual(len(saved), 184)
        self.assertAlmostEqual(struct.unpack_from("<f", saved, 84)[0], 0.7 * 1.055555, places=5)
        self.assertEqual(struct.unpack_from("<i", saved, 12)[0], 1)
        self.assertAlmostEqual(struct.unpack_from("<f", saved, 4 * 33)[0], 2.0, places=4,
                               msg="the slider's value did not reach the settings")

        self.xserver.press("question")
        time.sleep(0.5)
        self.assertGreater(self.lit_in(self.xserver.screenshot(), 0, 60, 500, 660), 1000, "no help card")
        self.assert_quits_after_fade_out(run, STARTUP_WITHOUT_PREFS, "q")
        run.close()

        # Past its fade-in, a second Esc ends the program at once too.
        again = self.start_and_wait_for_keys(workdir=workdir, settle=2.5)
        self.assert_second_escape_cuts_fade_short(again, STARTUP_WITH_PREFS)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), saved, "running must not change the file")


if __name__ == "__main__":
    unittest.main()
