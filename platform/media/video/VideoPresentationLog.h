// VideoPresentationLog: the ring of presentation records behind IVideoPresentationLog. Holds
// the latest `capacity` records; adding to a full ring drops the oldest.
// Order of use: Add per frame shown, Copy to read, Clear when a new run of the filter begins.
// Threading: any thread; a mutex guards the ring (held only to copy a record or a few).
#pragma once

#include <mutex>
#include <vector>

#include "platform/media/video/IVideoPresentationLog.h"

class VideoPresentationLog {
public:
    explicit VideoPresentationLog(size_t capacity);

    void Add(const VideoPresentation& record);
    void Clear();
    size_t Count() const;
    // Copies up to `max` records, oldest first; returns how many.
    size_t Copy(size_t max, VideoPresentation* records) const;

private:
    const size_t m_capacity;
    mutable std::mutex m_mutex;
    std::vector<VideoPresentation> m_ring;
    size_t m_oldest = 0;  // index of the oldest record once the ring is full
};
