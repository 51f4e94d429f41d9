#!/usr/bin/env python3
"""A short scripted tour of Tovi on a virtual X server, saved as PNG screenshots.

For a machine without a display: tools/run.sh calls it when no X server answers. It starts its own Xvfb,
runs the program there in a scratch copy of data/ (so no preferences file of yours is read or written),
drives it with real key presses and clicks, and writes one picture per stop (STOPS below).

  tools/tour.py [--program build/tovi] [--data data] [--out build/tour] [--size 1920x1080] [--scale 2]

The screen is --size pixels; the pictures are that divided by --scale (each pixel the mean of a square of
screen pixels), which keeps text readable and files small. Python's standard library only.
"""

import argparse
import glob
import os
import shutil
import struct
import sys
import tempfile
import time
import zlib

from xsession import Program, XServer, missing_tools

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Each stop: its picture, what it shows, and the keys that lead there from the stop before (None: a click).
STOPS = (
    ("01-logo.png", "the opening logo scene", ()),
    ("02-one-globe.png", "the globes after the left click", None),
    ("03-three-globes.png", "three globes (key 3)", ("3",)),
    ("04-menu.png", "the popup menu (backquote key)", ("grave",)),
    ("05-help.png", "the help card (key ?)", ("grave", "question")),
    ("06-shatter.png", "the quit key: the picture shatters and fades out", ("question", "Escape")),
)


def shrunk_rows(shot, factor):
    """The screenshot as rows of RGB bytes, each pixel the rounded mean of a factor x factor square.

    The sums run on whole rows at once: every byte gets a 16-bit lane of one big integer, which holds the
    sum of up to 256 bytes without spilling into the next lane.
    """
    width = shot.width // factor
    at = (2, 1, 0) if shot.order == "little" else (1, 2, 3)  # where R, G and B lie in a pixel's 4 bytes
    rows = []
    for top in range(0, shot.height - factor + 1, factor):
        total = 0
        for y in range(top, top + factor):
            words = shot.pixels[y * shot.stride:y * shot.stride + 4 * width * factor]
            for dx in range(factor):
                lanes = bytearray(6 * width)
                for channel in range(3):
                    lanes[2 * channel::6] = words[4 * dx + at[channel]::4 * factor]
                total += int.from_bytes(lanes, "little")
        sums = memoryview(total.to_bytes(6 * width, "little")).cast("H")
        rows.append(bytes((value + factor * factor // 2) // (factor * factor) for value in sums))
    return rows


def png(rows):
    """An 8-bit RGB PNG; every row filtered by its difference from the row above (filter 2)."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    above, data = bytes(len(rows[0])), bytearray()
    for row in rows:
        data += b"\x02" + bytes((a - b) & 0xFF for a, b in zip(row, above))
        above = row
    header = struct.pack(">IIBBBBB", len(rows[0]) // 3, len(rows), 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(data), 9))
            + chunk(b"IEND", b""))


def tour(program, data, out, width, height, factor):
    """Runs the tour and returns the paths of the pictures it saved."""
    os.makedirs(out, exist_ok=True)
    saved = []
    with tempfile.TemporaryDirectory(prefix="tovi-tour-") as folder, XServer(width, height) as xserver:
        for path in glob.glob(os.path.join(data, "*.bmp")) + glob.glob(os.path.join(data, "*.wav")):
            shutil.copy(path, folder)
        # Nobody listens to a virtual screen: no search for a sound device.
        run = Program(xserver, program, folder, dict(os.environ, SDL_AUDIODRIVER="dummy"))
        try:
            run.wait_for_console("Ready...")
            run.wait_for_window("Tovi")
            # The pointer stays where it is: the window covers the screen, so it has the keyboard, and during
            # the opening any move of the pointer turns the camera.
            time.sleep(3.0)  # past the two-second fade-in, while the emblem on its swing is in sight
            for name, _, keys in STOPS:
                if keys is None:
                    xserver.click(width // 2, height // 2)
                elif keys:
                    xserver.keys(*keys)
                time.sleep(0.8 if name == STOPS[-1][0] else 1.5)  # the menu slides in for half a second
                if run.process.poll() is not None:
                    raise RuntimeError("the program ended before %s:\n%s" % (name, run.console(errors=True)))
                with open(os.path.join(out, name), "wb") as f:
                    f.write(png(shrunk_rows(xserver.screenshot(), factor)))
                saved.append(os.path.join(out, name))
            status = run.wait_exit()
            if status != 0:
                raise RuntimeError("the program ended with status %s after the quit key" % status)
        finally:
            run.close()
    return saved


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
    if missing_tools():
        sys.exit("tour: these tools are needed on PATH: " + ", ".join(missing_tools()))
    if not os.access(args.program, os.X_OK):
        sys.exit("tour: %s is not an executable program" % args.program)

    started = time.monotonic()
    try:
        saved = tour(os.path.abspath(args.program), args.data, os.path.abspath(args.out), width, height,
                     args.scale)
    except (RuntimeError, OSError) as error:
        sys.exit("tour: %s" % error)
    print("Tour of %d stops in %.0f s; the pictures are in %s:"
          % (len(saved), time.monotonic() - started, os.path.abspath(args.out)))
    for (name, what, _) in STOPS:
        print("  %-20s %s" % (name, what))


if __name__ == "__main__":
    main()
