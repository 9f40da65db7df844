// VideoQualityStats: the figures behind IQualProp, gathered as frames are drawn or dropped.
// Gaps between frames and sync offsets (presentation time minus the sample's start) are kept
// as running means and spreads (Welford), so nothing grows with the length of a movie.
// Order of use: Reset when the renderer starts, FrameDrawn / FrameDropped while it streams,
// the getters at any time.
// Threading: any thread; a mutex guards the figures.
#pragma once

#include <mutex>

#include "platform/media/strmif.h"

class VideoQualityStats {
public:
    void Reset();
    // Times in 100 ns: when the frame was due and when it was shown, both stream times.
    void FrameDrawn(REFERENCE_TIME sample_start, REFERENCE_TIME presented_at);
    void FrameDropped();

    int Drawn() const;
    int Dropped() const;
    // Frames per 100 seconds over the span of the frames drawn; 0 before two frames.
    int AverageFrameRate() const;
    // Milliseconds.
    int Jitter() const;
    int AverageSyncOffset() const;
    int SyncOffsetDeviation() const;

private:
    struct RunningFigure {
        long long count = 0;
        double mean = 0;
        double squares = 0;  // sum of squared differences from the mean
        void Add(double value);
        double Deviation() const;
    };

    mutable std::mutex m_mutex;
    int m_drawn = 0;
    int m_dropped = 0;
    REFERENCE_TIME m_first_presented = 0;
    REFERENCE_TIME m_last_presented = 0;
    RunningFigure m_gaps;
    RunningFigure m_offsets;
};
