#include "platform/media/video/VideoPresentationLog.h"

#include <algorithm>

VideoPresentationLog::VideoPresentationLog(size_t capacity)
    : m_capacity(std::max<size_t>(capacity, 1)) {
    m_ring.reserve(m_capacity);
}

void VideoPresentationLog::Add(const VideoPresentation& record) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ring.size() < m_capacity) {
        m_ring.push_back(record);
        return;
    }
    m_ring[m_oldest] = record;
    m_oldest = (m_oldest + 1) % m_ring.size();
}

void VideoPresentationLog::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ring.clear();  // keeps the capacity: nothing is allocated while streaming
    m_oldest = 0;
}

size_t VideoPresentationLog::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ring.size();
}

size_t VideoPresentationLog::Copy(size_t max, VideoPresentation* records) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const size_t count = std::min(max, m_ring.size());
    for (size_t i = 0; i < count; ++i)
        records[i] = m_ring[(m_oldest + i) % m_ring.size()];
    return count;
}
