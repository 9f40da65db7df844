#include "engine/fit/PcmFeatureBuilder.h"

#include <algorithm>

PcmFeatureBuilder::PcmFeatureBuilder(uint32_t sample_rate, uint32_t channels, uint32_t fit_rate)
    : m_rate(std::max<uint32_t>(sample_rate, 1)),
      m_channels(std::max<uint32_t>(channels, 1)),
      m_resampler(m_rate, fit_rate),
      m_extractor(fit_rate) {}

namespace {

int16_t Sample(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

}  // namespace

void PcmFeatureBuilder::Mix(const uint8_t* frames, size_t count, float* out) const {
    const float scale = 1.0f / (32768.0f * static_cast<float>(m_channels));
    if (m_channels == 1) {
        for (size_t i = 0; i < count; ++i)
            out[i] = Sample(frames + 2 * i) * scale;
    } else if (m_channels == 2) {
        for (size_t i = 0; i < count; ++i)
            out[i] = (Sample(frames + 4 * i) + Sample(frames + 4 * i + 2)) * scale;
    } else {
        for (size_t i = 0; i < count; ++i) {
            int sum = 0;
            for (uint32_t c = 0; c < m_channels; ++c)
                sum += Sample(frames + 2 * (i * m_channels + c));
            out[i] = static_cast<float>(sum) * scale;
        }
    }
}

void PcmFeatureBuilder::Push(const uint8_t* bytes, size_t count) {
    const size_t frame_bytes = 2 * static_cast<size_t>(m_channels);
    m_mono.clear();
    if (!m_partial.empty()) {
        const size_t take = std::min(frame_bytes - m_partial.size(), count);
        m_partial.insert(m_partial.end(), bytes, bytes + take);
        bytes += take;
        count -= take;
        if (m_partial.size() < frame_bytes) return;
        m_mono.resize(1);
        Mix(m_partial.data(), 1, m_mono.data());
        m_partial.clear();
    }
    const size_t frames = count / frame_bytes;
    const size_t at = m_mono.size();
    m_mono.resize(at + frames);
    Mix(bytes, frames, m_mono.data() + at);
    m_partial.assign(bytes + frames * frame_bytes, bytes + count);
    m_frames += m_mono.size();
    Feed();
}

void PcmFeatureBuilder::PushSilence(uint64_t frames) {
    constexpr uint64_t kBlock = 65536;
    while (frames > 0) {
        const uint64_t n = std::min(frames, kBlock);
        m_mono.assign(static_cast<size_t>(n), 0.0f);
        m_frames += n;
        frames -= n;
        Feed();
    }
}

void PcmFeatureBuilder::Feed() {
    m_resampled.clear();
    m_resampler.Push(m_mono.data(), m_mono.size(), &m_resampled);
    m_extractor.Push(m_resampled.data(), m_resampled.size());
}

SoundFeatures PcmFeatureBuilder::Finish() {
    m_resampled.clear();
    m_resampler.Finish(&m_resampled);
    m_extractor.Push(m_resampled.data(), m_resampled.size());
    return m_extractor.Finish();
}
