#include "platform/media/graph/GraphControl.h"

#include <chrono>

#include "platform/media/clock/CSystemClock.h"
#include "platform/media/graph/FilterGraph.h"
#include "platform/media/graph/GraphTopology.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

// StopWhenReady waits this long at most for the filters to cue their data.
constexpr DWORD kCueWaitMs = 10'000;

std::vector<IBaseFilter*> Identities(const std::vector<ComPtr<IBaseFilter>>& filters) {
    std::vector<IBaseFilter*> identities;
    for (const auto& filter : filters)
        identities.push_back(filter.Get());
    return identities;
}

// S_FALSE (a filter has not finished its transition) wins over S_OK; a failure over both.
HRESULT Combine(HRESULT so_far, HRESULT next) {
    if (FAILED(so_far)) return so_far;
    if (FAILED(next)) return next;
    return so_far == S_FALSE || next == S_FALSE ? S_FALSE : S_OK;
}

ComPtr<IReferenceClock> ClockOf(IBaseFilter* filter) {
    ComPtr<IReferenceClock> clock;
    if (filter) ComPtr<IBaseFilter>(filter).As(&clock);
    return clock;
}

}  // namespace

GraphControl::GraphControl(FilterGraph& graph) : m_graph(graph) {}

HRESULT GraphControl::QueryInterface(REFIID iid, void** object) {
    return m_graph.Outer()->QueryInterface(iid, object);
}

ULONG GraphControl::AddRef() {
    return m_graph.Outer()->AddRef();
}

ULONG GraphControl::Release() {
    return m_graph.Outer()->Release();
}

HRESULT GraphControl::Run() {
    CAutoLock lock(&m_graph.Lock());
    return RunLocked(kNoStart);
}

HRESULT GraphControl::Pause() {
    CAutoLock lock(&m_graph.Lock());
    return PauseLocked();
}

HRESULT GraphControl::Stop() {
    CAutoLock lock(&m_graph.Lock());
    return StopLocked();
}

HRESULT GraphControl::GetState(LONG milliseconds, OAFilterState* state) {
    if (!state) return E_POINTER;
    FILTER_STATE filter_state = State_Stopped;
    const HRESULT hr =
        GetState(milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds), &filter_state);
    *state = filter_state;
    return hr;
}

HRESULT GraphControl::RenderFile(BSTR file_name) {
    return m_graph.RenderFile(file_name, nullptr);
}

HRESULT GraphControl::AddSourceFilter(BSTR /*file_name*/, IDispatch** filter) {
    if (filter) *filter = nullptr;
    return E_NOTIMPL;  // no automation objects here; IGraphBuilder::AddSourceFilter serves
}

HRESULT GraphControl::get_FilterCollection(IDispatch** collection) {
    if (collection) *collection = nullptr;
    return E_NOTIMPL;
}

HRESULT GraphControl::get_RegFilterCollection(IDispatch** collection) {
    if (collection) *collection = nullptr;
    return E_NOTIMPL;
}

HRESULT GraphControl::StopWhenReady() {
    const HRESULT paused = Pause();
    if (FAILED(paused)) return paused;
    FILTER_STATE state = State_Paused;
    GetState(kCueWaitMs, &state);
    return Stop();
}

HRESULT GraphControl::GetClassID(CLSID* class_id) {
    if (!class_id) return E_POINTER;
    *class_id = CLSID_FilterGraph;
    return S_OK;
}

HRESULT GraphControl::Run(REFERENCE_TIME start) {
    CAutoLock lock(&m_graph.Lock());
    return RunLocked(start < 0 ? 0 : start);
}

HRESULT GraphControl::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    std::vector<ComPtr<IBaseFilter>> filters;
    {
        CAutoLock lock(&m_graph.Lock());
        *state = m_state;
        filters = m_graph.Filters().Items();
    }
    // Unlocked: a renderer finishing its preroll may need the graph meanwhile.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    HRESULT result = S_OK;
    for (const auto& filter : filters) {
        DWORD left = milliseconds;
        if (milliseconds != INFINITE) {
            const auto remaining = deadline - Clock::now();
            left = remaining.count() > 0
                       ? static_cast<DWORD>(
                             std::chrono::ceil<std::chrono::milliseconds>(remaining).count())
                       : 0;
        }
        FILTER_STATE filter_state = State_Stopped;
        const HRESULT hr = filter->GetState(left, &filter_state);
        if (FAILED(hr)) return hr;
        if (hr == VFW_S_STATE_INTERMEDIATE) {
            result = VFW_S_STATE_INTERMEDIATE;
        } else if (hr == VFW_S_CANT_CUE && result == S_OK) {
            result = VFW_S_CANT_CUE;
        }
    }
    return result;
}

HRESULT GraphControl::SetSyncSource(IReferenceClock* clock) {
    CAutoLock lock(&m_graph.Lock());
    if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
    IBaseFilter* provider = nullptr;
    for (const auto& filter : m_graph.Filters().Items()) {
        if (clock && ClockOf(filter.Get()).Get() == clock) provider = filter.Get();
    }
    m_clock_chosen = true;
    SetClockLocked(ComPtr<IReferenceClock>(clock), provider);
    return S_OK;
}

HRESULT GraphControl::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    CAutoLock lock(&m_graph.Lock());
    return m_clock.CopyTo(clock);
}

REFERENCE_TIME GraphControl::StreamTimeLocked() {
    if (m_state == State_Stopped) return 0;
    if (m_state == State_Paused || !m_clock) return m_paused_stream_time;
    const REFERENCE_TIME played = ClockTimeLocked() - m_start;
    return played > 0 ? played : 0;
}

HRESULT GraphControl::SuspendLocked(FILTER_STATE* previous) {
    *previous = m_state;
    if (m_state != State_Running) return S_OK;
    return PauseLocked();
}

HRESULT GraphControl::ResumeLocked(FILTER_STATE previous, bool new_segment) {
    if (new_segment && m_state != State_Stopped) m_paused_stream_time = 0;
    return previous == State_Running ? RunLocked(kNoStart) : S_OK;
}

void GraphControl::FilterAddedLocked(IBaseFilter* filter) {
    if (m_clock) filter->SetSyncSource(m_clock.Get());
}

void GraphControl::FilterRemovedLocked(IBaseFilter* filter) {
    filter->SetSyncSource(nullptr);
    // The clock goes with its filter; the others must not keep using it.
    if (filter == m_clock_provider) SetClockLocked(nullptr, nullptr);
}

HRESULT GraphControl::SetDefaultSyncSourceLocked() {
    if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
    m_clock_chosen = false;
    ChooseDefaultClockLocked();
    return S_OK;
}

void GraphControl::ShutdownLocked() {
    StopLocked();
    m_clock_chosen = true;  // no default clock is to be chosen any more
    SetClockLocked(nullptr, nullptr);
    m_system_clock = nullptr;
}

HRESULT GraphControl::RunLocked(REFERENCE_TIME start) {
    if (m_state == State_Running) return S_OK;
    HRESULT result = S_OK;
    if (m_state == State_Stopped) {
        result = PauseLocked();
        if (FAILED(result)) return result;
    }
    m_start = start != kNoStart ? start : ClockTimeLocked() + kStartLatency - m_paused_stream_time;
    for (const auto& filter : GraphTopology::DownstreamFirst(m_graph.Filters().Items())) {
        result = Combine(result, filter->Run(m_start));
        if (FAILED(result)) break;
    }
    if (FAILED(result)) {
        StopLocked();
        return result;
    }
    m_state = State_Running;
    m_graph.Events().SetRunning(true);
    return result;
}

HRESULT GraphControl::PauseLocked() {
    if (m_state == State_Paused) return S_OK;
    if (m_state == State_Stopped) {
        LeaveStoppedLocked();
    } else {
        m_paused_stream_time = StreamTimeLocked();
    }
    HRESULT result = S_OK;
    for (const auto& filter : GraphTopology::DownstreamFirst(m_graph.Filters().Items())) {
        result = Combine(result, filter->Pause());
        if (FAILED(result)) break;
    }
    if (FAILED(result)) {
        m_state = State_Paused;  // so that StopLocked reaches every filter
        StopLocked();
        return result;
    }
    m_state = State_Paused;
    m_graph.Events().SetRunning(false);
    return result;
}

HRESULT GraphControl::StopLocked() {
    if (m_state == State_Stopped) return S_OK;
    m_graph.Seeking().RecordStopLocked();
    HRESULT result = S_OK;
    for (const auto& filter : GraphTopology::DownstreamFirst(m_graph.Filters().Items())) {
        const HRESULT hr = filter->Stop();
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    m_state = State_Stopped;
    m_paused_stream_time = 0;
    m_graph.Events().EndRun();
    return result;
}

void GraphControl::LeaveStoppedLocked() {
    if (!m_clock_chosen) ChooseDefaultClockLocked();
    DistributeClockLocked();
    m_paused_stream_time = 0;
    m_graph.Seeking().ApplyPositionLocked();
    const auto filters = m_graph.Filters().Items();
    m_graph.Events().BeginRun(Identities(GraphTopology::Renderers(filters)));
}

REFERENCE_TIME GraphControl::ClockTimeLocked() {
    REFERENCE_TIME now = 0;
    if (m_clock) m_clock->GetTime(&now);
    return now;
}

void GraphControl::ChooseDefaultClockLocked() {
    const auto filters = m_graph.Filters().Items();
    // A renderer's clock first: the device that plays is the one to follow.
    for (const auto& candidates : {GraphTopology::Renderers(filters), filters}) {
        for (const auto& filter : candidates) {
            ComPtr<IReferenceClock> clock = ClockOf(filter.Get());
            if (clock) {
                SetClockLocked(std::move(clock), filter.Get());
                return;
            }
        }
    }
    if (!m_system_clock) {
        CSystemClock::CreateInstance(nullptr, IID_IReferenceClock,
                                     reinterpret_cast<void**>(m_system_clock.GetAddressOf()));
    }
    SetClockLocked(m_system_clock, nullptr);
}

void GraphControl::DistributeClockLocked() {
    for (const auto& filter : m_graph.Filters().Items())
        filter->SetSyncSource(m_clock.Get());
}

void GraphControl::SetClockLocked(ComPtr<IReferenceClock> clock, IBaseFilter* provider) {
    const bool changed = clock.Get() != m_clock.Get();
    m_clock = std::move(clock);
    m_clock_provider = m_clock ? provider : nullptr;
    if (changed) DistributeClockLocked();
}
