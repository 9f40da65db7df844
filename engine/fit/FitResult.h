// What a fit gives back: the initial offset and the events in the project's own terms, and
// how far to trust them, stretch by stretch of the movie.
#pragma once

#include <string>
#include <vector>

#include "engine/fit/TimeMap.h"

enum class FitOutcome {
    Fitted,         // offset, events and spans are set
    NothingShared,  // the two sounds share nothing recognisable: the fit is refused
    TooShort,       // a sound is too short to fit
    Unreadable,     // a file could not be read (see `reason`)
    Cancelled,
};

struct FittedEvent {
    float movie_pos = 0;  // seconds
    float stretch = 0;    // percent
};

// A stretch of the movie between two events (long ones cut into parts of two minutes).
struct FitSpan {
    double start = 0;  // movie seconds
    double end = 0;
    double stretch = 0;     // percent, as the events set it there
    double confidence = 0;  // share of its anchors with sound that matched the map, 0 to 1
    double residual = -1;   // seconds: RMS distance of the matched anchors to the map; -1: none
    int anchors = 0;        // anchors with sound in it
};

struct FitResult {
    FitOutcome outcome = FitOutcome::NothingShared;
    std::string reason;  // one line for the user when the outcome is not Fitted
    float offset = 0;    // seconds; positive: the WAV starts later (leading silence)
    std::vector<FittedEvent> events;
    std::vector<FitSpan> spans;
    double coverage = 0;     // share of all anchors with sound that matched, 0 to 1
    double residual = -1;    // seconds: RMS over every matched anchor
    double residual95 = -1;  // seconds: 95 % of the matched anchors are this close or closer
    double movie_duration = 0;
    double wav_duration = 0;

    bool Fitted() const { return outcome == FitOutcome::Fitted; }
    TimeMap Map() const {
        std::vector<MapEvent> map_events;
        for (const FittedEvent& event : events)
            map_events.push_back({event.movie_pos, event.stretch});
        return TimeMap(offset, std::move(map_events));
    }
};
