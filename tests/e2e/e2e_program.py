"""The real program, built and installed, on a private Xvfb screen with real keys and clicks: the screen, the
console, the exit status and the files. TOVI_BUILD_DIR: the build folder; TOVI_VERSION: its version."""

import os
import pathlib
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
from xsession import Program, XServer, missing_tools, wait_for  # noqa: E402

BUILD = os.environ.get("TOVI_BUILD_DIR", "")
W, H = 1024, 768
STARTUP = "Init Once...\nParticle Init...\nInit Vars...\n%s\nDialog Init...\nReady...\n\n"
SHUTDOWN = "\nShutting down...\nFin\n\n"
DATA = ["WIND2.wav", "controls_128.bmp", "floor.bmp", "font_256.bmp", "hit.wav", "metalplate128.bmp"]
# The status line "<Click> to continue,,,", the main menu, the lower half of the letterbox 6 picture, and a
# part of the upper band of letterbox 6 below the sliding title.
STATUS = (20, 13, 210, 25)
MENU = (0, 180, 300, 480)
FLOOR = (0, H // 2, W, int(0.7 * H))
BAND = (0, int(0.18 * H), W, int(0.28 * H))
# The 45 words of the preferences file after FC 45 42 00 as the program saves its defaults: 17 integers,
# then 28 floats.
DEFAULTS = [110, 1, 0, 40, 1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 2, 3, 1.0, 1.0, 0.1, 0.7] + [1.0] * 9 + [0.3] + [
    1.0] * 7 + [0.25, 0.5, 0.99, 0.99, 10.0, 180.0, 1.0]


def record(changes):  # the defaults with the words numbered in `changes` (from 1) changed, rounded to compare
    return [round(changes.get(word, value), 5) for word, value in enumerate(DEFAULTS, 1)]


def read(path, words=False):
    data = pathlib.Path(path).read_bytes() if os.path.isfile(path) else None
    return data and words and [round(value, 5) for value in struct.unpack("<17i28f", data[4:])] or data


class SessionTest(unittest.TestCase):
    # One private X server and one scratch folder for the tests of a class; a run ends with its test.

    @classmethod
    def setUpClass(cls):
        if missing_tools() or not os.access(os.path.join(BUILD, "tovi"), os.X_OK):
            raise RuntimeError("needs the tools %s and TOVI_BUILD_DIR/tovi" % ", ".join(missing_tools()))
        cls.scratch = tempfile.mkdtemp(prefix="tovi-e2e-")
        cls.xserver = XServer(W, H).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.xserver.__exit__()
        shutil.rmtree(cls.scratch)

    def run_program(self, *arguments, program=os.path.join(BUILD, "tovi"), folder=None, display=True):
        folder = folder or tempfile.mkdtemp(dir=self.scratch)
        os.makedirs(folder, exist_ok=True)
        run = Program(self.xserver, program, folder, arguments=arguments, display=display)
        self.addCleanup(run.close)
        return run


class ProgramTest(SessionTest):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.prefix = os.path.join(cls.scratch, "prefix")
        subprocess.run([os.environ.get("TOVI_CMAKE", "cmake"), "--install", BUILD, "--prefix", cls.prefix],
                       check=True, capture_output=True)

    def start(self, program, folder, prefs_line):
        # The run once its window covers the screen: with no DISPLAY, -display reaches GLUT.
        run = self.run_program("-display", self.xserver.display, program=program, folder=folder, display=False)
        run.wait_for_console("Ready...\n\n")
        self.assertEqual(run.console(), STARTUP % prefs_line)
        self.assertEqual(run.wait_for_window("Tovi")[1:], (0, 0, W, H))
        return run

    def sized(self, window, width, height):
        """Waits for the window at this size and then for the pointer at its middle; returns its place."""
        x = self.xserver
        wait_for("a %dx%d window" % (width, height), lambda: x.geometry(window)[2:] == (width, height))
        left, top = x.geometry(window)[:2]
        middle = (left + width // 2, top + height // 2)
        wait_for("the pointer at %s" % (middle,), lambda: x.pointer() == middle)
        return left, top

    def leave_full_screen_and_return(self, run):
        # F leaves full screen for 600 x 600; the window made smaller still holds the pointer at its
        # middle, so the second F (which follows the pointer without a window manager) reaches it.
        x = self.xserver
        window = run.wait_for_window("Tovi")[0]
        x.move_pointer(W // 2, H // 2)
        x.keys("f")
        self.sized(window, 600, 600)
        x.tool("xdotool", "windowsize", str(window), "400", "300")
        self.sized(window, 400, 300)
        x.keys("f")
        self.assertEqual(self.sized(window, W, H), (0, 0))
        return window

    def quit_hidden(self, run, window, hide):  # Q's two-second fade-out runs to its end in a hidden window
        self.xserver.keys("q")
        self.xserver.tool("xdotool", hide, str(window))
        self.assertEqual(run.wait_exit(), 0, run.console(errors=True))
        self.assertEqual(run.console() + run.console(errors=True), STARTUP % "No Prefs found." + SHUTDOWN)

    def test_a_session_then_the_installed_program_reads_its_settings_back(self):
        x = self.xserver
        folder = os.path.join(self.scratch, "session")
        prefs = os.path.join(folder, "Tovi.pref")

        def lit(*box, **how):  # the share of lit pixels in a box of the screen now
            return x.screenshot().lit(*box, **how)

        run = self.start(os.path.join(BUILD, "tovi"), folder, "No Prefs found.")
        window = self.leave_full_screen_and_return(run)

        # The opening, past its fade-in: the lit floor below. (It runs under manual control, which holds the
        # pointer at the window's middle above.)
        wait_for("the logo's lit floor", lambda: lit(0, H // 2, W, H) > 0.3)
        self.assertEqual(os.listdir(folder), [], "running alone writes nothing")
        x.keys("exclam")
        wait_for("the defaults saved by !", lambda: read(prefs, True) == record({}))

        # A click, as instant as a tap, ends the opening: the floor goes, the globes glow. Under manual control
        # (v) the camera then holds still: the stars are still there seconds later.
        x.click(W // 2, H // 2)
        wait_for("the floor gone", lambda: lit(0, H // 2, W, H) < 0.2)
        wait_for("glowing plasma", lambda: lit(0, 0, W, H, level=450) > 0.001)
        x.keys("v")
        time.sleep(3.0)
        self.assertGreater(lit(0, 0, W, H), 0.0005, "the camera flew off after the click")

        # A hidden window draws nothing; shown again, it animates.
        x.tool("xdotool", "windowunmap", str(window))
        time.sleep(1.0)
        x.tool("xdotool", "windowmap", str(window))
        run.wait_for_window("Tovi")
        first = x.screenshot()
        wait_for("new frames once shown again", lambda: x.screenshot().pixels != first.pixels)

        # The menu at the left (backquote; P holds the camera still), walked with Tab, Down and Return:
        # "Save..." opens the save menu, whose "Save Prefs" writes the file, with the manual camera.
        x.keys("p")
        hidden = lit(*MENU, step=2, level=300)
        x.keys("grave")
        wait_for("the menu", lambda: lit(*MENU, step=2, level=300) > hidden + 0.01)
        os.remove(prefs)
        x.keys("Tab", "Down", "Return", "Down", "Tab", "Return")
        self.assertEqual(wait_for("the save menu's save", lambda: read(prefs, True)), record({}))

        # Back, "Options...", and the right button closes the menu.
        x.keys("Down", "Down", "Return", "Down", "Return")
        time.sleep(0.3)
        x.click(W // 2, H // 2, 3)
        wait_for("the menu closed", lambda: lit(*MENU, step=2, level=300) < hidden + 0.005)

        # "]" enlarges the globes by 1.055555, L steps the letterbox: "!" keeps them.
        x.keys("bracketright", *["l"] * 6, "exclam")
        expected = record({3: 6, 21: 0.7 * 1.055555})
        wait_for("the settings saved by !", lambda: read(prefs, True) == expected)
        self.quit_hidden(run, window, "windowunmap")

        # The installed program in the same folder loads the settings saved above, finding its data beside
        # it, and writes nothing: the opening letterboxed (step 6, as saved). On the quit key the picture
        # shatters: the upper band stays black.
        saved = read(prefs)
        run = self.start(os.path.join(self.prefix, "bin/tovi"), folder, "Loaded Prefs.")
        wait_for("the letterboxed floor", lambda: lit(*FLOOR) > 0.3)
        self.assertEqual(lit(*BAND, step=2, level=150), 0, "the upper band")
        self.assertTrue(0.02 < lit(*STATUS, step=1, level=300) < 0.5, "the status line is not text")
        x.keys("Escape")
        wait_for("the shatter", lambda: lit(*STATUS, step=1) == 0)
        self.assertEqual(lit(*BAND, step=2, level=150), 0, "the upper band of the shattered picture")
        x.keys("Escape")
        self.assertEqual(run.wait_exit(), 0, run.console(errors=True))
        self.assertEqual(run.console() + run.console(errors=True), STARTUP % "Loaded Prefs." + SHUTDOWN)
        self.assertEqual(read(prefs), saved, "running must not change the file")

    def test_b_openbox_frames_the_window_and_minimises_it(self):
        # On a loaded machine openbox has now and then not taken the screen at all: a run that has ended or
        # has not done so within 20 s is replaced, twice at most, and what the last one said is reported.
        for _ in range(3):
            manager = self.run_program("--sm-disable", "--replace", program=shutil.which("openbox"))
            try:
                wait_for("openbox", lambda: b"window id" in self.xserver.tool(
                    "xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False))
                break
            except TimeoutError:
                report = "status %s: %s" % (manager.process.poll(), manager.console(errors=True))
                manager.close()
        else:
            self.fail("openbox never took the screen; the last run, " + report)
        run = self.start(os.path.join(BUILD, "tovi"), None, "No Prefs found.")
        self.quit_hidden(run, self.leave_full_screen_and_return(run), "windowminimize")

    def test_the_install_and_its_program_without_a_font(self):
        installed = sorted(str(path.relative_to(self.prefix)) for path in pathlib.Path(self.prefix).rglob("*")
                           if path.is_file())
        self.assertEqual(installed, ["bin/tovi", "share/applications/tovi.desktop", "share/doc/tovi/changelog.gz",
                                     "share/doc/tovi/copyright", "share/icons/hicolor/scalable/apps/tovi.svg",
                                     "share/man/man6/tovi.6.gz", "share/metainfo/org.tovi.Tovi.metainfo.xml"]
                         + ["share/tovi/" + name for name in DATA] + ["share/xscreensaver/config/tovi.xml"])
        # The installed program answers --help and --version without a display.
        environment = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
        answers = [subprocess.run([os.path.join(self.prefix, "bin/tovi"), argument], env=environment,
                                  capture_output=True, text=True, timeout=10)
                   for argument in ("--help", "-h", "--version")]
        self.assertEqual([(answer.returncode, answer.stderr) for answer in answers], [(0, "")] * 3)
        self.assertEqual(answers[0].stdout, answers[1].stdout)
        self.assertTrue(answers[0].stdout.startswith("Usage: tovi"), answers[0].stdout)
        for word in ("GLUT", "-display", "-geometry", "-sync", "?", "Tovi.pref", "../share/tovi"):
            self.assertIn(word, answers[0].stdout)
        self.assertEqual(answers[2].stdout, "Tovi %s\n" % os.environ["TOVI_VERSION"])
        with open("/dev/full", "w") as full:  # an answer that cannot be written is a failure
            self.assertEqual(subprocess.run([os.path.join(self.prefix, "bin/tovi"), "--version"], env=environment,
                                            stdout=full, stderr=subprocess.DEVNULL).returncode, 1)

        # Without its font the program names it once on stderr, with where it looked, and draws solid blocks
        # for text (unless the build's own install prefix has a font to find); SIGTERM ends it at once. A
        # Tovi.pref that is not the program's is no preferences file, and stays as it is.
        prefix, folder = os.path.join(self.scratch, "without-font"), os.path.join(self.scratch, "foreign")
        shutil.copytree(self.prefix, prefix)
        os.remove(os.path.join(prefix, "share/tovi/font_256.bmp"))
        os.makedirs(folder)
        pathlib.Path(folder, "Tovi.pref").write_text("hello\n")
        run = self.start(os.path.join(prefix, "bin/tovi"), folder, "No Prefs found.")
        built = re.search(r"CMAKE_INSTALL_PREFIX:PATH=(.*)", read(os.path.join(BUILD, "CMakeCache.txt")).decode())
        if not os.path.exists(os.path.join(built.group(1), "share/tovi/font_256.bmp")):
            wait_for("solid blocks for text", lambda: self.xserver.screenshot().lit(*STATUS, step=1, level=300) > 0.8)
            lines = run.console(errors=True).splitlines()
            self.assertEqual((len(lines), lines[0].count("font_256.bmp")), (1, 1), lines)
            self.assertIn(os.path.join(prefix, "share/tovi"), lines[0])
        run.process.send_signal(signal.SIGTERM)
        self.assertEqual(run.wait_exit(5.0), -signal.SIGTERM)
        self.assertEqual(run.console(), STARTUP % "No Prefs found.")
        self.assertEqual(os.listdir(folder), ["Tovi.pref"])
        self.assertEqual(read(os.path.join(folder, "Tovi.pref")), b"hello\n")


if __name__ == "__main__":
    unittest.main()
