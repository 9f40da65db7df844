// Seeking the whole graph, in media time (100 ns units) through IMediaSeeking and in seconds
// through IMediaPosition. The graph asks each renderer for IMediaSeeking; a renderer that has
// none is passed by, upstream, to the first output pin (or its filter) that does, so each
// stream is sought once. The duration is the longest any stream reports.
//
// The current position is where the streams started (the last seek, or where the graph
// stopped) plus the stream time played since, kept below the stop position. An absolute seek
// pauses a running graph, hands the new position to the streams (their sources flush and start
// a new segment), restarts stream time at 0 and runs again. A seek while stopped is kept and
// handed to the streams again when the graph starts, so Stop then put_CurrentPosition(0) plays
// from the beginning.
//
// Order of use: part of FilterGraph.
// Threading: any thread; every call takes the graph's lock.
#pragma once

#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/control.h"
#include "platform/media/strmif.h"

class FilterGraph;

class GraphSeeking : public IMediaSeeking, public IMediaPosition {
public:
    explicit GraphSeeking(FilterGraph& graph);
    GraphSeeking(const GraphSeeking&) = delete;
    GraphSeeking& operator=(const GraphSeeking&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IMediaSeeking. Only TIME_FORMAT_MEDIA_TIME is supported; only the rate 1.0.
    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* target_format, LONGLONG source,
                              const GUID* source_format) override;
    HRESULT SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                         DWORD stop_flags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

    // IMediaPosition
    HRESULT get_Duration(REFTIME* length) override;
    HRESULT put_CurrentPosition(REFTIME time) override;
    HRESULT get_CurrentPosition(REFTIME* time) override;
    HRESULT get_StopTime(REFTIME* time) override;
    HRESULT put_StopTime(REFTIME time) override;
    HRESULT get_PrerollTime(REFTIME* time) override;
    HRESULT put_PrerollTime(REFTIME time) override;
    HRESULT put_Rate(double rate) override;
    HRESULT get_Rate(double* rate) override;
    HRESULT CanSeekForward(LONG* can_seek) override;
    HRESULT CanSeekBackward(LONG* can_seek) override;

    // For the graph, with its lock held.
    void ApplyPositionLocked();  // the graph leaves the stopped state
    void RecordStopLocked();     // the graph is about to stop

private:
    std::vector<ComPtr<IMediaSeeking>> SeekersLocked();
    HRESULT DurationLocked(LONGLONG* duration);
    HRESULT StopPositionLocked(LONGLONG* stop);
    LONGLONG CurrentPositionLocked();
    HRESULT PassPositionsLocked(LONGLONG* current, LONGLONG* stop, DWORD seek_flags);

    FilterGraph& m_graph;
    LONGLONG m_segment_start = 0;  // media time of stream time 0; guarded by the graph's lock
};
