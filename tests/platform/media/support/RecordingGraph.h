// RecordingGraph: a stand-in for a filter graph, enough for a filter to join one and send its
// events. AddFilter/RemoveFilter call JoinFilterGraph and hold the filter; the events a filter
// notifies are recorded and can be waited for with a time limit. Connection, enumeration and
// clock calls answer E_NOTIMPL.
// Threading: any thread; an internal mutex guards the records.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"

class RecordingGraph : public CUnknown, public IFilterGraph, public IMediaEventSink {
public:
    struct Event {
        long code;
        LONG_PTR param1;
        LONG_PTR param2;
    };

    RecordingGraph();
    ~RecordingGraph() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IFilterGraph
    HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** filters) override;
    HRESULT FindFilterByName(LPCWSTR name, IBaseFilter** filter) override;
    HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) override;
    HRESULT Reconnect(IPin* pin) override;
    HRESULT Disconnect(IPin* pin) override;
    HRESULT SetDefaultSyncSource() override;

    // IMediaEventSink
    HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) override;

    std::vector<Event> Events();
    int CountOf(long code);
    // True once `count` events of `code` arrived, false after `timeout`.
    bool WaitFor(long code, int count, std::chrono::milliseconds timeout);
    // Removes every filter (JoinFilterGraph(null, null)) and releases it.
    void RemoveAll();

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Event> m_events;
    std::vector<ComPtr<IBaseFilter>> m_filters;
};
