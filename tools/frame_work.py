#!/usr/bin/env python3
"""The program's own CPU time per frame, apart from the OpenGL driver's, for scenes of frame_bench.

    tools/frame_work.py BUILD_DIR [--size WxH] [--frames N] [SCENE...]

Runs build/bench/frame_bench once per scene under `perf record` (the cpu-clock software event, so it
works without hardware counters; needs the Debian package linux-perf) with DWARF call chains, then sorts
the samples of the main thread taken inside DisplayFrame: a sample whose code belongs to the executable
is the program's own work; one in the C or C++ runtime, libm or the kernel counts for the nearest caller
outside them; everything else (libGL*, the Mesa driver, llvmpipe's generated code) is the driver. The
rasteriser threads of llvmpipe are all driver and are left out. Prints milliseconds per frame.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

COARSE_WARMUP = 100  # frame_bench's 100 ms warm-up frames, before --warmup
WARMUP = 20
SAMPLE_HZ = 1000
PASS_THROUGH = re.compile(r"^(libc\.so|libstdc\+\+\.so|libm\.so|libgcc_s\.so|ld-linux|\[kernel)")


def profile(bench, scene, size, frames, folder):
    data = os.path.join(folder, scene + ".data")
    subprocess.run(["perf", "record", "-q", "-e", "cpu-clock", "-F", str(SAMPLE_HZ),
                    "--call-graph", "dwarf,16384", "-o", data, "--",
                    bench, "--scene", scene, "--size", size, "--frames", str(frames),
                    "--warmup", str(WARMUP), "--attributed", "0"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    script = subprocess.run(["perf", "script", "-i", data, "-F", "pid,tid,period,ip,sym,dso"],
                            check=True, capture_output=True, text=True).stdout
    os.remove(data)
    return script


def split(script, executable):
    """Nanoseconds of own and driver work on the main thread inside DisplayFrame."""
    own = driver = 0
    for sample in script.split("\n\n"):
        lines = sample.strip().splitlines()
        if not lines:
            continue
        head = lines[0].split()  # "pid/tid period"
        (pid, tid), period = head[0].split("/"), int(head[1])
        if pid != tid:
            continue
        chain = []
        for line in lines[1:]:
            match = re.match(r"\s*[0-9a-f]+\s+(.*)\s+\((.*)\)\s*$", line)
            if match:
                chain.append((match.group(1), os.path.basename(match.group(2))))
        if not any(symbol.startswith("DisplayFrame") for symbol, _ in chain):
            continue
        owner = next((dso for _, dso in chain if not PASS_THROUGH.match(dso)), executable)
        if owner == executable:
            own += period
        else:
            driver += period
    return own, driver


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build")
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--frames", type=int, default=600)
    parser.add_argument("scenes", nargs="*", default=["default"])
    options = parser.parse_intermixed_args()
    bench = os.path.join(os.path.abspath(options.build), "bench", "frame_bench")
    counted = COARSE_WARMUP + WARMUP + options.frames
    print("| Scene | Size | own ms/frame | driver ms/frame (main thread) |")
    print("|---|---|---:|---:|")
    with tempfile.TemporaryDirectory(prefix="tovi-perf-") as folder:
        for scene in options.scenes:
            own, driver = split(profile(bench, scene, options.size, options.frames, folder),
                                os.path.basename(bench))
            print("| %s | %s | %.3f | %.2f |" % (scene, options.size, own / 1e6 / counted,
                                                 driver / 1e6 / counted))
            sys.stdout.flush()


if __name__ == "__main__":
    main()
