#include "tests/platform/media/support/RecordingGraph.h"

#include <algorithm>

RecordingGraph::RecordingGraph() : CUnknown("recording graph") {}

RecordingGraph::~RecordingGraph() {
    RemoveAll();
}

HRESULT RecordingGraph::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IFilterGraph)) {
        return GetInterface(static_cast<IFilterGraph*>(this), object);
    }
    if (IsEqualIID(iid, IID_IMediaEventSink)) {
        return GetInterface(static_cast<IMediaEventSink*>(this), object);
    }
    if (IsEqualIID(iid, IID_IUnknown)) {
        return GetInterface(static_cast<IFilterGraph*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT RecordingGraph::AddFilter(IBaseFilter* filter, LPCWSTR name) {
    if (!filter) return E_POINTER;
    const HRESULT hr = filter->JoinFilterGraph(this, name);
    if (FAILED(hr)) return hr;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_filters.emplace_back(filter);
    return S_OK;
}

HRESULT RecordingGraph::RemoveFilter(IBaseFilter* filter) {
    ComPtr<IBaseFilter> held;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = std::find_if(m_filters.begin(), m_filters.end(),
                                        [&](const auto& each) { return each.Get() == filter; });
        if (found == m_filters.end()) return VFW_E_NOT_FOUND;
        held = *found;
        m_filters.erase(found);
    }
    return held->JoinFilterGraph(nullptr, nullptr);
}

void RecordingGraph::RemoveAll() {
    std::vector<ComPtr<IBaseFilter>> filters;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        filters.swap(m_filters);
    }
    for (auto& filter : filters)
        filter->JoinFilterGraph(nullptr, nullptr);
}

HRESULT RecordingGraph::EnumFilters(IEnumFilters** filters) {
    if (filters) *filters = nullptr;
    return E_NOTIMPL;
}

HRESULT RecordingGraph::FindFilterByName(LPCWSTR /*name*/, IBaseFilter** filter) {
    if (filter) *filter = nullptr;
    return E_NOTIMPL;
}

HRESULT RecordingGraph::ConnectDirect(IPin* /*output*/, IPin* /*input*/,
                                      const AM_MEDIA_TYPE* /*type*/) {
    return E_NOTIMPL;
}

HRESULT RecordingGraph::Reconnect(IPin* /*pin*/) {
    return E_NOTIMPL;
}

HRESULT RecordingGraph::Disconnect(IPin* /*pin*/) {
    return E_NOTIMPL;
}

HRESULT RecordingGraph::SetDefaultSyncSource() {
    return E_NOTIMPL;
}

HRESULT RecordingGraph::Notify(long code, LONG_PTR param1, LONG_PTR param2) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back({code, param1, param2});
    }
    m_arrived.notify_all();
    return S_OK;
}

std::vector<RecordingGraph::Event> RecordingGraph::Events() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

int RecordingGraph::CountOf(long code) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(std::count_if(m_events.begin(), m_events.end(),
                                          [&](const Event& event) { return event.code == code; }));
}

bool RecordingGraph::WaitFor(long code, int count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] {
        return std::count_if(m_events.begin(), m_events.end(),
                             [&](const Event& event) { return event.code == code; }) >= count;
    });
}
