"""A private X server for the end-to-end tests, and the few X tools they drive.

Xvfb picks a free display number itself (-displayfd) and writes it to a pipe once it accepts clients.
Keys and pointer moves go through xdotool, which uses the XTEST extension: the program receives them
exactly as it would from a real keyboard. Window geometry comes from xwininfo.
"""

import os
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import time

REQUIRED_TOOLS = ("Xvfb", "xdotool", "xwininfo", "xdpyinfo", "xwd")


def missing_tools():
    return [tool for tool in REQUIRED_TOOLS if shutil.which(tool) is None]


class XServer:
    """One Xvfb with a single 24-bit screen; use start() and stop(), or a with-block."""

    def __init__(self, width=1024, height=768, depth=24):
        self.width = width
        self.height = height
        self.depth = depth
        self.display = None
        self.process = None
        self._log = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self, timeout=20.0):
        read_end, write_end = os.pipe()
        # Xvfb's own chatter (missing fonts, XKB warnings) goes to a file, shown only if it fails to start.
        self._log = tempfile.TemporaryFile()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end),
                 "-screen", "0", "%dx%dx%d" % (self.width, self.height, self.depth),
                 "-nolisten", "tcp", "-noreset"],
                stdin=subprocess.DEVNULL, stdout=self._log, stderr=self._log,
                pass_fds=(write_end,), start_new_session=True)
        finally:
            os.close(write_end)
        try:
            number = self._read_display_number(read_end, timeout)
        finally:
            os.close(read_end)
        self.display = ":%s" % number
        self._wait_until_answering(timeout)

    def _read_display_number(self, fd, timeout):
        deadline = time.monotonic() + timeout
        text = b""
        while b"\n" not in text:
            left = deadline - time.monotonic()
            if left <= 0:
                self.stop()
                raise RuntimeError("Xvfb did not report a display number within %.0f s" % timeout)
            ready, _, _ = select.select([fd], [], [], left)
            if not ready:
                continue
            chunk = os.read(fd, 64)
            if not chunk:
                errors = self._collect_errors()
                self.stop()
                raise RuntimeError("Xvfb exited before it was ready:\n" + errors)
            text += chunk
        return int(text.split(b"\n", 1)[0].strip())

    def _collect_errors(self):
        try:
            self.process.wait(timeout=2)
        except subprocess.TimeoutExpired:
            pass
        self._log.seek(0)
        return self._log.read().decode(errors="replace")

    def _wait_until_answering(self, timeout):
        deadline = time.monotonic() + timeout
        while True:
            probe = subprocess.run(["xdpyinfo"], env=self.environment(), capture_output=True)
            if probe.returncode == 0:
                return
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("Xvfb on %s does not answer: %s"
                                   % (self.display, probe.stderr.decode(errors="replace")))
            time.sleep(0.1)

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None
        if self._log is not None:
            self._log.close()
            self._log = None

    def environment(self, base=None):
        env = dict(os.environ if base is None else base)
        env["DISPLAY"] = self.display
        return env

    # --- the tools -------------------------------------------------------------------------------------

    def _tool(self, *args, check=True):
        result = subprocess.run(list(args), env=self.environment(), capture_output=True, timeout=15)
        if check and result.returncode != 0:
            raise RuntimeError("%s failed (%d): %s" % (" ".join(args), result.returncode,
                                                       result.stderr.decode(errors="replace")))
        return result.stdout.decode(errors="replace")

    def windows_named(self, title):
        """Ids of all windows whose name is exactly `title`."""
        pattern = "^%s$" % re.escape(title)
        out = self._tool("xdotool", "search", "--name", pattern, check=False)
        return [int(line) for line in out.split()]

    def geometry(self, window):
        """(x, y, width, height, viewable) of a window, x and y on the root window."""
        out = self._tool("xwininfo", "-id", str(window))

        def field(label):
            match = re.search(r"^\s*%s:\s*(-?\d+)" % re.escape(label), out, re.MULTILINE)
            if match is None:
                raise RuntimeError("xwininfo shows no %r:\n%s" % (label, out))
            return int(match.group(1))

        viewable = re.search(r"Map State:\s*IsViewable", out) is not None
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"), viewable)

    def move_pointer(self, x, y):
        self._tool("xdotool", "mousemove", str(x), str(y))

    def press(self, key):
        """Presses and releases one key through XTEST, to whichever window has the keyboard."""
        self._tool("xdotool", "key", key)

    def screenshot(self):
        """The root window as a Screenshot, read from xwd's dump (32 bits per pixel, 24-bit colour)."""
        result = subprocess.run(["xwd", "-root", "-silent"], env=self.environment(), capture_output=True,
                                timeout=15, check=True)
        return Screenshot(result.stdout)

    def click(self, button):
        self._tool("xdotool", "click", str(button))

    def slow_click(self, x, y, button=1):
        """Moves to (x, y) and presses the button long enough for the program to see it held."""
        self._tool("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.1)
        self._tool("xdotool", "mousedown", str(button))
        time.sleep(0.15)
        self._tool("xdotool", "mouseup", str(button))

    def move_pointer_by(self, dx, dy):
        self._tool("xdotool", "mousemove_relative", "--", str(dx), str(dy))

    def hold_key(self, key, seconds):
        self._tool("xdotool", "keydown", key)
        time.sleep(seconds)
        self._tool("xdotool", "keyup", key)


class Screenshot:
    """Pixels of an xwd dump of a TrueColor screen."""

    def __init__(self, data):
        fields = struct.unpack(">25I", data[:100])
        header_size, self.width, self.height = fields[0], fields[4], fields[5]
        byte_order, bits_per_pixel, self.bytes_per_line = fields[7], fields[11], fields[12]
        colours = fields[19]
        if bits_per_pixel != 32:
            raise RuntimeError("expected 32 bits per pixel, xwd gave %d" % bits_per_pixel)
        self.little_endian = byte_order == 0
        self.pixels = data[header_size + 12 * colours:]

    def rgb(self, x, y):
        at = y * self.bytes_per_line + 4 * x
        word = self.pixels[at:at + 4]
        value = int.from_bytes(word, "little" if self.little_endian else "big")
        return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF

    def grid(self, step=16):
        """Every step-th pixel in both directions."""
        return [self.rgb(x, y) for y in range(0, self.height, step) for x in range(0, self.width, step)]
