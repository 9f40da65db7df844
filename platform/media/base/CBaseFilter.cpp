#include "platform/media/base/CBaseFilter.h"

#include <algorithm>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/base/CBasePin.h"
#include "platform/media/base/CEnumPins.h"
#include "platform/media/evcode.h"
#include "platform/sync/CAutoLock.h"

CBaseFilter::CBaseFilter(LPCSTR object_name, CCritSec* lock, REFCLSID clsid)
    : CUnknown(object_name), m_lock(lock), m_clsid(clsid) {}

CBaseFilter::~CBaseFilter() = default;

HRESULT CBaseFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IBaseFilter)) {
        return GetInterface(static_cast<IBaseFilter*>(this), object);
    }
    if (IsEqualIID(iid, IID_IMediaFilter)) {
        return GetInterface(static_cast<IMediaFilter*>(this), object);
    }
    if (IsEqualIID(iid, IID_IPersist)) return GetInterface(static_cast<IPersist*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CBaseFilter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = m_clsid;
    return S_OK;
}

HRESULT CBaseFilter::ActivatePins() {
    const int count = GetPinCount();
    for (int i = 0; i < count; ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin || !pin->IsConnected()) continue;
        const HRESULT hr = pin->Active();
        if (FAILED(hr)) {
            for (int j = 0; j < i; ++j) {
                CBasePin* done = GetPin(j);
                if (done && done->IsConnected()) done->Inactive();
            }
            return hr;
        }
    }
    return S_OK;
}

HRESULT CBaseFilter::DeactivatePins() {
    HRESULT result = S_OK;
    const int count = GetPinCount();
    for (int i = 0; i < count; ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin || !pin->IsConnected()) continue;
        const HRESULT hr = pin->Inactive();
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

HRESULT CBaseFilter::RunPins(REFERENCE_TIME start) {
    const int count = GetPinCount();
    for (int i = 0; i < count; ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin || !pin->IsConnected()) continue;
        const HRESULT hr = pin->Run(start);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CBaseFilter::Stop() {
    CAutoLock lock(m_lock);
    if (IsStopped()) return S_OK;
    HRESULT result = S_OK;
    if (State() == State_Running) result = StopRunning();
    // Every hook runs even after a failure, so that no thread is left behind.
    const HRESULT pins = DeactivatePins();
    if (SUCCEEDED(result)) result = pins;
    const HRESULT own = Deactivate();
    if (SUCCEEDED(result)) result = own;
    if (SUCCEEDED(result)) SetState(State_Stopped);
    return result;
}

HRESULT CBaseFilter::Pause() {
    CAutoLock lock(m_lock);
    const FILTER_STATE from = State();
    if (from == State_Paused) return S_OK;
    if (from == State_Stopped) {
        HRESULT hr = ActivatePins();
        if (FAILED(hr)) return hr;
        hr = Activate();
        if (FAILED(hr)) {
            DeactivatePins();
            return hr;
        }
    } else {
        const HRESULT hr = StopRunning();
        if (FAILED(hr)) return hr;
    }
    SetState(State_Paused);
    return S_OK;
}

HRESULT CBaseFilter::Run(REFERENCE_TIME start) {
    CAutoLock lock(m_lock);
    SetStartTime(start);
    if (IsStopped()) {
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    if (State() == State_Running) return S_OK;
    HRESULT hr = RunPins(start);
    if (FAILED(hr)) return hr;
    hr = StartRunning(start);
    if (FAILED(hr)) return hr;
    SetState(State_Running);
    return S_OK;
}

HRESULT CBaseFilter::GetState(DWORD /*milliseconds*/, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = State();
    return S_OK;
}

HRESULT CBaseFilter::SetSyncSource(IReferenceClock* clock) {
    CAutoLock lock(m_lock);
    std::lock_guard<std::mutex> guard(m_clock_mutex);
    m_clock = clock;
    return S_OK;
}

HRESULT CBaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    return Clock().CopyTo(clock);
}

ComPtr<IReferenceClock> CBaseFilter::Clock() const {
    std::lock_guard<std::mutex> guard(m_clock_mutex);
    return m_clock;
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME* stream_time) {
    if (!stream_time) return E_POINTER;
    const ComPtr<IReferenceClock> clock = Clock();
    if (!clock) return VFW_E_NO_CLOCK;
    REFERENCE_TIME now = 0;
    const HRESULT hr = clock->GetTime(&now);
    if (FAILED(hr)) return hr;
    *stream_time = now - StartTime();
    return S_OK;
}

HRESULT CBaseFilter::EnumPins(IEnumPins** pins) {
    if (!pins) return E_POINTER;
    *pins = nullptr;
    auto* enumerator = new (std::nothrow) CEnumPins(this, nullptr);
    if (!enumerator) return E_OUTOFMEMORY;
    enumerator->AddRef();
    *pins = enumerator;
    return S_OK;
}

HRESULT CBaseFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (!pin) return E_POINTER;
    *pin = nullptr;
    if (!id) return E_POINTER;
    CAutoLock lock(m_lock);
    const std::u16string wanted(id);
    const int count = GetPinCount();
    for (int i = 0; i < count; ++i) {
        CBasePin* candidate = GetPin(i);
        if (candidate && candidate->Name() == wanted) {
            *pin = candidate;
            candidate->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT CBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    const std::u16string name = FilterName();
    const size_t length = std::min<size_t>(name.size(), MAX_FILTER_NAME - 1);
    std::copy_n(name.begin(), length, info->achName);
    info->achName[length] = 0;
    info->pGraph = m_graph;
    if (info->pGraph) info->pGraph->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    CAutoLock lock(m_lock);
    m_graph = graph;
    IMediaEventSink* sink = nullptr;
    if (graph &&
        SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink)))) {
        // Not kept counted: the graph outlives its membership and holds us.
        sink->Release();
    }
    m_sink = sink;
    std::lock_guard<std::mutex> guard(m_name_mutex);
    m_name = name ? std::u16string(name) : std::u16string();
    return S_OK;
}

HRESULT CBaseFilter::QueryVendorInfo(LPWSTR* vendor_info) {
    if (vendor_info) *vendor_info = nullptr;
    return E_NOTIMPL;
}

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = m_sink.load();
    if (!sink) return E_NOTIMPL;
    if (code == EC_COMPLETE) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}

std::u16string CBaseFilter::FilterName() const {
    std::lock_guard<std::mutex> guard(m_name_mutex);
    return m_name;
}
