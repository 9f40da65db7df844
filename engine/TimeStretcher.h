// The SoundTouch processor behind a stretched stream, on interleaved 16-bit frames.
// Samples are converted to the library's floats and back the same way everywhere, so that
// output is reproducible to the bit. Library exceptions never leave this class: a refused
// configuration is reported by Configure, a failure while processing as no output.
// One thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

class TimeStretcher {
public:
    // The library takes up to 16 channels; the playback chain plays up to 8.
    static constexpr uint32_t kMaxChannels = 8;

    TimeStretcher();
    ~TimeStretcher();
    TimeStretcher(const TimeStretcher&) = delete;
    TimeStretcher& operator=(const TimeStretcher&) = delete;

    // Sets rate, channel count and the stretch parameters; false when the library refuses.
    bool Configure(uint32_t sample_rate, uint32_t channels);
    void SetStretch(float percent);  // tempo 1 + percent / 100, percent clamped
    void Clear();                    // drops every sample held, stretch back to 0

    uint32_t NumSamples() const;
    void PutSamples(const uint8_t* frames, uint32_t frame_count);  // 16-bit little-endian
    uint32_t ReceiveSamples(uint8_t* frames, uint32_t max_frames);

    static float SampleToFloat(int16_t s) { return s * (1.0f / 32768.0f); }
    static int16_t FloatToSample(float f);

private:
    std::unique_ptr<soundtouch::SoundTouch> m_processor;
    uint32_t m_channels = 0;
    std::vector<float> m_scratch;
};
