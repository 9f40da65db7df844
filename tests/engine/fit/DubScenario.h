// A movie's sound and a dub WAV made for a fit test, with the truth between them.
// The master is a background (music and effects); the movie's sound is the master, less a
// lost scene if asked, with one speech-like foreground; the dub is the master with another
// foreground, written to a WAV and put through our own export with known events and offset,
// so the dub at its time u holds the master at TimeMap(offset, events).WavPosition(u).
// The truth for a fit is therefore: at movie time t the dub must be at the export map's
// inverse of the master position that the movie shows at t.
// Order of use: set the fields, Make (writes into `dir`), then read the sounds and the truth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fit/FitResult.h"
#include "engine/fit/TimeMap.h"

struct DubScenario {
    double seconds = 60.0;  // the movie's length
    double offset = 0.0;    // the export's offset and events
    std::vector<MapEvent> events;
    double lost_at = -1.0;  // a scene of the master the movie lost: where, and how long
    double lost_seconds = 0.0;
    uint32_t rate = 16000;
    uint64_t seed = 1;
    bool unrelated = false;   // the dub's background is another one altogether
    float foreground = 1.0f;  // the dialogues' gain: 1 is 6 dB under the background

    // Makes the movie's sound and the dub (through a WAV written into `dir` and exported).
    bool Make(const std::string& dir, std::string* error);
    // Both at `rate`, mono; the dub is also the WAV file at dub_path.
    std::vector<float> movie;
    std::vector<float> dub;
    std::string dub_path;

    // The dub position the movie's time t must meet.
    double TrueWavPosition(double movie_time) const;
    // The share of movie times (every 10 ms) at which the fit is within `tolerance` seconds.
    double ShareWithin(const FitResult& result, double tolerance) const;
};

// Samples at `rate` brought to `to_rate` by the fit's own resampler.
std::vector<float> Resampled(const std::vector<float>& samples, uint32_t rate, uint32_t to_rate);
