"""Tovi as a screensaver on Xvfb, run by Debian's xscreensaver daemon (which runs no saver for root: as root
the test makes an unprivileged user) with the options of data/tovi.xml, and in a window the test makes."""

import ctypes
import glob
import os
import pwd
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

import e2e_program
from e2e_program import (DATA_FOLDER, PREFS_NAME, SHUTDOWN, STARTUP_WITH_PREFS, STARTUP_WITHOUT_PREFS, ProgramTestCase,
                         default_prefs_record)

SAVER_USER = "tovi-saver-test"

# Runs the saver for the daemon, passes the daemon's SIGTERM on and keeps what the daemon does not tell: the
# saver's console, its exit status and the seconds from the SIGTERM to its end.
WRAPPER = """import signal, subprocess, sys, time
log, ended = sys.argv[1], []
saver = subprocess.Popen(sys.argv[2:], stdout=open(log + "/stdout", "wb"), stderr=open(log + "/stderr", "wb"))
signal.signal(signal.SIGTERM, lambda number, frame: ended.append(time.monotonic()) or saver.send_signal(number))
status = saver.wait()
open(log + "/status", "w").write("%d %.3f" % (status, time.monotonic() - ended[0] if ended else -1))
"""


def read(path, mode="r"):
    with open(path, mode) as f:
        return f.read()


def lit_pixels(shot, left, top, right, bottom):
    """Lit pixels among every fourth of each row and column: enough to see stars, cheap enough to poll."""
    return sum(1 for y in range(top, bottom, 4) for x in range(left, right, 4) if sum(shot.rgb(x, y)) > 60)


def wait_for(condition, seconds, message):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(message())
        time.sleep(0.5)


class DaemonTest(ProgramTestCase):
    def unprivileged_user(self):
        if os.getuid() != 0:
            return pwd.getpwuid(os.getuid())
        if SAVER_USER not in (entry.pw_name for entry in pwd.getpwall()):
            made = subprocess.run(["useradd", "--system", "--no-create-home", SAVER_USER], capture_output=True, text=True)
            if made.returncode != 0:
                self.skipTest("xscreensaver runs no saver for root, and no user could be made: " + made.stderr)
            self.addCleanup(subprocess.run, ["userdel", SAVER_USER])
        return pwd.getpwnam(SAVER_USER)

    def test_activate_shows_plasma_and_deactivate_ends_the_saver_cleanly(self):
        user = self.unprivileged_user()
        scratch = tempfile.mkdtemp(prefix="tovi-saver-")
        self.addCleanup(shutil.rmtree, scratch)
        home, work, log = (os.path.join(scratch, name) for name in ("home", "work", "log"))
        list(map(os.mkdir, (home, work, log)))
        # The program with its data beside it, where the daemon's user can run it.
        for path in [e2e_program.PROGRAM] + [p for kind in ("bmp", "wav") for p in glob.glob(DATA_FOLDER + "/*." + kind)]:
            shutil.copy(path, scratch)
        with open(os.path.join(scratch, "wrapper.py"), "w") as f:
            f.write(WRAPPER)
        # Every option the settings file offers, as xscreensaver-settings writes them: --root --globes 3 --fps.
        settings = ElementTree.parse(os.path.join(DATA_FOLDER, "tovi.xml")).getroot()
        options = " ".join(e.get("arg", e.get("arg-set", "")).replace("%", e.get("high", "")) for e in settings).strip()
        with open(os.path.join(home, ".xscreensaver"), "w") as f:
            # The daemon runs its savers at nice 10 by default, which on a busy machine starves them.
            f.write("mode: one\nselected: 0\nlock: False\nsplash: False\nfade: True\nfadeSeconds: 0:00:01\nnice: 0\n"
                    "programs: GL: /usr/bin/python3 %s/wrapper.py %s %s/tovi %s\n" % (scratch, log, scratch, options))
        with open(os.path.join(work, PREFS_NAME), "wb") as f:
            f.write(default_prefs_record())
        for folder, _, names in os.walk(scratch):
            for path in [folder] + [os.path.join(folder, name) for name in names]:
                os.chown(path, user.pw_uid, user.pw_gid)

        env = self.xserver.environment()
        env.update(HOME=home, USER=user.pw_name, LOGNAME=user.pw_name)
        as_user = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if os.getuid() == 0 else {}
        with open(os.path.join(scratch, "daemon"), "wb") as daemon_log:
            daemon = subprocess.Popen(["xscreensaver", "-no-splash", "-verbose"], cwd=work, env=env,
                                      stdout=daemon_log, stderr=subprocess.STDOUT, **as_user)
        self.addCleanup(daemon.wait)
        self.addCleanup(daemon.terminate)
        command = lambda word: subprocess.run(["xscreensaver-command", word], env=env, capture_output=True, **as_user)
        logs = lambda: "\n".join("%s: %r" % (path, read(path, "rb")[-1500:])
                                 for path in glob.glob(os.path.join(log, "*")) + [os.path.join(scratch, "daemon")])

        wait_for(lambda: command("-activate").returncode == 0, 15, lambda: "the daemon takes no -activate")
        # After the daemon's fade and the saver's own fade-in (slow on a busy machine), glowing plasma.
        wait_for(lambda: e2e_program.SceneTest.bright(self.xserver.screenshot().grid(4)) > 40, 40,
                 lambda: "no glowing plasma on the screen:\n" + logs())
        self.assertEqual(command("-deactivate").returncode, 0)
        status_path = os.path.join(log, "status")
        wait_for(lambda: os.path.exists(status_path) and read(status_path), 5, lambda: "still running:\n" + logs())
        status, seconds = read(status_path).split()
        self.assertEqual(int(status), 0, logs())
        self.assertLess(float(seconds), 1.0, "seconds from the SIGTERM to the end")
        self.assertEqual(read(os.path.join(log, "stdout")), STARTUP_WITH_PREFS + SHUTDOWN)
        self.assertEqual(read(os.path.join(log, "stderr")), "", "no X error, nothing at all on stderr")
        self.assertEqual(os.listdir(work), [PREFS_NAME], "the saver writes nothing")
        self.assertEqual(read(os.path.join(work, PREFS_NAME), "rb"), default_prefs_record())


class WindowTest(ProgramTestCase):
    def test_follows_the_window_size_and_ends_on_sigterm_or_with_the_window(self):
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = x11.XDefaultRootWindow.restype = ctypes.c_void_p
        x11.XCreateSimpleWindow.restype = ctypes.c_ulong
        display = ctypes.c_void_p(x11.XOpenDisplay(self.xserver.display.encode()))
        self.addCleanup(x11.XCloseDisplay, display)

        def call(name, *arguments):  # a request of this other client, sent at once
            result = getattr(x11, name)(display, *(ctypes.c_ulong(a) for a in arguments))
            x11.XFlush(display)
            return result

        def make_window(width, height):
            window = call("XCreateSimpleWindow", x11.XDefaultRootWindow(display), 0, 0, width, height, 0, 0, 0)
            call("XMapWindow", window)
            return window

        window = make_window(320, 240)
        run = self.start_program(arguments=["-window-id", hex(window)])
        self.wait_until_ready(run)
        time.sleep(1.0)
        call("XResizeWindow", window, 800, 600)
        # Stars in every quarter of the new size (once the fade-in is over), none outside it.
        quarters = lambda shot: [lit_pixels(shot, x, y, x + 400, y + 300) for x in (0, 400) for y in (0, 300)]
        wait_for(lambda: min(quarters(self.xserver.screenshot())) > 4, 30,
                 lambda: "lit pixels in the quarters of the window: %s" % quarters(self.xserver.screenshot()))
        shot = self.xserver.screenshot()
        self.assertEqual(lit_pixels(shot, 800, 0, 1024, 768) + lit_pixels(shot, 0, 600, 800, 768), 0,
                         "drawn outside the window")
        run.process.send_signal(signal.SIGTERM)
        self.assertEqual(run.wait_exit(5.0), 0, run.transcript())
        self.assertEqual((run.stdout(), run.stderr()), (STARTUP_WITHOUT_PREFS + SHUTDOWN, ""), run.transcript())

        # A window destroyed under the saver ends it as quietly (an id in decimal).
        window = make_window(200, 150)
        run = self.start_program(arguments=["-window-id", str(window)])
        self.wait_until_ready(run)
        time.sleep(0.5)
        call("XDestroyWindow", window)
        self.assertEqual(run.wait_exit(5.0), 0, run.transcript())
        self.assertEqual((run.stdout(), run.stderr()), (STARTUP_WITHOUT_PREFS + SHUTDOWN, ""), run.transcript())

        # A window that is not there: the program's own message, not Xlib's error report.
        run = self.start_program(arguments=["-window-id", "0x1fffffff"])
        self.assertEqual(run.wait_exit(5.0), 1, run.transcript())
        self.assertEqual((run.stdout(), run.stderr()), ("", "Tovi: the display has no window 0x1fffffff\n"))


if __name__ == "__main__":
    unittest.main()
