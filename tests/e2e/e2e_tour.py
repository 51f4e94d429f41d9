"""The scripted tour of tools/tour.py, run into a scratch folder, and what its pictures show.

Run from this folder as `python3 -m unittest -v e2e_tour`, with TOVI_PROGRAM holding the path of the
built program. The tour runs on a smaller screen than its default, to keep the test short; the pictures
are read back from the PNG files it wrote, as a visitor's browser would read them.
"""

import itertools
import operator
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

# The X session module is shared with the tour in tools/.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from xsession import missing_tools  # noqa: E402

PROGRAM = os.environ.get("TOVI_PROGRAM", "")
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
TOUR = os.path.join(ROOT, "tools", "tour.py")

SCREEN_WIDTH, SCREEN_HEIGHT, SCALE = 1024, 576, 2
PICTURES = ("01-logo.png", "02-one-globe.png", "03-three-globes.png", "04-menu.png", "05-help.png",
            "06-shatter.png")


class Picture:
    """An 8-bit RGB PNG, as the tour writes it (filters None, Sub and Up)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("%s is not a PNG file" % path)
        at, idat = 8, b""
        while at < len(data):
            length, kind = struct.unpack(">I4s", data[at:at + 8])
            body = data[at + 8:at + 8 + length]
            if struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] != zlib.crc32(kind + body):
                raise ValueError("%s: bad checksum in its %s chunk" % (path, kind.decode()))
            if kind == b"IHDR":
                self.width, self.height, depth, colour = struct.unpack(">IIBB", body[:10])
                if (depth, colour) != (8, 2):
                    raise ValueError("%s: not 8-bit RGB" % path)
            elif kind == b"IDAT":
                idat += body
            at += 12 + length
        raw = zlib.decompress(idat)
        stride = 3 * self.width
        high_bits = int.from_bytes(b"\x80" * stride, "big")
        low_bits = int.from_bytes(b"\x7f" * stride, "big")
        self.rows = []
        above = bytes(stride)
        for y in range(self.height):
            kind, row = raw[y * (stride + 1)], raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)]
            if kind == 1:  # each channel a running sum from the left
                out = bytearray(stride)
                for channel in range(3):
                    sums = itertools.accumulate(row[channel::3])
                    out[channel::3] = bytes(map(operator.and_, sums, itertools.repeat(255)))
                row = bytes(out)
            elif kind == 2:  # plus the row above, byte by byte, without carries between bytes
                x, b = int.from_bytes(row, "big"), int.from_bytes(above, "big")
                row = (((x & low_bits) + (b & low_bits)) ^ ((x ^ b) & high_bits)).to_bytes(stride, "big")
            elif kind != 0:
                raise ValueError("%s: row %d has filter %d" % (path, y, kind))
            self.rows.append(row)
            above = row

    def pixels(self, left=0.0, top=0.0, right=1.0, bottom=1.0, step=2):
        """(r, g, b) of every step-th pixel of a part given in fractions of the width and height."""
        for y in range(int(top * self.height), int(bottom * self.height), step):
            row = self.rows[y]
            for x in range(int(left * self.width), int(right * self.width), step):
                yield row[3 * x], row[3 * x + 1], row[3 * x + 2]


def lit_share(pixels):
    pixels = list(pixels)
    return sum(1 for p in pixels if sum(p) > 120) / len(pixels)


def glowing(pixels):
    """Pixels bright enough for the plasma's arcs and their tips, not the faint glass or the stars."""
    return sum(1 for p in pixels if sum(p) > 450)


def tinted(pixels):
    """Lit pixels with a hue of their own (one channel 15 % above another): white, grey or black are not."""
    return sum(1 for p in pixels if max(p) > 100 and max(p) - min(p) > 0.15 * max(p))


def white(pixels):
    """Bright neutral pixels: the overlay's white text and grey widgets."""
    return sum(1 for p in pixels if sum(p) > 360 and max(p) - min(p) < 30)


class TourTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        if not PROGRAM or not os.access(PROGRAM, os.X_OK):
            raise RuntimeError("TOVI_PROGRAM=%r must be the built program" % PROGRAM)
        missing = missing_tools()
        if missing:
            raise RuntimeError("these tools are needed on PATH: " + ", ".join(missing))
        cls.out = tempfile.TemporaryDirectory(prefix="tovi-tour-")
        cls.result = subprocess.run(
            [sys.executable, TOUR, "--program", PROGRAM, "--out", cls.out.name,
             "--size", "%dx%d" % (SCREEN_WIDTH, SCREEN_HEIGHT), "--scale", str(SCALE)],
            stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=150)
        cls.pictures = {}
        for name in PICTURES:
            path = os.path.join(cls.out.name, name)
            if os.path.exists(path):
                cls.pictures[name] = Picture(path)

    @classmethod
    def tearDownClass(cls):
        cls.out.cleanup()

    def test_tour_saves_every_stop_and_says_where(self):
        self.assertEqual(self.result.returncode, 0, "tour failed:\n" + self.result.stdout + self.result.stderr)
        self.assertIn(self.out.name, self.result.stdout)
        self.assertEqual(sorted(os.listdir(self.out.name)), list(PICTURES))
        for name, picture in self.pictures.items():
            self.assertEqual((picture.width, picture.height),
                             (SCREEN_WIDTH // SCALE, SCREEN_HEIGHT // SCALE), name)

    def test_pictures_show_the_scenes(self):
        self.assertEqual(set(self.pictures), set(PICTURES), self.result.stderr)
        logo = self.pictures["01-logo.png"]
        self.assertGreater(lit_share(logo.pixels(top=0.6)), 0.5, "the logo's floor should light the bottom")
        self.assertLess(lit_share(logo.pixels(bottom=0.3)), 0.1, "the logo's sky should be dark")

        # The plasma glows in a pastel hue that wanders for each globe, at times close to white: over the two
        # pictures (three globes of their own) a black, lightless or untextured white frame has no tint. The
        # band at the top, where the title slides, is left out.
        globes = [self.pictures[name] for name in ("02-one-globe.png", "03-three-globes.png")]
        for name, picture in zip(("one globe", "three globes"), globes):
            self.assertGreater(glowing(picture.pixels(top=0.15)), 30, "no glowing plasma with " + name)
        self.assertGreater(sum(tinted(picture.pixels(top=0.15)) for picture in globes), 300,
                           "no tinted plasma in the globe pictures")

        # The menu lies at the left, the help card at the upper left, in white over the scene. A globe may
        # drift there too: the quieter of the two globe pictures is the scene alone.
        for name, part, least in (("04-menu.png", (0.0, 0.25, 0.15, 0.55), 300),
                                  ("05-help.png", (0.0, 0.05, 0.3, 0.65), 1000)):
            with self.subTest(name):
                scene = min(white(self.pictures[p].pixels(*part, step=1))
                            for p in ("02-one-globe.png", "03-three-globes.png"))
                shown = white(self.pictures[name].pixels(*part, step=1))
                self.assertGreater(shown, scene + least, "%s: %d white pixels at the left, the scene %d"
                                   % (name, shown, scene))


if __name__ == "__main__":
    unittest.main()
