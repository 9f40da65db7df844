// The WAV's side of a fit: reads the file through the engine's own reader (16-bit PCM, 1 to 8
// channels, as the stream accepts), from its first sample to its last, into SoundFeatures at
// the fitting rate. Reports progress by the share of the samples read.
// Order of use: construct, Read once. Runs on the calling thread.
#pragma once

#include <string>

#include "engine/fit/SoundFeatures.h"

class FitProgress;

class WaveFeatureReader {
public:
    // False when the file cannot be used (Error() says why, for the user) or when cancelled.
    bool Read(const std::string& path, FitProgress& progress, SoundFeatures* features);
    const std::string& Error() const { return m_error; }

private:
    std::string m_error;
};
