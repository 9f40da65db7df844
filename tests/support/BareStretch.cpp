#include "tests/support/BareStretch.h"

#include <algorithm>
#include <cmath>

#include <SoundTouch.h>

namespace {

constexpr uint32_t kChunkBytes = 102400;

// Runs the loop; `sink` receives each block of converted output samples.
template <class Sink>
void RunBareLoop(const int16_t* samples, uint64_t frames, uint16_t channels, uint32_t rate,
                 float stretch_percent, Sink&& sink) {
    soundtouch::SoundTouch st;
    st.setTempoChange(0);
    st.setSampleRate(rate);
    st.setChannels(channels);
    st.setSetting(SETTING_SEQUENCE_MS, 82);
    st.setSetting(SETTING_SEEKWINDOW_MS, 28);
    st.setSetting(SETTING_OVERLAP_MS, 12);
    st.clear();
    st.setTempoChange(stretch_percent);

    const uint32_t frame_bytes = channels * 2u;
    const uint32_t chunk_frames = kChunkBytes / frame_bytes;
    std::vector<float> in(static_cast<size_t>(chunk_frames) * channels);
    std::vector<float> out(static_cast<size_t>(chunk_frames) * channels);
    std::vector<int16_t> converted(out.size());
    uint64_t done = 0;
    for (;;) {
        if (st.numSamples() == 0) {
            const uint64_t n = std::min<uint64_t>(chunk_frames, frames - done);
            if (n == 0) break;
            const size_t count = static_cast<size_t>(n) * channels;
            const int16_t* src = samples + done * channels;
            for (size_t i = 0; i < count; ++i) in[i] = src[i] * (1.0f / 32768.0f);
            st.putSamples(in.data(), static_cast<unsigned>(n));
            done += n;
        }
        const unsigned got = st.receiveSamples(out.data(), chunk_frames);
        const size_t count = static_cast<size_t>(got) * channels;
        for (size_t i = 0; i < count; ++i) {
            long v = lrintf(out[i] * 32768.0f);
            converted[i] = static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
        }
        sink(converted.data(), count);
    }
}

}  // namespace

std::vector<uint8_t> BareStretch(const std::vector<int16_t>& samples, uint16_t channels,
                                 uint32_t rate, float stretch_percent) {
    std::vector<uint8_t> bytes;
    RunBareLoop(samples.data(), samples.size() / channels, channels, rate, stretch_percent,
                [&](const int16_t* s, size_t count) {
                    const auto* b = reinterpret_cast<const uint8_t*>(s);
                    bytes.insert(bytes.end(), b, b + count * 2);
                });
    return bytes;
}

uint64_t BareStretchCount(const int16_t* samples, uint64_t frames, uint16_t channels,
                          uint32_t rate, float stretch_percent) {
    uint64_t total = 0;
    RunBareLoop(samples, frames, channels, rate, stretch_percent,
                [&](const int16_t*, size_t count) { total += count * 2; });
    return total;
}
