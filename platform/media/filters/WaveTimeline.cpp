#include "platform/media/filters/WaveTimeline.h"

#include <algorithm>

namespace {

constexpr int64_t kUnits = 10000000;  // 100 ns units in a second
constexpr int64_t kMaxChunk = 1 << 20;

// value * multiplier / divisor without overflowing 64 bits, for values that fit the result.
int64_t MulDiv(int64_t value, int64_t multiplier, int64_t divisor) {
    return value / divisor * multiplier + value % divisor * multiplier / divisor;
}

// The same, rounded up.
int64_t MulDivUp(int64_t value, int64_t multiplier, int64_t divisor) {
    return value / divisor * multiplier + (value % divisor * multiplier + divisor - 1) / divisor;
}

}  // namespace

WaveTimeline::WaveTimeline(int64_t data_offset, int64_t data_size, uint32_t avg_bytes_per_sec,
                           uint32_t block_align)
    : m_offset(data_offset),
      m_size(std::max<int64_t>(0, data_size)),
      m_avg_bytes(avg_bytes_per_sec),
      m_block(block_align) {}

int64_t WaveTimeline::RawBytes(int64_t time, bool round_up) const {
    if (!IsValid() || time <= 0) return 0;
    if (time >= Duration()) return m_size;
    const int64_t bytes =
        round_up ? MulDivUp(time, m_avg_bytes, kUnits) : MulDiv(time, m_avg_bytes, kUnits);
    return std::min(m_size, bytes);
}

int64_t WaveTimeline::StartByte(int64_t time) const {
    const int64_t bytes = RawBytes(time, false);
    return m_offset + bytes - (m_block > 0 ? bytes % m_block : 0);
}

int64_t WaveTimeline::StopByte(int64_t time) const {
    int64_t bytes = RawBytes(time, true);
    if (m_block > 0 && bytes % m_block != 0) bytes += m_block - bytes % m_block;
    return m_offset + std::min(bytes, m_size);
}

int64_t WaveTimeline::TimeOfBytes(int64_t bytes) const {
    if (!IsValid() || bytes <= 0) return 0;
    return MulDiv(bytes, kUnits, m_avg_bytes);
}

int64_t WaveTimeline::ChunkBytes() const {
    if (!IsValid()) return 0;
    const int64_t blocks = std::max<int64_t>(1, m_avg_bytes / 4 / m_block);
    return std::max<int64_t>(m_block, std::min(blocks * m_block, kMaxChunk - kMaxChunk % m_block));
}
