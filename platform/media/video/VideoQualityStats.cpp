#include "platform/media/video/VideoQualityStats.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kUnitsPerMillisecond = 10000.0;

int SaturatedInt(double value) {
    if (!(value > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (!(value < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(value));
}

}  // namespace

void VideoQualityStats::RunningFigure::Add(double value) {
    ++count;
    const double delta = value - mean;
    mean += delta / static_cast<double>(count);
    squares += delta * (value - mean);
}

double VideoQualityStats::RunningFigure::Deviation() const {
    return count > 1 ? std::sqrt(squares / static_cast<double>(count)) : 0.0;
}

void VideoQualityStats::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_drawn = 0;
    m_dropped = 0;
    m_first_presented = 0;
    m_last_presented = 0;
    m_gaps = {};
    m_offsets = {};
}

void VideoQualityStats::FrameDrawn(REFERENCE_TIME sample_start, REFERENCE_TIME presented_at) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_drawn == 0) {
        m_first_presented = presented_at;
    } else {
        m_gaps.Add(static_cast<double>(presented_at - m_last_presented));
    }
    m_last_presented = presented_at;
    m_offsets.Add(static_cast<double>(presented_at - sample_start));
    if (m_drawn < std::numeric_limits<int>::max()) ++m_drawn;
}

void VideoQualityStats::FrameDropped() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_dropped < std::numeric_limits<int>::max()) ++m_dropped;
}

int VideoQualityStats::Drawn() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_drawn;
}

int VideoQualityStats::Dropped() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

int VideoQualityStats::AverageFrameRate() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const REFERENCE_TIME span = m_last_presented - m_first_presented;
    if (m_drawn < 2 || span <= 0) return 0;
    // Gaps, not frames, fill the span: 26 frames 40 ms apart span 1 s, 25 frames a second.
    return SaturatedInt(static_cast<double>(m_drawn - 1) * 100.0 * 1e7 / static_cast<double>(span));
}

int VideoQualityStats::Jitter() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return SaturatedInt(m_gaps.Deviation() / kUnitsPerMillisecond);
}

int VideoQualityStats::AverageSyncOffset() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return SaturatedInt(m_offsets.mean / kUnitsPerMillisecond);
}

int VideoQualityStats::SyncOffsetDeviation() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return SaturatedInt(m_offsets.Deviation() / kUnitsPerMillisecond);
}
