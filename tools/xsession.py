"""A private X server for the end-to-end tests and the tour, the program running on it, and the X tools.

Xvfb picks a free display number itself (-displayfd) and writes it once it accepts clients. Keys, clicks
and pointer moves go through xdotool, which uses the XTEST extension: the program receives them exactly
as from a real keyboard and mouse. Screenshots come from xwd, window geometry from xwininfo. A Compositor
runs weston inside such a server, for programs on its Xwayland.
"""

import os
import re
import shutil
import struct
import subprocess
import tempfile
import time

TOOLS = ("Xvfb", "xdotool", "xwininfo", "xwd")


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def wait_for(what, check, timeout=20.0):
    """Polls check() until it returns a true value, and returns that; raises TimeoutError naming `what`."""
    deadline = time.monotonic() + timeout
    while not (value := check()):
        if time.monotonic() > deadline:
            raise TimeoutError("%s: not within %.0f s" % (what, timeout))
        time.sleep(0.05)
    return value


class XServer:
    """One Xvfb with a single 24-bit screen, for the length of a with-block; `options` go to Xvfb (-noreset
    keeps what clients left on the screen, such as xrdb's resources, after the last one has gone)."""

    def __init__(self, width=1024, height=768, *options):
        self.width, self.height, self.options = width, height, options

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (self.width, self.height),
             "-nolisten", "tcp", *self.options], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.display = ":" + pipe.readline().strip()
        if self.display == ":":
            raise RuntimeError("Xvfb ended at start-up with status %s" % self.process.wait())
        return self

    def __exit__(self, *error):
        self.process.terminate()
        self.process.wait()

    def environment(self, base=None):
        return dict(os.environ if base is None else base, DISPLAY=self.display)

    def tool(self, *args, check=True):
        result = subprocess.run(args, env=self.environment(), capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError("%s failed: %s" % (" ".join(args), result.stderr.decode(errors="replace")))
        return result.stdout

    def keys(self, *names):
        """Presses and releases each key in turn, a few frames apart, at whichever window has the keyboard."""
        self.tool("xdotool", "key", "--delay", "150", *names)

    def move_pointer(self, x, y, relative=False):
        self.tool("xdotool", *(("mousemove_relative", "--") if relative else ("mousemove",)), str(x), str(y))

    def click(self, x, y, button=1):
        """Moves to (x, y) and clicks at once, as a tap does: the press and the release may reach one frame."""
        self.tool("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def window(self, title):
        """(id, x, y, width, height) of the one mapped window named `title`, or None."""
        ids = self.tool("xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title), check=False)
        if len(ids.split()) != 1:
            return None
        return (int(ids.split()[0]), *self.geometry(int(ids.split()[0])))

    def geometry(self, window):
        """(x, y, width, height) of a window given by its id, its place counted on the screen."""
        info = self.tool("xwininfo", "-id", str(window)).decode()
        return tuple(int(re.search(r"%s:\s*(-?\d+)" % label, info).group(1))
                     for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def pointer(self):
        """Where the pointer is on the screen, (x, y)."""
        place = re.match(rb"x:(\d+) y:(\d+)", self.tool("xdotool", "getmouselocation"))
        return int(place.group(1)), int(place.group(2))

    def screenshot(self):
        return Screenshot(self.tool("xwd", "-root", "-silent"))


class Compositor(XServer):
    """weston nested in an X server through its X11 backend, for the length of a with-block: X programs run on
    its Xwayland (this server's display), as on a Wayland desktop, and keys, clicks and pointer moves reach
    them through weston from the outer server, whose screen shows weston's. RuntimeError if weston ends or
    names no Xwayland display within `timeout` seconds, or is not installed."""

    def __init__(self, outer, timeout=20.0):
        super().__init__(outer.width, outer.height)
        self.outer, self.timeout = outer, timeout
        self.keys, self.move_pointer, self.click = outer.keys, outer.move_pointer, outer.click
        self.pointer, self.screenshot = outer.pointer, outer.screenshot

    def __enter__(self):
        if missing := [tool for tool in ("weston", "Xwayland") if shutil.which(tool) is None]:
            raise RuntimeError("not installed: " + ", ".join(missing))
        self.runtime = tempfile.mkdtemp(prefix="tovi-weston-")  # private to its user, as weston requires
        log = os.path.join(self.runtime, "log")
        self.process = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--xwayland", "--idle-time=0", "--log=" + log,
             "--width=%d" % self.width, "--height=%d" % self.height],
            env=dict(self.outer.environment(), XDG_RUNTIME_DIR=self.runtime), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        logged = lambda: open(log).read() if os.path.exists(log) else ""  # noqa: E731
        listening = lambda: re.search(r"xserver listening on display (:\d+)\n", logged())  # noqa: E731
        try:
            wait_for("weston's Xwayland", lambda: self.process.poll() is not None or listening(), self.timeout)
            self.display = listening().group(1)
        except (TimeoutError, AttributeError):
            status = self.process.poll()
            self.__exit__()
            raise RuntimeError("weston did not start (status %s): %s" % (status, logged()[-1000:]))
        return self

    def __exit__(self, *error):
        # Before the outer server: weston does not end by itself when that goes.
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)


class Screenshot:
    """The pixels of an xwd dump of a 24-bit TrueColor screen, 32 bits a pixel."""

    def __init__(self, data):
        fields = struct.unpack(">25I", data[:100])
        self.width, self.height, self.stride = fields[4], fields[5], fields[12]
        self.order = "little" if fields[7] == 0 else "big"
        self.pixels = data[fields[0] + 12 * fields[19]:]

    def rgb(self, x, y):
        at = y * self.stride + 4 * x
        value = int.from_bytes(self.pixels[at:at + 4], self.order)
        return value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF

    def lit(self, left, top, right, bottom, step=4, level=120):
        """The share of the pixels of a box, every step-th in both directions, brighter than `level`."""
        pixels = [self.rgb(x, y) for y in range(top, bottom, step) for x in range(left, right, step)]
        return sum(1 for pixel in pixels if sum(pixel) > level) / len(pixels)


class Program:
    """One run of a program on an X server, in a working folder, its output and errors caught in files.
    Without `display` the program finds no DISPLAY in its environment (its command line may name one)."""

    def __init__(self, xserver, path, folder, environment=None, arguments=(), display=True):
        self.xserver, self.folder = xserver, folder
        self.output, self.errors = tempfile.NamedTemporaryFile(), tempfile.NamedTemporaryFile()
        environment = xserver.environment(environment)
        if not display:
            del environment["DISPLAY"]
        self.process = subprocess.Popen([path, *arguments], cwd=folder, env=environment,
                                        stdin=subprocess.DEVNULL, stdout=self.output, stderr=self.errors)

    def console(self, errors=False):
        with open((self.errors if errors else self.output).name, "rb") as f:
            return f.read().decode(errors="replace")

    def wait_for_console(self, text, timeout=30.0):
        wait_for("%r on the console" % text, lambda: text in self.console() or self.process.poll() is not None,
                 timeout)
        if text not in self.console():
            raise RuntimeError("the program ended with status %s before %r:\n%s%s" % (
                self.process.returncode, text, self.console(), self.console(errors=True)))

    def wait_for_window(self, title, timeout=20.0):
        """The window at the screen's size, once freeglut has made it full-screen: (id, x, y, w, h)."""
        size = (self.xserver.width, self.xserver.height)
        return wait_for("a full-screen window " + title, lambda: (window := self.xserver.window(title))
                        and tuple(window[3:]) == size and window, timeout)

    def wait_exit(self, timeout=15.0):
        """The exit status, or None while the program still runs after `timeout` seconds."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.output.close()
        self.errors.close()
