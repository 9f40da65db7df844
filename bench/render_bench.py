#!/usr/bin/env python3
"""Whole-process timing of tkv-render against the bare SoundTouch loop (tkv_bare_render) on
a 10-minute stereo 44.1 kHz WAV at stretch +10 and -10, runs interleaved, median of N; and
tkv-render's peak memory for a 10- and a 60-minute source.

usage: render_bench.py [BUILD_DIR] [RUNS]"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
render = os.path.join(build, "tools", "tkv-render")
bare = os.path.join(build, "bench", "tkv_bare_render")
make_wav = os.path.join(build, "bench", "tkv_make_wav")


def run(argv):
    """Runs a program; returns (wall seconds, peak RSS in KiB)."""
    start = time.monotonic()
    pid = os.posix_spawn(argv[0], argv, os.environ)
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv[0]} failed")
    return elapsed, usage.ru_maxrss


def project(folder, wav, stretch, name):
    path = os.path.join(folder, name)
    with open(path, "w", newline="") as f:
        f.write(f"\r\n{wav}\r\n{os.path.join(folder, 'out.wav')}\r\n0.000000\r\n")
        f.write(f"{stretch:f}\r\n0.000000\r\n")
    return path


with tempfile.TemporaryDirectory() as folder:
    ten = os.path.join(folder, "ten.wav")
    run([make_wav, "600", ten])
    out = os.path.join(folder, "bare.wav")
    print("stretch  tkv-render s  bare loop s  ratio  realtime x")
    for stretch in (10, -10):
        tkv = project(folder, ten, stretch, f"s{stretch}.tkv")
        ours, theirs = [], []
        for _ in range(runs):
            ours.append(run([render, tkv])[0])
            theirs.append(run([bare, ten, out, str(stretch)])[0])
        o, t = statistics.median(ours), statistics.median(theirs)
        print(f"{stretch:+4d}     {o:10.2f}  {t:10.2f}  {o / t:5.3f}  {600 / o:8.0f}")
    sixty = os.path.join(folder, "sixty.wav")
    run([make_wav, "3600", sixty])
    for name, wav in (("10 min", ten), ("60 min", sixty)):
        _, rss = run([render, project(folder, wav, -10, "m.tkv")])
        print(f"tkv-render peak memory, {name} source: {rss / 1024:.1f} MiB")
