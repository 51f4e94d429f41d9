"""Tovi as a screensaver on a private Xvfb screen: started and stopped by Debian's xscreensaver daemon, and
drawing into a window that the test itself makes.

Run from this folder as `python3 -m unittest -v e2e_saver`, with TOVI_PROGRAM holding the built program.
The daemon launches no saver for root: run as root, the test makes an unprivileged user for it (and
removes it again), or skips when it cannot.
"""

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

import e2e_program
from e2e_program import (DATA_FOLDER, PREFS_NAME, SHUTDOWN, STARTUP_WITH_PREFS, STARTUP_WITHOUT_PREFS, ProgramTestCase,
                         default_prefs_record)

SAVER_USER = "tovi-saver-test"

# Runs the saver for the daemon and keeps what the daemon cannot tell: the saver's console, its exit status
# and how long it took to end after the daemon's SIGTERM, which it passes on.
WRAPPER = """
import signal, subprocess, sys, time
log = sys.argv[1]
saver = subprocess.Popen(sys.argv[2:], stdout=open(log + "/stdout", "wb"), stderr=open(log + "/stderr", "wb"))
ended = []
def pass_on(number, frame):
    ended.append(time.monotonic())
    saver.send_signal(number)
signal.signal(signal.SIGTERM, pass_on)
status = saver.wait()
open(log + "/status", "w").write("%d %.3f" % (status, time.monotonic() - ended[0] if ended else -1))
"""


def read(path, mode="r"):
    with open(path, mode) as f:
        return f.read()


def lit_pixels(shot, left, top, right, bottom):
    return sum(1 for y in range(top, bottom, 2) for x in range(left, right, 2) if sum(shot.rgb(x, y)) > 60)


class DaemonTest(ProgramTestCase):
    """xscreensaver starts the saver on -activate, after its own fade to black, and stops it on -deactivate."""

    def unprivileged_user(self):
        """The user the daemon runs as: this one, or when root one made for the test."""
        if os.getuid() != 0:
            return pwd.getpwuid(os.getuid())
        try:
            return pwd.getpwnam(SAVER_USER)
        except KeyError:
            pass
        made = subprocess.run(["useradd", "--system", "--no-create-home", SAVER_USER], capture_output=True, text=True)
        if made.returncode != 0:
            self.skipTest("xscreensaver launches no saver for root, and no user could be made for it: "
                          + made.stderr.strip())
        self.addCleanup(subprocess.run, ["userdel", SAVER_USER], capture_output=True)
        return pwd.getpwnam(SAVER_USER)

    def test_activate_shows_plasma_and_deactivate_ends_the_saver_cleanly(self):
        user = self.unprivileged_user()
        scratch = tempfile.mkdtemp(prefix="tovi-saver-")
        self.addCleanup(shutil.rmtree, scratch)
        home, work, log = (os.path.join(scratch, name) for name in ("home", "work", "log"))
        for folder in (home, work, log):
            os.mkdir(folder)
        # The program with its data beside it, where the daemon's user can run it.
        for path in [e2e_program.PROGRAM] + glob.glob(os.path.join(DATA_FOLDER, "*.bmp")) + glob.glob(
                os.path.join(DATA_FOLDER, "*.wav")):
            shutil.copy(path, scratch)
        with open(os.path.join(scratch, "wrapper.py"), "w") as f:
            f.write(WRAPPER)
        with open(os.path.join(home, ".xscreensaver"), "w") as f:
            f.write("mode: one\nselected: 0\nlock: False\nsplash: False\nfade: True\nfadeSeconds: 0:00:01\n"
                    "programs: GL: /usr/bin/python3 %s/wrapper.py %s %s/tovi --root\n" % (scratch, log, scratch))
        prefs = default_prefs_record()
        with open(os.path.join(work, PREFS_NAME), "wb") as f:
            f.write(prefs)
        for folder, _, files in os.walk(scratch):
            for name in [folder] + [os.path.join(folder, name) for name in files]:
                os.chown(name, user.pw_uid, user.pw_gid)

        env = self.xserver.environment()
        env.update(HOME=home, USER=user.pw_name, LOGNAME=user.pw_name)
        as_user = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if os.getuid() == 0 else {}
        with open(os.path.join(scratch, "daemon.log"), "wb") as daemon_log:
            daemon = subprocess.Popen(["xscreensaver", "-no-splash", "-verbose"], cwd=work, env=env,
                                      stdout=daemon_log, stderr=subprocess.STDOUT, **as_user)
        self.addCleanup(daemon.wait)
        self.addCleanup(daemon.terminate)

        def command(word):
            return subprocess.run(["xscreensaver-command", word], env=env, capture_output=True, **as_user)

        deadline = time.monotonic() + 15
        while command("-activate").returncode != 0:
            self.assertLess(time.monotonic(), deadline, "the daemon did not take -activate")
            time.sleep(0.2)
        # After the daemon's fade and the saver's own fade-in, glowing plasma.
        deadline = time.monotonic() + 15
        while e2e_program.SceneTest.bright(self.xserver.screenshot().grid(4)) <= 40:
            self.assertLess(time.monotonic(), deadline, "no glowing plasma on the screen: " + self.logs(scratch))
            time.sleep(0.5)

        self.assertEqual(command("-deactivate").returncode, 0)
        status_path = os.path.join(log, "status")
        deadline = time.monotonic() + 5
        while not os.path.exists(status_path) or os.path.getsize(status_path) == 0:
            self.assertLess(time.monotonic(), deadline, "the saver still runs: " + self.logs(scratch))
            time.sleep(0.1)
        status, seconds = read(status_path).split()
        self.assertEqual(int(status), 0, self.logs(scratch))
        self.assertLess(float(seconds), 1.0, "seconds from SIGTERM to the end")
        self.assertEqual(read(os.path.join(log, "stdout")), STARTUP_WITH_PREFS + SHUTDOWN)
        self.assertEqual(read(os.path.join(log, "stderr")), "", "no X error, nothing at all on stderr")
        self.assertEqual(os.listdir(work), [PREFS_NAME], "the saver writes nothing")
        self.assertEqual(read(os.path.join(work, PREFS_NAME), "rb"), prefs)

    @staticmethod
    def logs(scratch):
        paths = glob.glob(os.path.join(scratch, "log", "*")) + [os.path.join(scratch, "daemon.log")]
        return "\n".join("%s:\n%s" % (path, read(path, "rb")[-2000:].decode(errors="replace")) for path in paths)


class XClient:
    """A window of the test's own, made with Xlib through ctypes: another client than the saver."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XCreateSimpleWindow.restype = ctypes.c_ulong
        self.display = ctypes.c_void_p(self.x11.XOpenDisplay(display.encode()))

    def call(self, name, window, *numbers):
        getattr(self.x11, name)(self.display, ctypes.c_ulong(window), *(ctypes.c_uint(n) for n in numbers))
        self.x11.XFlush(self.display)

    def make_window(self, width, height):
        root = self.x11.XDefaultRootWindow(self.display)
        window = self.x11.XCreateSimpleWindow(self.display, ctypes.c_ulong(root), 0, 0, width, height, 0,
                                              ctypes.c_ulong(0), ctypes.c_ulong(0))
        self.call("XMapWindow", window)
        return window

    def close(self):
        self.x11.XCloseDisplay(self.display)


class WindowTest(ProgramTestCase):
    """-window-id: the saver draws into a window made by another client, follows its size and ends at
    SIGTERM or with the window, quietly."""

    def test_follows_the_window_size_and_ends_on_sigterm_or_with_the_window(self):
        client = XClient(self.xserver.display)
        self.addCleanup(client.close)
        window = client.make_window(320, 240)
        run = self.start_program(arguments=["-window-id", hex(window)])
        self.wait_until_ready(run)
        time.sleep(2.5)  # past the fade-in
        client.call("XResizeWindow", window, 800, 600)
        time.sleep(1.0)
        shot = self.xserver.screenshot()
        for left, top in ((0, 0), (400, 0), (0, 300), (400, 300)):
            self.assertGreater(lit_pixels(shot, left, top, left + 400, top + 300), 20,
                               "the picture does not fill the quarter at (%d, %d)" % (left, top))
        self.assertEqual(lit_pixels(shot, 800, 0, 1024, 768) + lit_pixels(shot, 0, 600, 800, 768), 0,
                         "drawn outside the window")
        run.process.send_signal(signal.SIGTERM)
        self.assertEqual(run.wait_exit(5.0), 0, run.transcript())
        self.assertEqual((run.stdout(), run.stderr()), (STARTUP_WITHOUT_PREFS + SHUTDOWN, ""), run.transcript())

        # A window destroyed while the saver draws into it ends the saver as quietly (an id in decimal).
        window = client.make_window(200, 150)
        run = self.start_program(arguments=["-window-id", str(window)])
        self.wait_until_ready(run)
        time.sleep(0.5)
        client.call("XDestroyWindow", window)
        self.assertEqual(run.wait_exit(5.0), 0, run.transcript())
        self.assertEqual((run.stdout(), run.stderr()), (STARTUP_WITHOUT_PREFS + SHUTDOWN, ""), run.transcript())

        # A window that is not there: the program's own message, not Xlib's.
        run = self.start_program(arguments=["-window-id", "0x1fffffff"])
        self.assertEqual(run.wait_exit(5.0), 1, run.transcript())
        self.assertEqual((run.stdout(), run.stderr()), ("", "Tovi: the display has no window 0x1fffffff\n"))


if __name__ == "__main__":
    unittest.main()
