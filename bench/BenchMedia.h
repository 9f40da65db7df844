// Source files for the benchmarks, made once per run in a temporary folder and kept for the
// whole process: the same bytes for the stream and for the bare loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BenchSource {
    std::string path;
    std::vector<int16_t> samples;  // interleaved stereo, 44.1 kHz
};

// A stereo 44.1 kHz test signal of `seconds`, written once and cached by length.
const BenchSource& BenchSourceOfLength(uint32_t seconds);

// The resident set size of this process now, in KiB.
long CurrentRssKiB();
