// Where in the WAV the listener is at each movie time, for an initial offset and an event
// list, as the stretched stream plays them: before the first event the WAV runs at normal
// speed, `offset` seconds late (a positive offset is leading silence); from each event on it
// advances by 1 + stretch / 100 seconds per movie second. Events are taken in order of movie
// position (equal ones in list order), positions before 0 as 0, stretches clamped to the
// stream's range. Seconds in double precision, without the stream's rounding to whole bytes.
// A worked number: offset 1.5, one event at 10 s with stretch +25: at 14 s the WAV is at
// 10 - 1.5 + 4 * 1.25 = 13.5 s.
// Plain value; any thread.
#pragma once

#include <vector>

struct MapEvent {
    double movie_pos = 0;  // seconds
    double stretch = 0;    // percent
};

class TimeMap {
public:
    TimeMap() = default;
    TimeMap(double offset, std::vector<MapEvent> events);

    double Offset() const { return m_offset; }
    const std::vector<MapEvent>& Events() const { return m_events; }

    // The WAV position heard at movie time t (negative: in the leading silence).
    double WavPosition(double movie_time) const;
    // The WAV seconds per movie second at movie time t.
    double Slope(double movie_time) const;
    // The movie time at which WAV position w is heard (the map only ever moves forward).
    double MovieTime(double wav_position) const;

private:
    double m_offset = 0;
    std::vector<MapEvent> m_events;
    std::vector<double> m_wav_at_event;  // the WAV position at each event
};
