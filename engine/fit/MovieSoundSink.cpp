#include "engine/fit/MovieSoundSink.h"

#include <algorithm>

namespace {

constexpr int64_t kUnitsPerSecond = 10000000;
// A gap in the time stamps shorter than this is the codec's rounding, not silence.
constexpr int64_t kGapUnits = kUnitsPerSecond / 1000;

}  // namespace

MovieSoundSink::MovieSoundSink()
    : CBaseFilter("fit sound sink", &m_filter_lock, GUID_NULL),
      m_pin(std::make_unique<MovieSoundSinkPin>(this, &m_filter_lock)) {}

MovieSoundSink::~MovieSoundSink() = default;

CBasePin* MovieSoundSink::GetPin(int index) {
    return index == 0 ? m_pin.get() : nullptr;
}

HRESULT MovieSoundSink::Take(IMediaSample* sample) {
    if (!m_builder) {
        m_failed = true;
        End();
        return E_UNEXPECTED;
    }
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return S_OK;
    const long length = sample->GetActualDataLength();
    const uint64_t rate = m_builder->SampleRate();
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    if (SUCCEEDED(sample->GetTime(&start, &stop))) {
        // The movie's time line counts: a sound that starts late, or pauses, is silent there.
        const auto expected = static_cast<int64_t>(m_frames * kUnitsPerSecond / rate);
        if (start > expected + kGapUnits) {
            const auto missing = static_cast<uint64_t>(
                (start - expected) * static_cast<int64_t>(rate) / kUnitsPerSecond);
            m_builder->PushSilence(missing);
            m_frames += missing;
        }
    }
    if (length > 0) {
        m_builder->Push(data, static_cast<size_t>(length));
        m_frames = m_builder->FramesTaken();
    }
    m_position = static_cast<int64_t>(m_frames * kUnitsPerSecond / rate);
    return S_OK;
}

void MovieSoundSink::End() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_end = true;
    }
    m_ended.notify_all();
}

bool MovieSoundSink::WaitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_ended.wait_for(lock, timeout, [this] { return m_end; });
}
