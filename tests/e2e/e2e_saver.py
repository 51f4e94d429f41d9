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
import unittest
import xml.etree.ElementTree as ElementTree

from e2e_program import BUILD, DATA, DEFAULTS, H, ROOT, W, SessionTest, read
from xsession import wait_for

SAVER_USER = "tovi-saver-test"
# The preferences file of the defaults, as the program saves them.
PREFS = b"\xfc\x45\x42\x00" + struct.pack("<17i28f", *DEFAULTS)

# Runs the saver for the daemon, passes the daemon's SIGTERM on and keeps what the daemon does not tell: the
# saver's console and how it ended (a negative status: the signal it died of).
WRAPPER = """import signal, subprocess, sys
log = sys.argv[1]
saver = subprocess.Popen(sys.argv[2:], stdout=open(log + "/stdout", "wb"), stderr=open(log + "/stderr", "wb"))
signal.signal(signal.SIGTERM, lambda number, frame: saver.send_signal(number))
open(log + "/status", "w").write("%d" % saver.wait())
"""


class SaverTest(SessionTest):

    def assert_ended(self, run, status=0, errors=""):  # a screensaver prints nothing but errors
        self.assertEqual(run.wait_exit(5.0), status, run.console(errors=True))
        self.assertEqual((run.console(), run.console(errors=True)), ("", errors))

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

        def saver_in_window(width, height, form):  # the saver drawing in a new window at the corner
            window = call("XCreateSimpleWindow", x11.XDefaultRootWindow(display), 0, 0, width, height, 0, 0, 0)
            call("XMapWindow", window)
            run = self.run_program("-window-id", form(window))
            wait_for("stars in the window", lambda: stars(0, 0, width, height) > 0)
            return window, run

        def stars(left, top, right, bottom):  # the share of lit pixels: stars are small and few
            return self.xserver.screenshot().lit(left, top, right, bottom, level=60)

        # The window resized: stars in every quarter of the new size (once the fade-in is over), none outside
        # it. SIGTERM ends the saver quietly, and by that signal.
        window, run = saver_in_window(320, 240, hex)
        call("XResizeWindow", window, 800, 600)
        quarters = [(x, y, x + 400, y + 300) for x in (0, 400) for y in (0, 300)]
        wait_for("stars in every quarter", lambda: min(stars(*quarter) for quarter in quarters) > 0.0005, 30)
        self.assertEqual(stars(800, 0, W, H) + stars(0, 600, 800, H), 0, "drawn outside the window")
        run.process.send_signal(signal.SIGTERM)
        self.assert_ended(run, -signal.SIGTERM)
        # A window destroyed under the saver ends it as quietly.
        window, run = saver_in_window(200, 150, str)
        call("XDestroyWindow", window)
        self.assert_ended(run)
        # A window that is not there: the program's own message, not Xlib's error report.
        self.assert_ended(self.run_program("-window-id", "0x1fffffff"), 1, "Tovi: the display has no window 0x1fffffff\n")

    def test_b_the_daemon_activates_and_deactivates_the_saver(self):
        # xscreensaver runs no saver for root: as root, an unprivileged user of its own runs the daemon.
        if os.getuid() == 0 and subprocess.run(["id", SAVER_USER], capture_output=True).returncode != 0:
            subprocess.run(["useradd", "--system", "--no-create-home", SAVER_USER], check=True)
            self.addCleanup(subprocess.run, ["userdel", SAVER_USER])
        user = pwd.getpwnam(SAVER_USER) if os.getuid() == 0 else pwd.getpwuid(os.getuid())
        scratch = tempfile.mkdtemp(prefix="tovi-saver-")
        self.addCleanup(shutil.rmtree, scratch)
        home, work, log = (os.path.join(scratch, name) for name in ("home", "work", "log"))
        for folder in (home, work, log):
            os.mkdir(folder)
        # The program with its data beside it, and every option the settings file offers as
        # xscreensaver-settings writes them: --root --globes 3 --fps.
        for name in ["tovi"] + DATA:
            shutil.copy(os.path.join(BUILD, name), scratch)
        settings = ElementTree.parse(os.path.join(ROOT, "data", "tovi.xml")).getroot()
        options = " ".join(e.get("arg", e.get("arg-set", "")).replace("%", e.get("high", "")) for e in settings)
        files = {"wrapper.py": WRAPPER, "work/Tovi.pref": PREFS, "home/.xscreensaver":
                 # The daemon runs its savers at nice 10 by default, which on a busy machine starves them.
                 "mode: one\nselected: 0\nlock: False\nsplash: False\nfade: True\nfadeSeconds: 0:00:01\nnice: 0\n"
                 "programs: GL: /usr/bin/python3 %s/wrapper.py %s %s/tovi %s\n" % (scratch, log, scratch, options)}
        for name, content in files.items():
            with open(os.path.join(scratch, name), "wb" if isinstance(content, bytes) else "w") as f:
                f.write(content)
        for folder, _, names in os.walk(scratch):
            for path in [folder] + [os.path.join(folder, name) for name in names]:
                os.chown(path, user.pw_uid, user.pw_gid)

        environment = self.xserver.environment(dict(os.environ, HOME=home, USER=user.pw_name, LOGNAME=user.pw_name))
        as_user = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if os.getuid() == 0 else {}
        with open(os.path.join(log, "daemon"), "wb") as daemon_log:
            daemon = subprocess.Popen(["xscreensaver", "-no-splash", "-verbose"], cwd=work, env=environment,
                                      stdout=daemon_log, stderr=subprocess.STDOUT, **as_user)
        self.addCleanup(daemon.wait)
        self.addCleanup(daemon.terminate)

        def command(word):
            return subprocess.run(["xscreensaver-command", word], env=environment, capture_output=True, **as_user)

        # After the daemon's fade and the saver's own fade-in (slow on a busy machine), glowing plasma; the
        # deactivation's SIGTERM ends the saver at once.
        status = os.path.join(log, "status")
        try:
            wait_for("the daemon taking -activate", lambda: command("-activate").returncode == 0)
            wait_for("glowing plasma", lambda: self.xserver.screenshot().lit(0, 0, W, H, level=450) > 0.001, 40)
            self.assertEqual(command("-deactivate").returncode, 0)
            wait_for("the saver's end", lambda: read(status), 5)
        except TimeoutError as error:
            self.fail("%s\n%s" % (error, [(name, read(os.path.join(log, name))[-1500:]) for name in os.listdir(log)]))
        self.assertEqual(read(status), b"%d" % -signal.SIGTERM, "the saver's end: death by SIGTERM")
        self.assertEqual(read(os.path.join(log, "stdout")), b"", "nothing in the daemon's log")
        self.assertEqual(read(os.path.join(log, "stderr")), b"", "no X error, nothing at all on stderr")


if __name__ == "__main__":
    unittest.main()
