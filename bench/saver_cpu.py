#!/usr/bin/env python3
"""CPU time per second of Tovi as a screensaver, beside the interactive program, on a private Xvfb screen.

    python3 bench/saver_cpu.py [--program build/tovi] [--seconds 5] [--sizes 1024x768,1920x1080]

For each screen size every run shows the same scene, one globe with the camera wandering by itself: the
interactive program full-screen after a click past its opening, with Mesa's default wait for the display's
refresh at each swap and without it (vblank_mode=0), and the saver on the root window (`tovi --root`, as
xscreensaver starts it). Each is measured over the same seconds, after its fade-in: the
CPU time of all its threads (Mesa's software renderer, llvmpipe, draws on several) from /proc, and the
frames it showed, counted by a small preloaded library around glXSwapBuffers; beside them the CPU time of
the X server, which on Xvfb copies every software-rendered frame into its screen. Prints a table and asserts
nothing.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
from xsession import XServer  # noqa: E402

# Counts the buffer swaps into the 8 bytes of the file SWAP_COUNT_FILE names.
SHIM = r"""
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    static int fd = -1;
    static long long count;
    if (!real) {
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
        fd = open(getenv("SWAP_COUNT_FILE"), O_WRONLY);
    }
    real(display, drawable);
    ++count;
    if (fd >= 0)
        pwrite(fd, &count, sizeof count, 0);
}
"""

SETTLE_SECONDS = 3.0  # past the two-second fade-in and the start-up

# (name, arguments, environment, click past the opening) of each run. Mesa waits for the display's refresh
# at each swap unless vblank_mode=0 says otherwise: the interactive program runs both ways.
RUNS = (("interactive", [], {}, True),
        ("interactive, vblank_mode=0", [], {"vblank_mode": "0"}, True),
        ("saver --root", ["--root"], {}, False))


def cpu_seconds(pid):
    """User and system time of the whole process so far."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def swaps(path):
    with open(path, "rb") as f:
        return int.from_bytes(f.read(8) or b"\0", "little")


def measure(program, arguments, environment, xserver, folder, library, seconds, click):
    """(CPU seconds per second of the program and of the X server, frames per second) of one run."""
    count_file = os.path.join(folder, "swaps")
    open(count_file, "wb").close()
    env = xserver.environment()
    env.update(environment, LD_PRELOAD=library, SWAP_COUNT_FILE=count_file, SDL_AUDIODRIVER="dummy")
    work = tempfile.mkdtemp(dir=folder)  # no preferences file: the defaults
    process = subprocess.Popen([program] + arguments, cwd=work, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1.0)
        if click:  # past the opening; a click that lasts a few frames
            xserver.slow_click(xserver.width // 2, xserver.height // 2)
        time.sleep(SETTLE_SECONDS)
        if process.poll() is not None:
            raise RuntimeError("%s %s ended early" % (program, " ".join(arguments)))
        server = xserver.process.pid
        cpu, server_cpu, frames, start = cpu_seconds(process.pid), cpu_seconds(server), swaps(count_file), time.monotonic()
        time.sleep(seconds)
        elapsed = time.monotonic() - start
        return ((cpu_seconds(process.pid) - cpu) / elapsed, (cpu_seconds(server) - server_cpu) / elapsed,
                (swaps(count_file) - frames) / elapsed)
    finally:
        process.send_signal(signal.SIGTERM)
        process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", default=os.path.join(ROOT, "build", "tovi"))
    parser.add_argument("--seconds", type=float, default=5.0)
    parser.add_argument("--sizes", default="1024x768,1920x1080")
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    if shutil.which("cc") is None or not os.access(program, os.X_OK):
        sys.exit("saver_cpu: needs cc on PATH and the built program (%s)" % program)

    print("CPU time per second of wall time (all threads; %d cores), %.0f s each, load %.2f at the start"
          % (os.cpu_count(), options.seconds, os.getloadavg()[0]))
    print("%-11s %-28s %10s %10s %15s %14s" % ("screen", "program", "CPU s / s", "frames / s", "CPU ms / frame",
                                               "Xvfb CPU s / s"))
    with tempfile.TemporaryDirectory(prefix="tovi-saver-cpu-") as folder:
        source, library = os.path.join(folder, "swapcount.c"), os.path.join(folder, "swapcount.so")
        with open(source, "w") as f:
            f.write(SHIM)
        subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", library, source, "-ldl"], check=True)
        for size in options.sizes.split(","):
            width, height = (int(v) for v in size.split("x"))
            with XServer(width, height) as xserver:
                for name, arguments, environment, click in RUNS:
                    cpu, server_cpu, fps = measure(program, arguments, environment, xserver, folder, library,
                                                   options.seconds, click)
                    print("%-11s %-28s %10.2f %10.1f %15.1f %14.2f"
                          % (size, name, cpu, fps, 1000 * cpu / max(fps, 1e-9), server_cpu))


if __name__ == "__main__":
    main()
