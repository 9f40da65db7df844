#!/usr/bin/env python3
"""Runs the engine benchmarks and prints the figures quoted in the README: the stream's
throughput against the bare SoundTouch loop (median of repetitions, interleaved runs),
seek latency and memory growth."""
import json
import subprocess
import sys

binary = sys.argv[1] if len(sys.argv) > 1 else "build/bench/tkv_engine_bench"
repetitions = sys.argv[2] if len(sys.argv) > 2 else "7"

run = subprocess.run(
    [binary, "--benchmark_format=json", f"--benchmark_repetitions={repetitions}",
     "--benchmark_enable_random_interleaving=true"],
    check=True, capture_output=True, text=True)
results = json.loads(run.stdout)["benchmarks"]


def median(name):
    for b in results:
        if b["name"] == name + "_median":
            return b
    for b in results:
        if b["name"] == name:
            return b
    raise KeyError(name)


print("stretch  stream MB/s  bare MB/s  ratio  stream realtime x")
for stretch in (0, 10, -10):
    stream = median(f"BM_StreamSequentialRead/{stretch}")
    bare = median(f"BM_BareSoundTouchLoop/{stretch}")
    ratio = stream["bytes_per_second"] / bare["bytes_per_second"]
    print(f"{stretch:+4d}     {stream['bytes_per_second'] / 1e6:9.1f}  {bare['bytes_per_second'] / 1e6:9.1f}"
          f"  {ratio:5.3f}  {stream['realtime_x']:8.0f}")
seek = median("BM_SeekAndRead4KiB/iterations:2000")
print(f"seek + 4 KiB read: median {seek['median_us']:.0f} us, worst {seek['worst_us']:.0f} us")
for seconds in (60, 600):
    memory = median(f"BM_StreamMemory/{seconds}/iterations:1")
    print(f"memory growth stretching {seconds} s: {memory['rss_growth_KiB']:.0f} KiB")
