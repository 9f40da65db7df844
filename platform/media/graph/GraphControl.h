// The graph's state machine and clock: IMediaControl for the application and IMediaFilter for
// whoever wants to drive the graph like a filter (a given start time, a chosen clock).
//
// States follow the framework's rules: stopped -> paused -> running and back; a change reaches
// the filters downstream first (renderers before their sources). Leaving the stopped state
// picks the clock (the one set with SetSyncSource, else a renderer's, else any filter's, else
// the system clock), gives it to every filter, tells the sources where to start and counts the
// renderers for EC_COMPLETE. Run maps stream time 0 to the clock's time now plus a small
// latency, less the stream time already played, so a Pause / Run pair resumes without a gap.
// A filter that fails a transition stops the whole graph.
//
// Order of use: part of FilterGraph; the graph's other parts call the ...Locked functions
// with the graph's lock held.
// Threading: any thread; control calls take the graph's lock (graph -> filter). GetState
// waits for the filters without holding it.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/control.h"
#include "platform/media/strmif.h"

class FilterGraph;

class GraphControl : public IMediaControl, public IMediaFilter {
public:
    explicit GraphControl(FilterGraph& graph);
    GraphControl(const GraphControl&) = delete;
    GraphControl& operator=(const GraphControl&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IMediaControl
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(LONG milliseconds, OAFilterState* state) override;
    HRESULT RenderFile(BSTR file_name) override;
    HRESULT AddSourceFilter(BSTR file_name, IDispatch** filter) override;
    HRESULT get_FilterCollection(IDispatch** collection) override;
    HRESULT get_RegFilterCollection(IDispatch** collection) override;
    HRESULT StopWhenReady() override;

    // IMediaFilter (Stop and Pause are shared with IMediaControl)
    HRESULT GetClassID(CLSID* class_id) override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;

    // For the graph's parts, with the graph's lock held.
    FILTER_STATE StateLocked() const { return m_state; }
    // Stream time now: how far the streams have played since their start or their last seek.
    REFERENCE_TIME StreamTimeLocked();
    // A seek: running filters pause, then Resume restores the state the graph had, with
    // stream time back at 0 when the streams start a new segment.
    HRESULT SuspendLocked(FILTER_STATE* previous);
    HRESULT ResumeLocked(FILTER_STATE previous, bool new_segment);
    void FilterAddedLocked(IBaseFilter* filter);
    void FilterRemovedLocked(IBaseFilter* filter);
    HRESULT SetDefaultSyncSourceLocked();
    void ShutdownLocked();

private:
    // Start latency: the filters get their Run calls before stream time 0 comes.
    static constexpr REFERENCE_TIME kStartLatency = 100'000;  // 10 ms
    static constexpr REFERENCE_TIME kNoStart = -1;

    HRESULT RunLocked(REFERENCE_TIME start);
    HRESULT PauseLocked();
    HRESULT StopLocked();
    void LeaveStoppedLocked();
    REFERENCE_TIME ClockTimeLocked();
    void ChooseDefaultClockLocked();
    void DistributeClockLocked();
    void SetClockLocked(ComPtr<IReferenceClock> clock, IBaseFilter* provider);

    FilterGraph& m_graph;
    // Guarded by the graph's lock.
    FILTER_STATE m_state = State_Stopped;
    ComPtr<IReferenceClock> m_clock;
    IBaseFilter* m_clock_provider = nullptr;  // the filter whose clock it is, if any
    bool m_clock_chosen = false;              // SetSyncSource was called: keep that clock
    ComPtr<IReferenceClock> m_system_clock;   // made when first needed, then kept
    REFERENCE_TIME m_start = 0;               // the clock time of stream time 0
    REFERENCE_TIME m_paused_stream_time = 0;  // stream time when the graph paused
};
