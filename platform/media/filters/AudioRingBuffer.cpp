#include "platform/media/filters/AudioRingBuffer.h"

#include <algorithm>
#include <cstring>

bool AudioRingBuffer::Allocate(size_t capacity, size_t block_align) {
    if (capacity == 0 || block_align == 0 || block_align > capacity) return false;
    const size_t frames = (capacity + block_align - 1) / block_align;
    m_buffer.assign(frames * block_align, 0);
    m_block_align = block_align;
    Clear();
    return true;
}

void AudioRingBuffer::Release() {
    std::vector<uint8_t>().swap(m_buffer);
    Clear();
}

size_t AudioRingBuffer::Queued() const {
    return static_cast<size_t>(m_written.load(std::memory_order_acquire) -
                               m_read.load(std::memory_order_acquire));
}

size_t AudioRingBuffer::Write(const uint8_t* data, size_t size) {
    if (m_buffer.empty() || !data) return 0;
    const uint64_t written = m_written.load(std::memory_order_relaxed);
    const size_t queued = static_cast<size_t>(written - m_read.load(std::memory_order_acquire));
    const size_t count = std::min(size, m_buffer.size() - queued);
    const size_t at = static_cast<size_t>(written % m_buffer.size());
    const size_t first = std::min(count, m_buffer.size() - at);
    std::memcpy(m_buffer.data() + at, data, first);
    std::memcpy(m_buffer.data(), data + first, count - first);
    m_written.store(written + count, std::memory_order_release);
    return count;
}

size_t AudioRingBuffer::Read(uint8_t* data, size_t size) {
    if (m_buffer.empty() || !data) return 0;
    const uint64_t read = m_read.load(std::memory_order_relaxed);
    const size_t queued = static_cast<size_t>(m_written.load(std::memory_order_acquire) - read);
    size_t count = std::min(size, queued);
    count -= count % m_block_align;
    const size_t at = static_cast<size_t>(read % m_buffer.size());
    const size_t first = std::min(count, m_buffer.size() - at);
    std::memcpy(data, m_buffer.data() + at, first);
    std::memcpy(data + first, m_buffer.data(), count - first);
    m_read.store(read + count, std::memory_order_release);
    return count;
}

void AudioRingBuffer::Clear() {
    m_read.store(0, std::memory_order_release);
    m_written.store(0, std::memory_order_release);
}
