#!/usr/bin/env python3
"""A picture of Tovi as a screensaver, taken on a virtual X server (Xvfb) and saved as a PNG.

    tools/saver_shot.py [--program build/tovi] [--out docs/screenshots/07-saver.png] [--size 1920x1080]
                        [--scale 2] [--seconds 6] [--options "--globes 3"]

The program runs as xscreensaver starts it, on the root window (`tovi --root` and the options), in an empty
scratch folder, so no saved preferences change the picture. After --seconds the screen is saved, shrunk
by --scale as tools/tour.py does, and the program is ended with SIGTERM, as the daemon ends it. The camera
wanders at random, so each run gives another picture of the same scene.
"""

import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time

from tour import ROOT, save_png
from xsession import XServer, missing_tools


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", default=os.path.join(ROOT, "build", "tovi"))
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "screenshots", "07-saver.png"))
    parser.add_argument("--size", default="1920x1080", help="screen size, WIDTHxHEIGHT")
    parser.add_argument("--scale", type=int, default=2, help="the picture is the screen divided by this")
    parser.add_argument("--seconds", type=float, default=6.0, help="how long the saver runs before the shot")
    parser.add_argument("--options", default="--globes 3", help="the saver's options, after --root")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.lower().split("x"))
    if missing_tools():
        sys.exit("saver_shot: these tools are needed on PATH: " + ", ".join(missing_tools()))

    with tempfile.TemporaryDirectory(prefix="tovi-saver-shot-") as work, XServer(width, height) as xserver:
        process = subprocess.Popen([os.path.abspath(args.program), "--root"] + args.options.split(), cwd=work,
                                   env=xserver.environment(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        time.sleep(args.seconds)
        if process.poll() is not None:
            sys.exit("saver_shot: the saver ended early (status %d)" % process.returncode)
        save_png(xserver.screenshot(), args.out, args.scale)
        process.send_signal(signal.SIGTERM)
        if process.wait(timeout=10) != 0:
            sys.exit("saver_shot: the saver ended with status %d" % process.returncode)
    print("saved %s" % args.out)


if __name__ == "__main__":
    main()
