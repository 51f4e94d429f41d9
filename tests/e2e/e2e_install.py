"""The program installed into a scratch prefix and started from an empty folder, on a private Xvfb screen.

Run from this folder as `python3 -m unittest -v e2e_install`, with TOVI_BUILD_DIR holding the build folder
(and TOVI_CMAKE the cmake to install with, `cmake` on PATH otherwise). The installed program must find its
images and sounds in <prefix>/share/tovi and keep its preferences file in the folder it was started from.
"""

import os
import shutil
import subprocess
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

import e2e_program
from e2e_program import PREFS_NAME, SHUTDOWN, STARTUP_WITHOUT_PREFS, ProgramTestCase

BUILD_DIR = os.environ.get("TOVI_BUILD_DIR", "")
CMAKE = os.environ.get("TOVI_CMAKE", "cmake")

DATA_FILES = ["font_256.bmp", "metalplate128.bmp", "floor.bmp", "controls_128.bmp", "hit.wav", "WIND2.wav"]
INSTALLED_FILES = sorted(["bin/tovi", "share/applications/tovi.desktop", "share/xscreensaver/config/tovi.xml",
                          "share/icons/hicolor/scalable/apps/tovi.svg", "share/man/man6/tovi.6"]
                         + ["share/tovi/" + name for name in DATA_FILES])


def status_text_fill(shot):
    """The share of lit pixels where the opening's status line "<Click> to continue,,," stands at the top
    left: glyphs light a small part of it, the solid blocks drawn without a font nearly all of it."""
    area = [shot.rgb(x, y) for y in range(13, 25) for x in range(20, 210)]
    return sum(1 for pixel in area if sum(pixel) > 300) / len(area)


class InstallTest(ProgramTestCase):
    prefix = None

    @classmethod
    def setUpClass(cls):
        if not BUILD_DIR:
            raise RuntimeError("TOVI_BUILD_DIR must hold the build folder to install")
        cls.scratch = tempfile.TemporaryDirectory(prefix="tovi-install-")
        cls.prefix = os.path.join(cls.scratch.name, "prefix")
        result = subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", cls.prefix],
                                capture_output=True, text=True)
        if result.returncode != 0:
            cls.scratch.cleanup()
            raise RuntimeError("cmake --install failed:\n" + result.stdout + result.stderr)
        e2e_program.PROGRAM = os.path.join(cls.prefix, "bin", "tovi")
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.scratch.cleanup()

    def run_from_empty_folder(self, prefix):
        """Starts <prefix>/bin/tovi in a new empty folder; returns the run once it takes keys."""
        workdir = tempfile.mkdtemp(prefix="tovi-install-work-")
        self.addCleanup(shutil.rmtree, workdir)
        e2e_program.PROGRAM = os.path.join(prefix, "bin", "tovi")
        return self.start_and_wait_for_keys(settle=3.0, workdir=workdir)  # past the fade-in

    def test_installed_program_runs_from_an_empty_folder(self):
        installed = sorted(os.path.relpath(os.path.join(folder, name), self.prefix)
                           for folder, _, names in os.walk(self.prefix) for name in names)
        self.assertEqual(installed, INSTALLED_FILES, "the installed files (no tests, no benchmarks)")
        with open(os.path.join(self.prefix, "share/applications/tovi.desktop")) as f:
            lines = f.read().splitlines()
        self.assertEqual(lines[0], "[Desktop Entry]")
        entry = dict(line.split("=", 1) for line in lines[1:] if "=" in line)
        for key, value in (("Type", "Application"), ("Name", "Tovi"), ("Exec", "tovi"), ("Icon", "tovi"),
                           ("Terminal", "false")):
            self.assertEqual(entry.get(key), value, key)
        self.assertTrue(entry.get("Comment") and entry.get("Categories", "").endswith(";"), entry)
        icon = ElementTree.parse(os.path.join(self.prefix, "share/icons/hicolor/scalable/apps/tovi.svg"))
        self.assertEqual(icon.getroot().tag, "{http://www.w3.org/2000/svg}svg")

        run = self.run_from_empty_folder(self.prefix)
        self.assertEqual(run.stderr(), "", "nothing may be missing:" + run.transcript())
        self.assertLess(status_text_fill(self.xserver.screenshot()), 0.5, "the status line is not text")

        # The preferences file lands in the working folder, never in the install.
        self.xserver.press("exclam")
        time.sleep(0.5)
        self.assertEqual(os.listdir(run.workdir), [PREFS_NAME])
        self.assertEqual(os.path.getsize(os.path.join(run.workdir, PREFS_NAME)), 184)
        status, _ = self.press_and_time_exit(run, "Escape")
        self.assert_ended_cleanly(run, STARTUP_WITHOUT_PREFS, status)
        self.assertEqual(len(os.listdir(os.path.join(self.prefix, "share/tovi"))), len(DATA_FILES))

    def test_missing_font_is_named_once_and_the_program_still_runs(self):
        with open(os.path.join(BUILD_DIR, "CMakeCache.txt")) as f:
            built_prefix = next(line.split("=", 1)[1].strip() for line in f
                                if line.startswith("CMAKE_INSTALL_PREFIX:"))
        if os.path.exists(os.path.join(built_prefix, "share/tovi/font_256.bmp")):
            self.skipTest("the build's own install prefix holds a font_256.bmp the program would find")
        prefix = os.path.join(self.scratch.name, "without-font")
        shutil.copytree(self.prefix, prefix)
        self.addCleanup(shutil.rmtree, prefix)
        os.remove(os.path.join(prefix, "share/tovi/font_256.bmp"))

        run = self.run_from_empty_folder(prefix)
        self.assertGreater(status_text_fill(self.xserver.screenshot()), 0.8, "no solid blocks without a font")
        status, _ = self.press_and_time_exit(run, "Escape")
        self.assertEqual(status, 0, "exit status:" + run.transcript())
        self.assertEqual(run.stdout(), STARTUP_WITHOUT_PREFS + SHUTDOWN, "console:" + run.transcript())
        lines = run.stderr().splitlines()
        self.assertEqual(len(lines), 1, "stderr:" + run.transcript())
        self.assertEqual(lines[0].count("font_256.bmp"), 1, lines[0])
        self.assertIn(os.path.join(prefix, "share/tovi"), lines[0])


if __name__ == "__main__":
    unittest.main()
