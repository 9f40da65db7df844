// A sound on its way to SoundFeatures: interleaved 16-bit PCM of any rate and channel count,
// mixed to mono (the channels' mean), resampled to the fitting rate and taken into features,
// block by block. Keeps the features only (6.4 KiB a second), whatever the sound's length.
// Order of use: construct with the sound's format, Push and PushSilence in the sound's order,
// Finish once. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/fit/FeatureExtractor.h"
#include "engine/fit/MonoResampler.h"
#include "engine/fit/SoundFeatures.h"

class PcmFeatureBuilder {
public:
    PcmFeatureBuilder(uint32_t sample_rate, uint32_t channels, uint32_t fit_rate);

    // `bytes` of little-endian samples; a partial frame at the end waits for the next call.
    void Push(const uint8_t* bytes, size_t count);
    void PushSilence(uint64_t frames);
    SoundFeatures Finish();

    uint64_t FramesTaken() const { return m_frames; }
    uint32_t SampleRate() const { return m_rate; }

private:
    // The mean of each frame's channels, as floats from -1 to 1.
    void Mix(const uint8_t* frames, size_t count, float* out) const;
    void Feed();

    const uint32_t m_rate;
    const uint32_t m_channels;
    MonoResampler m_resampler;
    FeatureExtractor m_extractor;
    std::vector<uint8_t> m_partial;  // bytes of a frame cut by a block's end
    std::vector<float> m_mono;
    std::vector<float> m_resampled;
    uint64_t m_frames = 0;
};
