#include "platform/media/graph/FilterGraph.h"

#include <new>

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/graph/GraphTopology.h"
#include "platform/media/graph/RegKey.h"
#include "platform/media/graph/WideText.h"
#include "platform/sync/CAutoLock.h"

namespace {

// The name a filter added without one gets: its class's registered name ("Wave Parser"), so
// that its pins read as people know them; empty when the class has none.
std::u16string RegisteredName(IBaseFilter* filter) {
    CLSID clsid{};
    if (filter->GetClassID(&clsid) != S_OK) return {};
    RegKey key;
    std::string name;
    if (key.Open(HKEY_CLASSES_ROOT, "CLSID\\" + FilterRegistry::GuidText(clsid)) != ERROR_SUCCESS ||
        !key.GetString(nullptr, &name)) {
        return {};
    }
    return WideFromUtf8(name);
}

template <typename Interface>
HRESULT HandOut(Interface* part, void** object) {
    *object = part;
    part->AddRef();
    return S_OK;
}

}  // namespace

FilterGraph::FilterGraph()
    : m_events(Outer()),
      m_control(*this),
      m_seeking(*this),
      m_video_window(Outer(), m_filters),
      m_basic_video(Outer(), m_filters),
      m_connector(*this) {}

FilterGraph::~FilterGraph() = default;

HRESULT FilterGraph::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* graph = new (std::nothrow) FilterGraph();
    if (!graph) return E_OUTOFMEMORY;
    const HRESULT hr = graph->QueryInterface(iid, object);
    graph->Release();
    return hr;
}

HRESULT FilterGraph::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IFilterGraph || iid == IID_IGraphBuilder) {
        return HandOut(static_cast<IGraphBuilder*>(this), object);
    }
    if (iid == IID_IMediaControl) return HandOut(static_cast<IMediaControl*>(&m_control), object);
    if (iid == IID_IMediaFilter || iid == IID_IPersist) {
        return HandOut(static_cast<IMediaFilter*>(&m_control), object);
    }
    if (iid == IID_IMediaEvent || iid == IID_IMediaEventEx) {
        return HandOut(static_cast<IMediaEventEx*>(&m_events), object);
    }
    if (iid == IID_IMediaEventSink) {
        return HandOut(static_cast<IMediaEventSink*>(&m_events), object);
    }
    if (iid == IID_IMediaSeeking) return HandOut(static_cast<IMediaSeeking*>(&m_seeking), object);
    if (iid == IID_IMediaPosition) {
        return HandOut(static_cast<IMediaPosition*>(&m_seeking), object);
    }
    if (iid == IID_IVideoWindow)
        return HandOut(static_cast<IVideoWindow*>(&m_video_window), object);
    if (iid == IID_IBasicVideo) return HandOut(static_cast<IBasicVideo*>(&m_basic_video), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FilterGraph::AddRef() {
    return ++m_references;
}

ULONG FilterGraph::Release() {
    const ULONG left = --m_references;
    if (left == 0) {
        // Filters leaving the graph may still query it and let go again: a count held during
        // the shutdown keeps that from destroying the graph twice.
        m_references = 1;
        Shutdown();
        delete this;
    }
    return left;
}

HRESULT FilterGraph::AddFilter(IBaseFilter* filter, LPCWSTR name) {
    if (!filter) return E_POINTER;
    CAutoLock lock(&m_lock);
    std::u16string given;
    const std::u16string fallback = WideView(name).empty() ? RegisteredName(filter) : u"";
    HRESULT added = m_filters.Add(filter, fallback.empty() ? WideView(name) : fallback, &given);
    if (FAILED(added)) return added;
    if (!fallback.empty()) added = S_OK;  // no name was asked for, so none was changed
    const HRESULT joined = filter->JoinFilterGraph(this, given.c_str());
    if (FAILED(joined)) {
        m_filters.Remove(filter);
        return joined;
    }
    m_control.FilterAddedLocked(filter);
    return added;
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* filter) {
    if (!filter) return E_POINTER;
    CAutoLock lock(&m_lock);
    if (!m_filters.Contains(filter)) return VFW_E_NOT_FOUND;
    const ComPtr<IBaseFilter> keep(filter);  // the list's reference goes below
    if (m_control.StateLocked() != State_Stopped) m_control.Stop();
    GraphTopology::DisconnectAll(filter);
    m_control.FilterRemovedLocked(filter);
    filter->JoinFilterGraph(nullptr, nullptr);
    m_filters.Remove(filter);
    return S_OK;
}

HRESULT FilterGraph::EnumFilters(IEnumFilters** filters) {
    if (!filters) return E_POINTER;
    using Enumerator = SnapshotEnumerator<IEnumFilters, ComPtr<IBaseFilter>, IBaseFilter*,
                                          HandOutInterface<IBaseFilter>>;
    return Enumerator::Create(m_filters.Items(), ComPtr<IUnknown>(Outer()), &m_filters, filters);
}

HRESULT FilterGraph::FindFilterByName(LPCWSTR name, IBaseFilter** filter) {
    if (!name || !filter) return E_POINTER;
    ComPtr<IBaseFilter> found = m_filters.Find(name);
    *filter = found.Detach();
    return *filter ? S_OK : VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) {
    if (!output || !input) return E_POINTER;
    CAutoLock lock(&m_lock);
    HRESULT hr = CheckPinInGraph(output, PINDIR_OUTPUT);
    if (SUCCEEDED(hr)) hr = CheckPinInGraph(input, PINDIR_INPUT);
    if (FAILED(hr)) return hr;
    if (GraphTopology::FilterOf(output).Get() == GraphTopology::FilterOf(input).Get()) {
        return VFW_E_CIRCULAR_GRAPH;
    }
    return output->Connect(input, type);
}

HRESULT FilterGraph::Reconnect(IPin* pin) {
    if (!pin) return E_POINTER;
    CAutoLock lock(&m_lock);
    // Pins refuse to disconnect while active; refusing here keeps both ends as they are.
    if (m_control.StateLocked() != State_Stopped) return VFW_E_NOT_STOPPED;
    const ComPtr<IPin> peer = GraphTopology::Peer(pin);
    if (!peer) return VFW_E_NOT_CONNECTED;
    PIN_DIRECTION direction = PINDIR_INPUT;
    if (!GraphTopology::DirectionOf(pin, &direction)) return E_FAIL;
    const ComPtr<IPin> output = direction == PINDIR_OUTPUT ? ComPtr<IPin>(pin) : peer;
    const ComPtr<IPin> input = direction == PINDIR_OUTPUT ? peer : ComPtr<IPin>(pin);
    AM_MEDIA_TYPE old_type{};
    const bool have_old_type = SUCCEEDED(output->ConnectionMediaType(&old_type));
    HRESULT hr = output->Disconnect();
    if (SUCCEEDED(hr)) hr = input->Disconnect();
    if (SUCCEEDED(hr)) {
        hr = output->Connect(input.Get(), nullptr);
        if (FAILED(hr) && have_old_type) hr = output->Connect(input.Get(), &old_type);
    }
    if (have_old_type) FreeMediaType(old_type);
    return hr;
}

HRESULT FilterGraph::Disconnect(IPin* pin) {
    if (!pin) return E_POINTER;
    CAutoLock lock(&m_lock);
    return pin->Disconnect();
}

HRESULT FilterGraph::SetDefaultSyncSource() {
    CAutoLock lock(&m_lock);
    return m_control.SetDefaultSyncSourceLocked();
}

HRESULT FilterGraph::Connect(IPin* output, IPin* input) {
    CAutoLock lock(&m_lock);
    return m_connector.Connect(output, input);
}

HRESULT FilterGraph::Render(IPin* output) {
    CAutoLock lock(&m_lock);
    return m_connector.Render(output);
}

HRESULT FilterGraph::RenderFile(LPCWSTR file, LPCWSTR /*play_list*/) {
    CAutoLock lock(&m_lock);
    m_aborted = false;
    return m_connector.RenderFile(file);
}

HRESULT FilterGraph::AddSourceFilter(LPCWSTR file_name, LPCWSTR filter_name, IBaseFilter** filter) {
    CAutoLock lock(&m_lock);
    return m_connector.AddSourceFilter(file_name, filter_name, filter);
}

HRESULT FilterGraph::SetLogFile(DWORD_PTR /*file*/) {
    return S_OK;
}

HRESULT FilterGraph::Abort() {
    m_aborted = true;
    return S_OK;
}

HRESULT FilterGraph::ShouldOperationContinue() {
    return m_aborted ? S_FALSE : S_OK;
}

void FilterGraph::Shutdown() {
    CAutoLock lock(&m_lock);
    m_events.SetNotifyWindow(0, 0, 0);
    m_control.ShutdownLocked();
    for (const auto& filter : m_filters.Items()) {
        GraphTopology::DisconnectAll(filter.Get());
        filter->SetSyncSource(nullptr);
        filter->JoinFilterGraph(nullptr, nullptr);
        m_filters.Remove(filter.Get());
    }
}

HRESULT FilterGraph::CheckPinInGraph(IPin* pin, PIN_DIRECTION direction) {
    PIN_DIRECTION actual = PINDIR_INPUT;
    if (!GraphTopology::DirectionOf(pin, &actual)) return E_FAIL;
    if (actual != direction) return VFW_E_INVALID_DIRECTION;
    const ComPtr<IBaseFilter> owner = GraphTopology::FilterOf(pin);
    return owner && m_filters.Contains(owner.Get()) ? S_OK : VFW_E_NOT_IN_GRAPH;
}
