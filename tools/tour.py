#!/usr/bin/env python3
"""A short scripted tour of Tovi on a virtual X server, saved as PNG screenshots.

For a machine without a display: tools/run.sh calls it when no X server answers. It starts its own Xvfb,
runs the program there in a scratch copy of data/ (so a saved preferences file changes nothing and none
is written), drives it with real key presses and clicks, and writes one picture per stop:

  01-logo.png           the opening logo scene
  02-one-globe.png      the globes after the left click (one globe by default)
  03-three-globes.png   after the key 3
  04-menu.png           the popup menu (backquote key)
  05-help.png           the help card (key ?)
  06-shatter.png        the quit key: the picture shatters while the screen fades out

  tools/tour.py [--program build/tovi] [--data data] [--out build/tour] [--size 1920x1080] [--scale 2]

The screen is --size pixels; the pictures are that divided by --scale (each pixel the mean of a square of
screen pixels), which keeps text readable and files small. Python's standard library only.
"""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import struct
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

from xsession import XServer, missing_tools  # noqa: E402

TITLE = "Tovi"

# (file name, what the viewer sees) of every stop, in order.
STOPS = (
    ("01-logo.png", "the opening logo scene"),
    ("02-one-globe.png", "the globes after the left click"),
    ("03-three-globes.png", "three globes (key 3)"),
    ("04-menu.png", "the popup menu (backquote key)"),
    ("05-help.png", "the help card (key ?)"),
    ("06-shatter.png", "the quit key: the picture shatters and fades out"),
)


# --- pictures ------------------------------------------------------------------------------------------

def rgb_rows(shot):
    """The screenshot as a list of rows of packed RGB bytes (xwd gives 32-bit pixels)."""
    # A pixel word holds 0x00RRGGBB; in memory that is B G R x for a little-endian dump.
    order = (2, 1, 0) if shot.little_endian else (1, 2, 3)
    rows = []
    for y in range(shot.height):
        start = y * shot.bytes_per_line
        words = shot.pixels[start:start + 4 * shot.width]
        row = bytearray(3 * shot.width)
        for channel, offset in enumerate(order):
            row[channel::3] = words[offset::4]
        rows.append(bytes(row))
    return rows


def _lanes(data):
    """The bytes as one integer with a 16-bit lane per byte, first byte lowest."""
    wide = bytearray(2 * len(data))
    wide[0::2] = data
    return int.from_bytes(wide, "little")


def downscale(rows, width, factor):
    """Rows of RGB bytes shrunk by an integer factor, every output pixel the rounded mean of its square.

    The sums run on whole rows at once: each byte gets a 16-bit lane of one big integer, which holds the
    sum of up to 257 bytes without spilling into its neighbour: squares of up to 16 x 16 pixels.
    """
    if factor == 1:
        return rows, width
    out_width = width // factor
    used = 3 * out_width * factor
    count = factor * factor
    lane_count = 3 * out_width
    rounding = _lanes(bytes([count // 2]) * lane_count)
    mask = _lanes(b"\xff" * lane_count)
    shrunk = []
    for top in range(0, len(rows) - factor + 1, factor):
        total = rounding
        for row in rows[top:top + factor]:
            for dx in range(factor):
                # Every factor-th pixel starting at dx: the dx-th column of each square.
                picked = bytearray(lane_count)
                for channel in range(3):
                    picked[channel::3] = row[3 * dx + channel:used:3 * factor]
                total += _lanes(picked)
        # The mean: a division per lane. Lanes are exact while counts are powers of two (a shift); other
        # factors fall back to a per-byte loop.
        if count & (count - 1) == 0:
            shift = count.bit_length() - 1
            mean = ((total >> shift) & mask).to_bytes(2 * lane_count, "little")[0::2]
        else:
            wide = total.to_bytes(2 * lane_count, "little")
            mean = bytes(int.from_bytes(wide[i:i + 2], "little") // count for i in range(0, len(wide), 2))
        shrunk.append(bytes(mean))
    return shrunk, out_width


def _sub_filtered(row):
    """PNG filter 1 on a row of RGB bytes: each byte minus the byte of the pixel to its left, mod 256."""
    return _byte_difference(row, b"\x00\x00\x00" + row[:-3])


def _byte_difference(a, b):
    # Byte-wise subtraction mod 256 on whole rows as integers: every byte of a gets its top bit set and b
    # loses its own, so no byte borrows from the next; the xor then puts the right top bit back.
    n = len(a)
    high = int.from_bytes(b"\x80" * n, "big")
    low = high ^ int.from_bytes(b"\xff" * n, "big")
    x = int.from_bytes(a, "big")
    y = int.from_bytes(b, "big")
    return (((x | high) - (y & low)) ^ ((x ^ ~y) & high)).to_bytes(n, "big")


def png_bytes(rows, width):
    """An 8-bit RGB PNG. Each row takes whichever of the filters None, Sub and Up leaves the smallest sum
    of bytes read as signed values, the usual guess at what deflate packs best (filter 2, Up: each byte
    minus the one above it)."""
    def cost(data):
        return sum(data.translate(_SIGNED_SIZE))

    filtered = bytearray()
    above = bytes(3 * width)
    for row in rows:
        candidates = ((0, row), (1, _sub_filtered(row)), (2, _byte_difference(row, above)))
        kind, data = min(candidates, key=lambda c: cost(c[1]))
        filtered.append(kind)
        filtered += data
        above = row

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, len(rows), 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(filtered), 9))
            + chunk(b"IEND", b""))


# The size of each byte read as a signed value, |b| for b < 128 and 256 - b above.
_SIGNED_SIZE = bytes(min(b, 256 - b) for b in range(256))


def save_png(shot, path, factor):
    rows, width = downscale(rgb_rows(shot), shot.width, factor)
    with open(path, "wb") as f:
        f.write(png_bytes(rows, width))


# --- the run -------------------------------------------------------------------------------------------

class Tour:
    def __init__(self, program, data, out, width, height, factor):
        self.program = os.path.abspath(program)
        self.data = data
        self.out = out
        self.width = width
        self.height = height
        self.factor = factor
        self.xserver = None
        self.process = None
        self.log = None
        self.scratch = None
        self.saved = []

    def run(self):
        started = time.monotonic()
        os.makedirs(self.out, exist_ok=True)
        self.scratch = tempfile.mkdtemp(prefix="tovi-tour-")
        try:
            self._copy_data()
            with XServer(self.width, self.height, 24) as xserver:
                self.xserver = xserver
                try:
                    self._start_program()
                    self._visit()
                finally:
                    self._end_program()
        finally:
            shutil.rmtree(self.scratch, ignore_errors=True)
        return time.monotonic() - started

    def _copy_data(self):
        files = glob.glob(os.path.join(self.data, "*.bmp")) + glob.glob(os.path.join(self.data, "*.wav"))
        if not files:
            raise RuntimeError("no images or sounds in %s" % self.data)
        for path in files:
            shutil.copy(path, self.scratch)

    def _start_program(self):
        env = self.xserver.environment()
        # Nobody listens to a virtual screen: no search for a sound device.
        env["SDL_AUDIODRIVER"] = "dummy"
        self.log = open(os.path.join(self.scratch, "console"), "wb+")
        self.process = subprocess.Popen([self.program], cwd=self.scratch, env=env, stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 30.0
        while True:
            if self.process.poll() is not None:
                raise RuntimeError("the program ended at start-up (status %d):\n%s"
                                   % (self.process.returncode, self._console()))
            windows = self.xserver.windows_named(TITLE)
            if windows:
                _, _, width, height, viewable = self.xserver.geometry(windows[0])
                if viewable and (width, height) == (self.width, self.height):
                    break
            if time.monotonic() > deadline:
                raise RuntimeError("no full-screen window after 30 s:\n" + self._console())
            time.sleep(0.1)
        # The pointer is left where it is: without a window manager the keyboard goes to the window under
        # it, which covers the screen, and during the opening any move of it turns the camera.

    def _pointer(self):
        """Where the pointer is, as (x, y) on the screen."""
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.xserver.environment(),
                             capture_output=True, text=True, timeout=15, check=True).stdout
        fields = dict(line.split("=", 1) for line in out.split())
        return int(fields["X"]), int(fields["Y"])

    def _console(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def _end_program(self):
        if self.process is not None:
            if self.process.poll() is None:
                self.process.kill()
            self.process.wait()
        if self.log is not None:
            self.log.close()

    def _shoot(self, name):
        if self.process.poll() is not None:
            raise RuntimeError("the program ended before %s:\n%s" % (name, self._console()))
        path = os.path.join(self.out, name)
        save_png(self.xserver.screenshot(), path, self.factor)
        self.saved.append(path)

    def _visit(self):
        x = self.xserver
        # Past the two-second fade-in, while the emblem on its seven-second swing is in sight.
        time.sleep(3.0)
        self._shoot("01-logo.png")

        # A click that lasts a few frames; a press and release within one frame would count as held.
        x.slow_click(*self._pointer())
        time.sleep(2.0)
        self._shoot("02-one-globe.png")

        x.press("3")
        time.sleep(2.0)
        self._shoot("03-three-globes.png")

        x.press("grave")
        time.sleep(1.0)  # the menu slides and fades in over half a second
        self._shoot("04-menu.png")

        x.press("grave")
        time.sleep(1.0)  # and out again
        x.press("question")
        time.sleep(1.0)
        self._shoot("05-help.png")
        x.press("question")
        time.sleep(0.5)

        x.press("Escape")
        time.sleep(0.8)  # of the two-second fade-out
        self._shoot("06-shatter.png")
        try:
            self.process.wait(timeout=15.0)
        except subprocess.TimeoutExpired:
            raise RuntimeError("the program still runs 15 s after the quit key")
        if self.process.returncode != 0:
            raise RuntimeError("the program ended with status %d:\n%s"
                               % (self.process.returncode, self._console()))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--program", default=os.path.join(ROOT, "build", "tovi"))
    parser.add_argument("--data", default=os.path.join(ROOT, "data"))
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "tour"))
    parser.add_argument("--size", default="1920x1080", help="screen size, WIDTHxHEIGHT")
    parser.add_argument("--scale", type=int, default=2, help="the pictures are the screen divided by this")
    args = parser.parse_args()
    try:
        width, height = (int(v) for v in args.size.lower().split("x"))
    except ValueError:
        sys.exit("tour: --size takes WIDTHxHEIGHT, such as 1920x1080")
    if not 1 <= args.scale <= 16 or width < args.scale or height < args.scale:
        sys.exit("tour: --scale takes 1 to 16, at most the screen's size")

    missing = missing_tools()
    if missing:
        sys.exit("tour: these tools are needed on PATH: " + ", ".join(missing))
    if not os.access(args.program, os.X_OK):
        sys.exit("tour: %s is not an executable program" % args.program)

    tour = Tour(args.program, args.data, os.path.abspath(args.out), width, height, args.scale)
    try:
        seconds = tour.run()
    except (RuntimeError, subprocess.SubprocessError) as error:
        sys.exit("tour: %s" % error)
    print("Tour of %d stops in %.0f s; the pictures are in %s:" % (len(tour.saved), seconds, tour.out))
    described = dict(STOPS)
    for path in tour.saved:
        print("  %-20s %s" % (os.path.basename(path), described.get(os.path.basename(path), "")))


if __name__ == "__main__":
    main()
