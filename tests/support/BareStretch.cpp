#include "tests/support/BareStretch.h"

#include <algorithm>
#include <cmath>

#include <SoundTouch.h>

namespace {

constexpr uint32_t kChunkBytes = 102400;

BareSource MemorySource(const int16_t* samples, uint64_t frames, uint16_t channels) {
    return [=, done = uint64_t{0}](int16_t* dst, size_t max_frames) mutable {
        const uint64_t n = std::min<uint64_t>(max_frames, frames - done);
        std::copy_n(samples + done * channels, n * channels, dst);
        done += n;
        return static_cast<size_t>(n);
    };
}

}  // namespace

void BareStretchLoop(const BareSource& source, uint16_t channels, uint32_t rate,
                     float stretch_percent, const BareSink& sink) {
    soundtouch::SoundTouch st;
    st.setTempoChange(0);
    st.setSampleRate(rate);
    st.setChannels(channels);
    st.setSetting(SETTING_SEQUENCE_MS, 82);
    st.setSetting(SETTING_SEEKWINDOW_MS, 28);
    st.setSetting(SETTING_OVERLAP_MS, 12);
    st.clear();
    st.setTempoChange(stretch_percent);

    const uint32_t chunk_frames = kChunkBytes / (channels * 2u);
    std::vector<int16_t> raw(static_cast<size_t>(chunk_frames) * channels);
    std::vector<float> in(raw.size());
    std::vector<float> out(raw.size());
    std::vector<int16_t> converted(raw.size());
    for (;;) {
        if (st.numSamples() == 0) {
            const size_t n = source(raw.data(), chunk_frames);
            if (n == 0) break;
            const size_t count = n * channels;
            for (size_t i = 0; i < count; ++i)
                in[i] = raw[i] * (1.0f / 32768.0f);
            st.putSamples(in.data(), static_cast<unsigned>(n));
        }
        const unsigned got = st.receiveSamples(out.data(), chunk_frames);
        const size_t count = static_cast<size_t>(got) * channels;
        for (size_t i = 0; i < count; ++i) {
            const long v = lrintf(out[i] * 32768.0f);
            converted[i] = static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
        }
        sink(converted.data(), count);
    }
}

std::vector<uint8_t> BareStretch(const std::vector<int16_t>& samples, uint16_t channels,
                                 uint32_t rate, float stretch_percent) {
    std::vector<uint8_t> bytes;
    BareStretchLoop(MemorySource(samples.data(), samples.size() / channels, channels), channels,
                    rate, stretch_percent, [&](const int16_t* s, size_t count) {
                        const auto* b = reinterpret_cast<const uint8_t*>(s);
                        bytes.insert(bytes.end(), b, b + count * 2);
                    });
    return bytes;
}

uint64_t BareStretchCount(const int16_t* samples, uint64_t frames, uint16_t channels, uint32_t rate,
                          float stretch_percent) {
    uint64_t total = 0;
    BareStretchLoop(MemorySource(samples, frames, channels), channels, rate, stretch_percent,
                    [&](const int16_t*, size_t count) { total += count * 2; });
    return total;
}
