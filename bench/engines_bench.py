#!/usr/bin/env python3
"""The two render engines of tkv-render, SoundTouch (the default) and --engine rubberband:
wall time (in times real time) and peak memory on a 10-minute stereo 44.1 kHz source with an
offset and three events, runs interleaved, median of N; then where each engine, the rubberband
command-line tool with tkv-render's --timemap and ffmpeg with its --ffmpeg-filter script put
the clicks of a 9-second click track (an offset and three events) against the map: the worst
distance of each over N runs, and of the tools against tkv-render.

usage: engines_bench.py [BUILD_DIR] [RUNS]"""
import array
import math
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
render = os.path.join(build, "tools", "tkv-render")
make_wav = os.path.join(build, "bench", "tkv_make_wav")
EVENTS = ((2.0, 20.0), (4.0, -15.0), (6.0, 8.0))  # movie seconds, stretch percent


def run(argv):
    """Runs a program quietly; returns (wall seconds, peak RSS in KiB)."""
    start = time.monotonic()
    with open(os.devnull, "wb") as null:
        child = subprocess.Popen(argv, stdout=null, stderr=null)
        _, status, usage = os.wait4(child.pid, 0)
    elapsed = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(argv)} failed")
    return elapsed, usage.ru_maxrss


def project(path, wav, out, offset, events):
    with open(path, "w", newline="") as f:
        f.write(f"\r\n{wav}\r\n{out}\r\n{offset:f}\r\n")
        for at, stretch in events:
            f.write(f"{stretch:f}\r\n{at:f}\r\n")
    return path


def click_track(path, rate, channels):
    """9 s of silence with a 20 ms 3 kHz burst every 0.5 s from 0.25 s; the click frames."""
    frames = rate * 9
    samples = array.array("h", bytes(2 * frames * channels))
    clicks, burst, t = [], rate // 50, 0.25
    while (t + 0.1) * rate < frames:
        at = round(t * rate)
        clicks.append(at)
        for i in range(burst):
            v = round(24000 * (1 - i / burst) * math.sin(2 * math.pi * 3000 * i / rate))
            for c in range(channels):
                samples[(at + i) * channels + c] = v
        t += 0.5
    data = samples.tobytes()
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt ")
        f.write(struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * 2 * channels,
                            2 * channels, 16))
        f.write(b"data" + struct.pack("<I", len(data)) + data)
    return clicks


def first_channel(path):
    """The first channel of a 16-bit PCM WAV, whatever its header holds."""
    data = open(path, "rb").read()
    pos, channels = 12, 1
    while pos + 8 <= len(data):
        kind, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if kind == b"fmt ":
            channels = struct.unpack("<H", data[pos + 10:pos + 12])[0]
        if kind == b"data":
            samples = array.array("h")
            body = data[pos + 8:pos + 8 + size]
            samples.frombytes(body[:len(body) // 2 * 2])
            return samples[::channels]
        pos += 8 + size + (size & 1)
    return array.array("h")


def onset(samples, expected, window):
    for i in range(max(0, int(expected - window)), min(len(samples), int(expected + window))):
        if abs(samples[i]) > 4000:
            return i
    return None


def click_errors(folder, rate, channels, offset):
    """Worst distances in ms: each output against the map, and the tools against tkv-render."""
    wav = os.path.join(folder, "clicks.wav")
    clicks = click_track(wav, rate, channels)
    tkv = project(os.path.join(folder, "clicks.tkv"), wav, "st.wav", offset, EVENTS)
    mapfile, script = os.path.join(folder, "map.txt"), os.path.join(folder, "filter.txt")
    out = {name: os.path.join(folder, name + ".wav") for name in ("st", "rbe", "rb", "ff")}
    run([render, tkv])
    run([render, tkv, "--engine", "rubberband", "--output", out["rbe"]])
    run([render, tkv, "--timemap", mapfile, "--ffmpeg-filter", script])
    points = [(0.0, 0.0)] + [tuple(map(float, line.split())) for line in open(mapfile)]
    run(["rubberband", "-3", "--timemap", mapfile, "-D", f"{points[-1][1] / rate:.6f}", wav,
         out["rb"]])
    run(["ffmpeg", "-nostdin", "-y", "-i", wav, "-filter_complex_script", script, "-map",
         "[out]", out["ff"]])

    def mapped(source):  # the time map's target, without the offset
        i = 1
        while i + 1 < len(points) and points[i][0] < source:
            i += 1
        (s0, t0), (s1, t1) = points[i - 1], points[i]
        return t0 + (source - s0) * (t1 - t0) / (s1 - s0)

    silence = round(offset * rate) if offset > 0 else 0
    skipped = round(-offset * rate) if offset < 0 else 0
    shifts = {"st": silence - skipped, "rbe": silence - skipped, "rb": 0, "ff": silence - skipped}
    found = {}
    for name, path in out.items():
        samples = first_channel(path)
        found[name] = [onset(samples, mapped(c) + shifts[name], rate * 0.06) for c in clicks]
    worst = dict.fromkeys(("st", "rbe", "rb", "ff", "rb-st", "ff-st"), 0.0)
    lost = dict.fromkeys(out, 0)
    for k, click in enumerate(clicks):
        if click < skipped or found["st"][k] is None and k == len(clicks) - 1:
            continue  # before the WAV's part that plays; SoundTouch may keep the last click
        for name in out:
            if found[name][k] is None:
                lost[name] += 1
                continue
            error = abs(found[name][k] - mapped(click) - shifts[name]) * 1000 / rate
            worst[name] = max(worst[name], error)
        for tool in ("rb", "ff"):
            if found[tool][k] is not None and found["st"][k] is not None:
                error = abs(found[tool][k] + shifts["st"] - shifts[tool] - found["st"][k])
                worst[tool + "-st"] = max(worst[tool + "-st"], error * 1000 / rate)
    return worst, lost


with tempfile.TemporaryDirectory() as folder:
    ten = os.path.join(folder, "ten.wav")
    run([make_wav, "600", ten])
    events = ((60.0, 10.0), (300.0, -10.0), (450.0, 5.0))
    tkv = project(os.path.join(folder, "ten.tkv"), ten, os.path.join(folder, "out.wav"), 0.3,
                  events)
    times = {"soundtouch": [], "rubberband": []}
    memory = {"soundtouch": 0, "rubberband": 0}
    for _ in range(runs):
        for engine in times:
            wall, rss = run([render, tkv, "--engine", engine])
            times[engine].append(wall)
            memory[engine] = max(memory[engine], rss)
    print("10-minute stereo source, offset +0.3 s, three events; median of", runs)
    print("engine        wall s  realtime x  peak MiB  (all runs, s)")
    for engine, walls in times.items():
        median = statistics.median(walls)
        spread = " ".join(f"{w:.2f}" for w in walls)
        print(f"{engine:12s} {median:7.2f}  {600 / median:10.1f}  {memory[engine] / 1024:8.1f}"
              f"  ({spread})")

    if not shutil.which("rubberband") or not shutil.which("ffmpeg"):
        sys.exit("rubberband (rubberband-cli) or ffmpeg is not installed: no click measures")
    print("\nclicks against the map, worst ms over", runs, "runs (lost clicks in brackets)")
    print("case                     soundtouch  rubberband  rb CLI  ffmpeg  rb CLI-st  ffmpeg-st")
    for rate, channels, offset in ((44100, 1, 0.3), (48000, 2, -0.6), (22050, 1, 1.0)):
        worst, lost = dict.fromkeys(("st", "rbe", "rb", "ff", "rb-st", "ff-st"), 0.0), {}
        for _ in range(runs):
            w, lost = click_errors(folder, rate, channels, offset)
            worst = {k: max(worst[k], w[k]) for k in worst}
        cells = [f"{worst[k]:6.1f}" + (f" [{lost[k]}]" if lost.get(k) else "    ")
                 for k in ("st", "rbe", "rb", "ff")]
        name = f"{rate} Hz x{channels}, offset {offset:+.1f}"
        print(f"{name:24s} " + "  ".join(cells) + f"  {worst['rb-st']:9.1f}  {worst['ff-st']:9.1f}")
