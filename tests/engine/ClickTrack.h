// A sound of clicks whose places are known, and a way to find them again after stretching:
// for checking that a render puts each source instant where the time map says.
// Mono 16-bit; positions in frames.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/WavFileBuilder.h"

namespace click_track {

// Silence with a short, sharp 3 kHz burst at every `spacing` seconds from `first`.
inline std::vector<int16_t> Make(uint32_t rate, double seconds, double first, double spacing,
                                 std::vector<double>* click_frames) {
    std::vector<int16_t> samples(static_cast<size_t>(rate * seconds));
    const size_t burst = rate / 50;  // 20 ms: longer than a stretcher may drop
    for (double t = first; (t + 0.1) * rate < samples.size(); t += spacing) {
        const size_t at = static_cast<size_t>(std::lround(t * rate));
        click_frames->push_back(static_cast<double>(at));
        for (size_t i = 0; i < burst; ++i) {
            const double decay = 1.0 - static_cast<double>(i) / burst;
            samples[at + i] = static_cast<int16_t>(
                std::lround(24000.0 * decay * std::sin(2.0 * M_PI * 3000.0 * i / rate)));
        }
    }
    return samples;
}

// The first channel of a 16-bit PCM WAV file (any header layout); empty when unreadable.
inline std::vector<int16_t> ReadFirstChannel(const std::string& path, uint16_t channels) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::vector<int16_t> samples;
    for (size_t pos = 12; pos + 8 <= bytes.size();) {
        uint32_t size;
        std::memcpy(&size, &bytes[pos + 4], 4);
        if (std::memcmp(&bytes[pos], "data", 4) == 0) {
            const size_t end = std::min<size_t>(bytes.size(), pos + 8 + size);
            for (size_t i = pos + 8; i + 2 * channels <= end; i += 2 * channels) {
                int16_t s;
                std::memcpy(&s, &bytes[i], 2);
                samples.push_back(s);
            }
            break;
        }
        pos += 8 + size + (size & 1);
    }
    return samples;
}

// The first frame near `expected` (within `window` frames either side) louder than a click's
// onset; -1 when there is none.
inline double FindOnset(const std::vector<int16_t>& samples, double expected, double window) {
    const double from = std::max(0.0, expected - window);
    for (size_t i = static_cast<size_t>(from);
         i < samples.size() && static_cast<double>(i) <= expected + window; ++i) {
        if (std::abs(samples[i]) > 4000) return static_cast<double>(i);
    }
    return -1.0;
}

}  // namespace click_track
