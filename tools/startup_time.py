#!/usr/bin/env python3
"""How long the real program takes from exec to its first buffer swap, on a private Xvfb screen.

    tools/startup_time.py build/tovi [--runs N] [--size WxH]

A small preloaded library (compiled here with cc) wraps glXSwapBuffers and reports, at the first swap,
the milliseconds since the exec and since the libraries were loaded, and the CPU time of all the
process's threads (which a busy machine inflates less than the wall time). The program runs in data/ with its
images and sounds, and is ended with SIGTERM once it has drawn. Prints each run and the median.
"""

import argparse
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
from xsession import XServer  # noqa: E402

SHIM = r"""
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double loaded;

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

__attribute__((constructor)) static void on_load(void) { loaded = now_ms(); }

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    static int swapped;
    if (!real)
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    if (!swapped++) {
        const double exec = atof(getenv("STARTUP_EXEC_MS"));
        struct timespec cpu;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        fprintf(stderr, "first swap: %.1f ms after exec, %.1f ms after loading, %.1f ms of CPU time\n",
                now_ms() - exec, now_ms() - loaded, cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6);
    }
}
"""


def build_shim(folder):
    source = os.path.join(folder, "swapshim.c")
    library = os.path.join(folder, "swapshim.so")
    with open(source, "w") as f:
        f.write(SHIM)
    subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", library, source, "-ldl"], check=True)
    return library


def one_run(program, xserver, library):
    env = xserver.environment()
    env["LD_PRELOAD"] = library
    env["STARTUP_EXEC_MS"] = "%.3f" % (time.clock_gettime(time.CLOCK_MONOTONIC) * 1e3)
    process = subprocess.Popen([program], cwd=os.path.join(ROOT, "data"), env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    try:
        for line in process.stderr:
            if line.startswith("first swap:"):
                words = line.split()
                return line.strip(), float(words[2]), float(words[-5])
        raise RuntimeError("the program ended before its first swap")
    finally:
        process.send_signal(signal.SIGTERM)
        process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--size", default="1920x1080")
    options = parser.parse_args()
    width, height = (int(v) for v in options.size.split("x"))
    program = os.path.abspath(options.program)
    with tempfile.TemporaryDirectory(prefix="tovi-startup-") as folder, XServer(width, height) as xserver:
        library = build_shim(folder)
        times, cpu_times = [], []
        for _ in range(options.runs):
            line, ms, cpu_ms = one_run(program, xserver, library)
            print(line)
            times.append(ms)
            cpu_times.append(cpu_ms)
    print("median: %.1f ms from exec to the first swap, %.1f ms of CPU time (%d runs, %s, load %.2f)"
          % (statistics.median(times), statistics.median(cpu_times), len(times), options.size, os.getloadavg()[0]))


if __name__ == "__main__":
    main()
