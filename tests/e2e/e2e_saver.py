"""Tovi as a screensaver on one private X server: in windows the test makes, and run by Debian's
xscreensaver daemon (which runs no saver for root: as root the test makes an unprivileged user) with the
options of data/tovi.xml. TOVI_BUILD_DIR: the build folder."""

import ctypes
import os
import pwd
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

from e2e_program import BUILD, DATA, DEFAULTS, H, ROOT, SHUTDOWN, STARTUP, W
from xsession import Program, XServer, missing_tools, wait_for

SAVER_USER = "tovi-saver-test"
# The preferences file of the defaults, as the program saves them.
PREFS = b"\xfc\x45\x42\x00" + struct.pack("<17i28f", *DEFAULTS)

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


class SaverTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        if missing_tools() or not os.access(os.path.join(BUILD, "tovi"), os.X_OK):
            raise RuntimeError("needs the tools %s and TOVI_BUILD_DIR/tovi" % ", ".join(missing_tools()))
        cls.xserver = XServer(W, H).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.xserver.__exit__()

    def scratch(self):
        folder = tempfile.mkdtemp(prefix="tovi-saver-")
        self.addCleanup(shutil.rmtree, folder)
        return folder

    def start(self, *arguments):
        run = Program(self.xserver, os.path.join(BUILD, "tovi"), self.scratch(), arguments=arguments)
        self.addCleanup(run.close)
        return run

    def assert_quiet_end(self, run):
        self.assertEqual(run.wait_exit(5.0), 0, run.console(errors=True))
        self.assertEqual((run.console(), run.console(errors=True)), (STARTUP % "No Prefs found." + SHUTDOWN, ""))

    def test_a_window_made_by_another_client(self):
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

        def stars(left, top, right, bottom):  # the share of lit pixels: stars are small and few
            return self.xserver.screenshot().lit(left, top, right, bottom, level=60)

        # Drawing into the small window, then resized: stars in every quarter of the new size (once the
        # fade-in is over), none outside it. SIGTERM ends the saver as quietly as a quit.
        window = make_window(320, 240)
        run = self.start("-window-id", hex(window))
        wait_for("stars in the window", lambda: stars(0, 0, 320, 240) > 0)
        call("XResizeWindow", window, 800, 600)
        quarters = lambda: [stars(x, y, x + 400, y + 300) for x in (0, 400) for y in (0, 300)]
        wait_for("stars in every quarter", lambda: min(quarters()) > 0.0005, 30)
        self.assertEqual(stars(800, 0, W, H) + stars(0, 600, 800, H), 0, "drawn outside the window")
        run.process.send_signal(signal.SIGTERM)
        self.assert_quiet_end(run)

        # A window destroyed under the saver ends it as quietly (an id in decimal).
        window = make_window(200, 150)
        run = self.start("-window-id", str(window))
        wait_for("stars in the window", lambda: stars(0, 0, 200, 150) > 0)
        call("XDestroyWindow", window)
        self.assert_quiet_end(run)

        # A window that is not there: the program's own message, not Xlib's error report.
        run = self.start("-window-id", "0x1fffffff")
        self.assertEqual(run.wait_exit(5.0), 1)
        self.assertEqual((run.console(), run.console(errors=True)),
                         ("", "Tovi: the display has no window 0x1fffffff\n"))

    def unprivileged_user(self):
        if os.getuid() != 0:
            return pwd.getpwuid(os.getuid())
        if SAVER_USER not in (entry.pw_name for entry in pwd.getpwall()):
            made = subprocess.run(["useradd", "--system", "--no-create-home", SAVER_USER], capture_output=True,
                                  text=True)
            if made.returncode != 0:
                self.skipTest("xscreensaver runs no saver for root, and no user could be made: " + made.stderr)
            self.addCleanup(subprocess.run, ["userdel", SAVER_USER])
        return pwd.getpwnam(SAVER_USER)

    def test_b_the_daemon_activates_and_deactivates_the_saver(self):
        user = self.unprivileged_user()
        scratch = self.scratch()
        home, work, log = (os.path.join(scratch, name) for name in ("home", "work", "log"))
        for folder in (home, work, log):
            os.mkdir(folder)
        # The program with its data beside it, where the daemon's user can run it.
        for name in ["tovi"] + DATA:
            shutil.copy(os.path.join(BUILD, name), scratch)
        with open(os.path.join(scratch, "wrapper.py"), "w") as f:
            f.write(WRAPPER)
        # Every option the settings file offers, as xscreensaver-settings writes them: --root --globes 3 --fps.
        settings = ElementTree.parse(os.path.join(ROOT, "data", "tovi.xml")).getroot()
        options = " ".join(e.get("arg", e.get("arg-set", "")).replace("%", e.get("high", "")) for e in settings)
        with open(os.path.join(home, ".xscreensaver"), "w") as f:
            # The daemon runs its savers at nice 10 by default, which on a busy machine starves them.
            f.write("mode: one\nselected: 0\nlock: False\nsplash: False\nfade: True\nfadeSeconds: 0:00:01\nnice: 0\n"
                    "programs: GL: /usr/bin/python3 %s/wrapper.py %s %s/tovi %s\n"
                    % (scratch, log, scratch, options.strip()))
        with open(os.path.join(work, "Tovi.pref"), "wb") as f:
            f.write(PREFS)
        for folder, _, names in os.walk(scratch):
            for path in [folder] + [os.path.join(folder, name) for name in names]:
                os.chown(path, user.pw_uid, user.pw_gid)

        environment = self.xserver.environment(dict(os.environ, HOME=home, USER=user.pw_name, LOGNAME=user.pw_name))
        as_user = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if os.getuid() == 0 else {}
        with open(os.path.join(scratch, "daemon"), "wb") as daemon_log:
            daemon = subprocess.Popen(["xscreensaver", "-no-splash", "-verbose"], cwd=work, env=environment,
                                      stdout=daemon_log, stderr=subprocess.STDOUT, **as_user)
        self.addCleanup(daemon.wait)
        self.addCleanup(daemon.terminate)

        def command(word):
            return subprocess.run(["xscreensaver-command", word], env=environment, capture_output=True, **as_user)

        def logs():
            paths = [os.path.join(log, name) for name in os.listdir(log)] + [os.path.join(scratch, "daemon")]
            return "\n".join("%s: %r" % (path, read(path, "rb")[-1500:]) for path in paths)

        wait_for("the daemon taking -activate", lambda: command("-activate").returncode == 0)
        # After the daemon's fade and the saver's own fade-in (slow on a busy machine), glowing plasma.
        try:
            wait_for("glowing plasma", lambda: self.xserver.screenshot().lit(0, 0, W, H, level=450) > 0.001, 40)
        except TimeoutError as error:
            self.fail("%s\n%s" % (error, logs()))
        self.assertEqual(command("-deactivate").returncode, 0)
        status = os.path.join(log, "status")
        try:
            wait_for("the saver's end", lambda: os.path.exists(status) and read(status), 5)
        except TimeoutError as error:
            self.fail("%s\n%s" % (error, logs()))
        code, seconds = read(status).split()
        self.assertEqual(int(code), 0, logs())
        self.assertLess(float(seconds), 1.0, "seconds from the SIGTERM to the end")
        self.assertEqual(read(os.path.join(log, "stdout")), STARTUP % "Loaded Prefs." + SHUTDOWN)
        self.assertEqual(read(os.path.join(log, "stderr")), "", "no X error, nothing at all on stderr")
        self.assertEqual(os.listdir(work), ["Tovi.pref"], "the saver writes nothing")
        self.assertEqual(read(os.path.join(work, "Tovi.pref"), "rb"), PREFS)


if __name__ == "__main__":
    unittest.main()
