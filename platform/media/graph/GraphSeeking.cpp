#include "platform/media/graph/GraphSeeking.h"

#include <cmath>
#include <limits>

#include "platform/media/graph/FilterGraph.h"
#include "platform/media/graph/GraphTopology.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

constexpr double kUnitsPerSecond = 10'000'000.0;
constexpr int kMaxChain = 32;  // filters between a renderer and its source, at most

LONGLONG UnitsFromSeconds(REFTIME seconds) {
    const double units = std::round(seconds * kUnitsPerSecond);
    if (std::isnan(units)) return 0;
    if (units >= static_cast<double>(std::numeric_limits<LONGLONG>::max())) {
        return std::numeric_limits<LONGLONG>::max();
    }
    if (units <= static_cast<double>(std::numeric_limits<LONGLONG>::min())) {
        return std::numeric_limits<LONGLONG>::min();
    }
    return static_cast<LONGLONG>(units);
}

REFTIME SecondsFromUnits(LONGLONG units) {
    return static_cast<double>(units) / kUnitsPerSecond;
}

LONGLONG SaturatingAdd(LONGLONG a, LONGLONG b) {
    LONGLONG sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b > 0 ? std::numeric_limits<LONGLONG>::max() : std::numeric_limits<LONGLONG>::min();
    }
    return sum;
}

bool IsMediaTime(const GUID* format) {
    return !format || *format == TIME_FORMAT_MEDIA_TIME;
}

class SeekerSearch {
public:
    void FromFilter(IBaseFilter* filter, int depth) {
        if (!filter || depth > kMaxChain) return;
        ComPtr<IMediaSeeking> seeking;
        ComPtr<IBaseFilter>(filter).As(&seeking);
        if (Usable(seeking)) {
            Add(std::move(seeking));
            return;
        }
        for (const auto& input : GraphTopology::Pins(filter, PINDIR_INPUT)) {
            const ComPtr<IPin> upstream = GraphTopology::Peer(input.Get());
            if (upstream) FromPin(upstream.Get(), depth + 1);
        }
    }

    std::vector<ComPtr<IMediaSeeking>> Take() { return std::move(m_seekers); }

private:
    void FromPin(IPin* output, int depth) {
        ComPtr<IMediaSeeking> seeking;
        ComPtr<IPin>(output).As(&seeking);
        if (Usable(seeking)) {
            Add(std::move(seeking));
            return;
        }
        FromFilter(GraphTopology::FilterOf(output).Get(), depth);
    }

    static bool Usable(const ComPtr<IMediaSeeking>& seeking) {
        return seeking && seeking->IsFormatSupported(&TIME_FORMAT_MEDIA_TIME) == S_OK;
    }

    // Two renderers fed by one splitter pin must not seek it twice.
    void Add(ComPtr<IMediaSeeking> seeking) {
        ComPtr<IUnknown> identity;
        seeking.As(&identity);
        for (const auto& known : m_identities) {
            if (known.Get() == identity.Get()) return;
        }
        m_identities.push_back(std::move(identity));
        m_seekers.push_back(std::move(seeking));
    }

    std::vector<ComPtr<IMediaSeeking>> m_seekers;
    std::vector<ComPtr<IUnknown>> m_identities;
};

}  // namespace

GraphSeeking::GraphSeeking(FilterGraph& graph) : m_graph(graph) {}

HRESULT GraphSeeking::QueryInterface(REFIID iid, void** object) {
    return m_graph.Outer()->QueryInterface(iid, object);
}

ULONG GraphSeeking::AddRef() {
    return m_graph.Outer()->AddRef();
}

ULONG GraphSeeking::Release() {
    return m_graph.Outer()->Release();
}

HRESULT GraphSeeking::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    CAutoLock lock(&m_graph.Lock());
    const auto seekers = SeekersLocked();
    *capabilities = 0;
    if (seekers.empty()) return E_NOTIMPL;
    DWORD common = ~DWORD{0};
    for (const auto& seeker : seekers) {
        DWORD own = 0;
        common &= SUCCEEDED(seeker->GetCapabilities(&own)) ? own : 0;
    }
    // The graph tells the position itself, from its clock.
    *capabilities = common | AM_SEEKING_CanGetCurrentPos;
    return S_OK;
}

HRESULT GraphSeeking::CheckCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    DWORD supported = 0;
    GetCapabilities(&supported);
    const DWORD asked = *capabilities;
    *capabilities = asked & supported;
    if (*capabilities == asked) return S_OK;
    return *capabilities ? S_FALSE : E_FAIL;
}

HRESULT GraphSeeking::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT GraphSeeking::QueryPreferredFormat(GUID* format) {
    return GetTimeFormat(format);
}

HRESULT GraphSeeking::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT GraphSeeking::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT GraphSeeking::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT GraphSeeking::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    CAutoLock lock(&m_graph.Lock());
    return DurationLocked(duration);
}

HRESULT GraphSeeking::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    CAutoLock lock(&m_graph.Lock());
    return StopPositionLocked(stop);
}

HRESULT GraphSeeking::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    CAutoLock lock(&m_graph.Lock());
    *current = CurrentPositionLocked();
    return S_OK;
}

HRESULT GraphSeeking::ConvertTimeFormat(LONGLONG* target, const GUID* target_format,
                                        LONGLONG source, const GUID* source_format) {
    if (!target) return E_POINTER;
    if (!IsMediaTime(target_format) || !IsMediaTime(source_format)) return E_NOTIMPL;
    *target = source;
    return S_OK;
}

HRESULT GraphSeeking::SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                   DWORD stop_flags) {
    const DWORD current_mode = current_flags & AM_SEEKING_PositioningBitsMask;
    const DWORD stop_mode = stop_flags & AM_SEEKING_PositioningBitsMask;
    if ((current_mode && !current) || (stop_mode && !stop)) return E_POINTER;
    if (!current_mode && !stop_mode) return S_OK;
    CAutoLock lock(&m_graph.Lock());
    LONGLONG new_current = 0;
    if (current_mode) {
        const LONGLONG base =
            current_mode == AM_SEEKING_AbsolutePositioning ? 0 : CurrentPositionLocked();
        new_current = SaturatingAdd(base, *current);
        if (new_current < 0) new_current = 0;
    }
    LONGLONG new_stop = 0;
    if (stop_mode) {
        LONGLONG base = 0;
        if (stop_mode == AM_SEEKING_RelativePositioning && FAILED(StopPositionLocked(&base))) {
            base = 0;
        } else if (stop_mode == AM_SEEKING_IncrementalPositioning) {
            base = current_mode ? new_current : CurrentPositionLocked();
        }
        new_stop = SaturatingAdd(base, *stop);
    }
    FILTER_STATE previous = State_Stopped;
    if (current_mode) m_graph.Control().SuspendLocked(&previous);
    HRESULT hr = PassPositionsLocked(current_mode ? &new_current : nullptr,
                                     stop_mode ? &new_stop : nullptr, current_flags);
    if (current_mode) {
        if (SUCCEEDED(hr)) {
            m_segment_start = new_current;
            m_graph.Events().RestartRun();
        }
        const HRESULT resumed = m_graph.Control().ResumeLocked(previous, SUCCEEDED(hr));
        if (SUCCEEDED(hr) && FAILED(resumed)) hr = resumed;
    }
    if (current_mode && (current_flags & AM_SEEKING_ReturnTime)) *current = new_current;
    if (stop_mode && (stop_flags & AM_SEEKING_ReturnTime)) *stop = new_stop;
    return hr;
}

HRESULT GraphSeeking::GetPositions(LONGLONG* current, LONGLONG* stop) {
    CAutoLock lock(&m_graph.Lock());
    HRESULT hr = S_OK;
    if (current) *current = CurrentPositionLocked();
    if (stop) hr = StopPositionLocked(stop);
    return hr;
}

HRESULT GraphSeeking::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    CAutoLock lock(&m_graph.Lock());
    if (earliest) *earliest = 0;
    return latest ? DurationLocked(latest) : S_OK;
}

HRESULT GraphSeeking::SetRate(double rate) {
    if (rate == 0.0 || std::isnan(rate)) return E_INVALIDARG;
    return rate == 1.0 ? S_OK : E_NOTIMPL;
}

HRESULT GraphSeeking::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

HRESULT GraphSeeking::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}

HRESULT GraphSeeking::get_Duration(REFTIME* length) {
    if (!length) return E_POINTER;
    LONGLONG units = 0;
    const HRESULT hr = GetDuration(&units);
    *length = SecondsFromUnits(units);
    return hr;
}

HRESULT GraphSeeking::put_CurrentPosition(REFTIME time) {
    LONGLONG units = UnitsFromSeconds(time);
    return SetPositions(&units, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

HRESULT GraphSeeking::get_CurrentPosition(REFTIME* time) {
    if (!time) return E_POINTER;
    LONGLONG units = 0;
    const HRESULT hr = GetCurrentPosition(&units);
    *time = SecondsFromUnits(units);
    return hr;
}

HRESULT GraphSeeking::get_StopTime(REFTIME* time) {
    if (!time) return E_POINTER;
    LONGLONG units = 0;
    const HRESULT hr = GetStopPosition(&units);
    *time = SecondsFromUnits(units);
    return hr;
}

HRESULT GraphSeeking::put_StopTime(REFTIME time) {
    LONGLONG units = UnitsFromSeconds(time);
    return SetPositions(nullptr, AM_SEEKING_NoPositioning, &units, AM_SEEKING_AbsolutePositioning);
}

HRESULT GraphSeeking::get_PrerollTime(REFTIME* time) {
    if (!time) return E_POINTER;
    *time = 0.0;
    return S_OK;
}

HRESULT GraphSeeking::put_PrerollTime(REFTIME /*time*/) {
    return E_NOTIMPL;
}

HRESULT GraphSeeking::put_Rate(double rate) {
    return SetRate(rate);
}

HRESULT GraphSeeking::get_Rate(double* rate) {
    return GetRate(rate);
}

HRESULT GraphSeeking::CanSeekForward(LONG* can_seek) {
    if (!can_seek) return E_POINTER;
    DWORD capabilities = 0;
    GetCapabilities(&capabilities);
    *can_seek = (capabilities & AM_SEEKING_CanSeekForwards) ? OATRUE : OAFALSE;
    return S_OK;
}

HRESULT GraphSeeking::CanSeekBackward(LONG* can_seek) {
    if (!can_seek) return E_POINTER;
    DWORD capabilities = 0;
    GetCapabilities(&capabilities);
    *can_seek = (capabilities & AM_SEEKING_CanSeekBackwards) ? OATRUE : OAFALSE;
    return S_OK;
}

void GraphSeeking::ApplyPositionLocked() {
    LONGLONG start = m_segment_start;
    PassPositionsLocked(&start, nullptr, 0);
}

void GraphSeeking::RecordStopLocked() {
    m_segment_start = CurrentPositionLocked();
}

std::vector<ComPtr<IMediaSeeking>> GraphSeeking::SeekersLocked() {
    SeekerSearch search;
    for (const auto& renderer : GraphTopology::Renderers(m_graph.Filters().Items())) {
        search.FromFilter(renderer.Get(), 0);
    }
    return search.Take();
}

HRESULT GraphSeeking::DurationLocked(LONGLONG* duration) {
    *duration = 0;
    HRESULT result = E_NOTIMPL;
    for (const auto& seeker : SeekersLocked()) {
        LONGLONG own = 0;
        const HRESULT hr = seeker->GetDuration(&own);
        if (FAILED(hr)) {
            if (result == E_NOTIMPL) result = hr;
            continue;
        }
        if (FAILED(result) || own > *duration) *duration = own;
        result = S_OK;
    }
    return result;
}

HRESULT GraphSeeking::StopPositionLocked(LONGLONG* stop) {
    *stop = 0;
    bool known = false;
    for (const auto& seeker : SeekersLocked()) {
        LONGLONG own = 0;
        if (SUCCEEDED(seeker->GetStopPosition(&own)) && (!known || own > *stop)) {
            *stop = own;
            known = true;
        }
    }
    return known ? S_OK : DurationLocked(stop);
}

LONGLONG GraphSeeking::CurrentPositionLocked() {
    if (m_graph.Control().StateLocked() == State_Stopped) return m_segment_start;
    LONGLONG position = SaturatingAdd(m_segment_start, m_graph.Control().StreamTimeLocked());
    LONGLONG stop = 0;
    // After the end of the streams the clock runs on; the position does not.
    if (SUCCEEDED(StopPositionLocked(&stop)) && stop >= m_segment_start && position > stop) {
        position = stop;
    }
    return position;
}

HRESULT GraphSeeking::PassPositionsLocked(LONGLONG* current, LONGLONG* stop, DWORD seek_flags) {
    HRESULT result = E_NOTIMPL;
    const DWORD absolute = AM_SEEKING_AbsolutePositioning;
    const DWORD none = AM_SEEKING_NoPositioning;
    const DWORD current_flags =
        current ? absolute | (seek_flags & AM_SEEKING_SeekToKeyFrame) : none;
    const DWORD stop_flags = stop ? absolute : none;
    for (const auto& seeker : SeekersLocked()) {
        LONGLONG own_current = current ? *current : 0;
        LONGLONG own_stop = stop ? *stop : 0;
        const HRESULT hr = seeker->SetPositions(current ? &own_current : nullptr, current_flags,
                                                stop ? &own_stop : nullptr, stop_flags);
        if (SUCCEEDED(hr)) {
            result = S_OK;
        } else if (result == E_NOTIMPL) {
            result = hr;
        }
    }
    return result;
}
