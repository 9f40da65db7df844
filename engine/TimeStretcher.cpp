#include "engine/TimeStretcher.h"

#include <cmath>
#include <cstring>

#include <SoundTouch.h>

#include "engine/StretchMath.h"

namespace {

constexpr int kSequenceMs = 82;
constexpr int kSeekWindowMs = 28;
constexpr int kOverlapMs = 12;

}  // namespace

TimeStretcher::TimeStretcher() : m_processor(std::make_unique<soundtouch::SoundTouch>()) {}

TimeStretcher::~TimeStretcher() = default;

int16_t TimeStretcher::FloatToSample(float f) {
    long v = lrintf(f * 32768.0f);
    if (v < -32768) v = -32768;
    if (v > 32767) v = 32767;
    return static_cast<int16_t>(v);
}

bool TimeStretcher::Configure(uint32_t sample_rate, uint32_t channels) {
    if (channels < 1 || channels > kMaxChannels || sample_rate == 0) return false;
    try {
        m_processor->setTempoChange(0);
        m_processor->setSampleRate(sample_rate);
        m_processor->setChannels(channels);
        m_processor->setSetting(SETTING_SEQUENCE_MS, kSequenceMs);
        m_processor->setSetting(SETTING_SEEKWINDOW_MS, kSeekWindowMs);
        m_processor->setSetting(SETTING_OVERLAP_MS, kOverlapMs);
    } catch (...) {
        m_channels = 0;
        return false;
    }
    m_channels = channels;
    return true;
}

void TimeStretcher::SetStretch(float percent) {
    try {
        m_processor->setTempoChange(ClampStretch(percent));
    } catch (...) {
    }
}

void TimeStretcher::Clear() {
    try {
        m_processor->clear();
        m_processor->setTempoChange(0);
    } catch (...) {
    }
}

uint32_t TimeStretcher::NumSamples() const {
    try {
        return m_processor->numSamples();
    } catch (...) {
        return 0;
    }
}

void TimeStretcher::PutSamples(const uint8_t* frames, uint32_t frame_count) {
    if (m_channels == 0 || frame_count == 0) return;
    const size_t count = static_cast<size_t>(frame_count) * m_channels;
    if (m_scratch.size() < count) m_scratch.resize(count);
    for (size_t i = 0; i < count; ++i) {
        int16_t s;
        std::memcpy(&s, frames + 2 * i, 2);
        m_scratch[i] = SampleToFloat(s);
    }
    try {
        m_processor->putSamples(m_scratch.data(), frame_count);
    } catch (...) {
    }
}

uint32_t TimeStretcher::ReceiveSamples(uint8_t* frames, uint32_t max_frames) {
    if (m_channels == 0 || max_frames == 0) return 0;
    const size_t capacity = static_cast<size_t>(max_frames) * m_channels;
    if (m_scratch.size() < capacity) m_scratch.resize(capacity);
    uint32_t received = 0;
    try {
        received = m_processor->receiveSamples(m_scratch.data(), max_frames);
    } catch (...) {
        return 0;
    }
    const size_t count = static_cast<size_t>(received) * m_channels;
    for (size_t i = 0; i < count; ++i) {
        int16_t s = FloatToSample(m_scratch[i]);
        std::memcpy(frames + 2 * i, &s, 2);
    }
    return received;
}
