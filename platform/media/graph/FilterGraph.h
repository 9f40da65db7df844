// The filter graph (CLSID_FilterGraph): holds filters under unique names, connects their pins
// directly or through filters found in the registry, renders files, and answers the control
// interfaces through its parts: IMediaControl and IMediaFilter (GraphControl), IMediaEvent,
// IMediaEventEx and IMediaEventSink (GraphEvents), IMediaSeeking and IMediaPosition
// (GraphSeeking), IVideoWindow (GraphVideoWindow) and IBasicVideo (GraphBasicVideo). The parts
// share the graph's reference count: every interface keeps the whole graph alive.
//
// Filters join the graph with JoinFilterGraph (they do not hold a reference to it) and get
// the graph's clock. Removing a filter stops a graph that is not stopped (a chain with a hole
// cannot play), breaks the filter's connections and lets it go. Releasing the last reference
// stops the graph, takes every filter out and releases it, so no filter thread outlives it.
//
// Order of use: CoCreateInstance(CLSID_FilterGraph, ..., IID_IGraphBuilder), AddFilter /
// RenderFile / Connect..., then the control interfaces; Release.
// Threading: any thread. One recursive lock for the graph (lock order graph -> filter ->
// streaming); events have a lock of their own below it, so streaming threads never wait for
// the graph.
#pragma once

#include <atomic>

#include "platform/media/graph/GraphBasicVideo.h"
#include "platform/media/graph/GraphConnector.h"
#include "platform/media/graph/GraphControl.h"
#include "platform/media/graph/GraphEvents.h"
#include "platform/media/graph/GraphFilterList.h"
#include "platform/media/graph/GraphSeeking.h"
#include "platform/media/graph/GraphVideoWindow.h"
#include "platform/media/strmif.h"
#include "platform/sync/CCritSec.h"

class FilterGraph : public IGraphBuilder {
public:
    // A class factory's CreateInstance: no aggregation.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IFilterGraph
    HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** filters) override;
    HRESULT FindFilterByName(LPCWSTR name, IBaseFilter** filter) override;
    HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) override;
    // Breaks the pin's connection and makes it again between the same two pins, with the
    // type they agree on now (the old type if they agree on nothing else).
    HRESULT Reconnect(IPin* pin) override;
    HRESULT Disconnect(IPin* pin) override;
    HRESULT SetDefaultSyncSource() override;

    // IGraphBuilder
    HRESULT Connect(IPin* output, IPin* input) override;
    HRESULT Render(IPin* output) override;
    HRESULT RenderFile(LPCWSTR file, LPCWSTR play_list) override;
    HRESULT AddSourceFilter(LPCWSTR file_name, LPCWSTR filter_name, IBaseFilter** filter) override;
    HRESULT SetLogFile(DWORD_PTR file) override;
    HRESULT Abort() override;
    HRESULT ShouldOperationContinue() override;

    // For the graph's parts.
    IUnknown* Outer() { return static_cast<IGraphBuilder*>(this); }
    CCritSec& Lock() { return m_lock; }
    GraphFilterList& Filters() { return m_filters; }
    GraphControl& Control() { return m_control; }
    GraphEvents& Events() { return m_events; }
    GraphSeeking& Seeking() { return m_seeking; }
    bool Aborted() const { return m_aborted; }
    void ClearAbort() { m_aborted = false; }

private:
    FilterGraph();
    ~FilterGraph() override;

    void Shutdown();
    HRESULT CheckPinInGraph(IPin* pin, PIN_DIRECTION direction);

    std::atomic<ULONG> m_references{1};
    std::atomic<bool> m_aborted{false};
    CCritSec m_lock;
    GraphFilterList m_filters;
    GraphEvents m_events;
    GraphControl m_control;
    GraphSeeking m_seeking;
    GraphVideoWindow m_video_window;
    GraphBasicVideo m_basic_video;
    GraphConnector m_connector;
};
