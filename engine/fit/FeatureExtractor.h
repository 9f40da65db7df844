// Turns one mono sound at the fitting rate into SoundFeatures, block by block: 100 frames a
// second, each a Hann-windowed spectrum of about 32 ms centred on its instant (frame k on
// sample k * rate / 100), summed into kBands bands spaced evenly on a logarithmic scale of
// frequency between 80 Hz and 4 kHz (or 0.45 times the rate, when lower).
// Memory: kBands floats per frame (6.4 KiB a second), the samples are not kept.
// Order of use: construct with the rate, Push blocks, Finish once. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/fit/Fft.h"
#include "engine/fit/SoundFeatures.h"

class FeatureExtractor {
public:
    static constexpr int kBands = 16;
    static constexpr double kFrameRate = 100.0;

    explicit FeatureExtractor(uint32_t sample_rate);

    void Push(const float* samples, size_t count);
    SoundFeatures Finish();
    // Frames made so far.
    size_t Frames() const { return m_energies.size() / kBands; }

private:
    int64_t FrameCentre(int64_t frame) const;
    void MakeFrames(bool at_end);

    const uint32_t m_rate;
    Fft m_fft;
    std::vector<float> m_window;
    std::vector<int> m_band_start;  // kBands + 1 bin edges
    std::vector<float> m_samples;   // m_samples[0] is sample m_first
    int64_t m_first = 0;
    int64_t m_count = 0;
    int64_t m_next_frame = 0;
    std::vector<float> m_frame;
    std::vector<Fft::Complex> m_bins;
    std::vector<float> m_energies;
};
