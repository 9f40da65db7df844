#include "engine/fit/TimeMap.h"

#include <algorithm>

#include "engine/StretchMath.h"

namespace {

double Factor(double stretch) {
    return static_cast<double>(ClampStretch(static_cast<float>(stretch))) / 100.0 + 1.0;
}

}  // namespace

TimeMap::TimeMap(double offset, std::vector<MapEvent> events)
    : m_offset(offset), m_events(std::move(events)) {
    for (MapEvent& event : m_events)
        event.movie_pos = std::max(event.movie_pos, 0.0);
    std::stable_sort(m_events.begin(), m_events.end(), [](const MapEvent& a, const MapEvent& b) {
        return a.movie_pos < b.movie_pos;
    });
    double wav = 0;
    for (size_t k = 0; k < m_events.size(); ++k) {
        if (k == 0) {
            wav = m_events[0].movie_pos - m_offset;
        } else {
            wav += (m_events[k].movie_pos - m_events[k - 1].movie_pos) *
                   Factor(m_events[k - 1].stretch);
        }
        m_wav_at_event.push_back(wav);
    }
}

double TimeMap::WavPosition(double movie_time) const {
    // The last event at or before t is in force.
    const auto after =
        std::upper_bound(m_events.begin(), m_events.end(), movie_time,
                         [](double t, const MapEvent& event) { return t < event.movie_pos; });
    if (after == m_events.begin()) return movie_time - m_offset;
    const auto k = static_cast<size_t>(after - m_events.begin() - 1);
    return m_wav_at_event[k] + (movie_time - m_events[k].movie_pos) * Factor(m_events[k].stretch);
}

double TimeMap::Slope(double movie_time) const {
    const auto after =
        std::upper_bound(m_events.begin(), m_events.end(), movie_time,
                         [](double t, const MapEvent& event) { return t < event.movie_pos; });
    if (after == m_events.begin()) return 1.0;
    return Factor((after - 1)->stretch);
}

double TimeMap::MovieTime(double wav_position) const {
    // The map rises everywhere, so the piece holding w is found among the event positions.
    size_t k = 0;
    while (k < m_events.size() && m_wav_at_event[k] <= wav_position)
        ++k;
    if (k == 0) return wav_position + m_offset;
    return m_events[k - 1].movie_pos +
           (wav_position - m_wav_at_event[k - 1]) / Factor(m_events[k - 1].stretch);
}
