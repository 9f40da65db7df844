// IVideoPresentationLog: what the video renderer showed and when, for measuring audio/video
// sync and for tests. One record per frame handed to the picture: the sample's start time and
// the stream time (the graph clock's time minus the run's start) at that moment; a frame shown
// while paused (the frame a pause cues) is recorded at its own start time. Times in 100 ns.
// The renderer keeps the latest 10,000 records and starts a new log each time it leaves the
// stopped state.
// Threading: any thread.
#pragma once

#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/media/strmif.h"

struct VideoPresentation {
    REFERENCE_TIME sample_start;
    REFERENCE_TIME presented_at;
};

inline constexpr GUID IID_IVideoPresentationLog = MakeGuid("1F94BF08-8502-4720-8BAF-B19914153DDC");

struct IVideoPresentationLog : public IUnknown {
    // Copies the oldest `max` records (or fewer) into `records`, oldest first; `count` gets
    // how many were copied. `records` may be null when `max` is 0, to learn the count.
    virtual HRESULT GetPresentations(ULONG max, VideoPresentation* records, ULONG* count) = 0;
    virtual HRESULT Clear() = 0;
};

TKV_DECLARE_IID(IVideoPresentationLog, IID_IVideoPresentationLog);
