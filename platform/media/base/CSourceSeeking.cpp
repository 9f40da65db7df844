#include "platform/media/base/CSourceSeeking.h"

#include <algorithm>
#include <cmath>

#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

bool IsMediaTime(const GUID* format) {
    return !format || *format == TIME_FORMAT_MEDIA_TIME;
}

// The new position for one of SetPositions' pairs, from its flags.
LONGLONG Resolve(LONGLONG value, DWORD flags, LONGLONG current, LONGLONG previous) {
    switch (flags & AM_SEEKING_PositioningBitsMask) {
        case AM_SEEKING_AbsolutePositioning:
            return value;
        case AM_SEEKING_RelativePositioning:
            return previous + value;
        case AM_SEEKING_IncrementalPositioning:
            return current + value;
        default:
            return previous;
    }
}

}  // namespace

CSourceSeeking::CSourceSeeking(CCritSec* lock)
    : m_seek_lock(lock),
      m_capabilities(AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                     AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetCurrentPos |
                     AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration) {}

HRESULT CSourceSeeking::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    *capabilities = m_capabilities;
    return S_OK;
}

HRESULT CSourceSeeking::CheckCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    const DWORD asked = *capabilities;
    *capabilities = asked & m_capabilities;
    if (*capabilities == asked) return S_OK;
    return *capabilities ? S_FALSE : E_FAIL;
}

HRESULT CSourceSeeking::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT CSourceSeeking::QueryPreferredFormat(GUID* format) {
    return GetTimeFormat(format);
}

HRESULT CSourceSeeking::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT CSourceSeeking::IsUsingTimeFormat(const GUID* format) {
    return IsFormatSupported(format);
}

HRESULT CSourceSeeking::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT CSourceSeeking::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    CAutoLock lock(m_seek_lock);
    *duration = m_duration;
    return S_OK;
}

HRESULT CSourceSeeking::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    CAutoLock lock(m_seek_lock);
    *stop = m_stop;
    return S_OK;
}

HRESULT CSourceSeeking::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    CAutoLock lock(m_seek_lock);
    *current = m_start;
    return S_OK;
}

HRESULT CSourceSeeking::ConvertTimeFormat(LONGLONG* target, const GUID* target_format,
                                          LONGLONG source, const GUID* source_format) {
    if (!target) return E_POINTER;
    if (!IsMediaTime(target_format) || !IsMediaTime(source_format)) return E_INVALIDARG;
    *target = source;
    return S_OK;
}

HRESULT CSourceSeeking::SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                     DWORD stop_flags) {
    const DWORD current_mode = current_flags & AM_SEEKING_PositioningBitsMask;
    const DWORD stop_mode = stop_flags & AM_SEEKING_PositioningBitsMask;
    if ((current_mode && !current) || (stop_mode && !stop)) return E_POINTER;
    if (current_mode == AM_SEEKING_IncrementalPositioning) return E_INVALIDARG;
    CAutoLock lock(m_seek_lock);
    LONGLONG now = m_start;
    GetCurrentPosition(&now);
    const LONGLONG start = std::clamp<LONGLONG>(
        Resolve(current_mode ? *current : 0, current_flags, now, m_start), 0, m_duration);
    const LONGLONG new_stop = std::clamp<LONGLONG>(
        Resolve(stop_mode ? *stop : 0, stop_flags, start, m_stop), 0, m_duration);
    const bool stop_changed = stop_mode && new_stop != m_stop;
    m_start = start;
    m_stop = new_stop;
    HRESULT hr = S_OK;
    if (current_mode) {
        hr = ChangeStart();
    } else if (stop_changed) {
        hr = ChangeStop();
    }
    if (FAILED(hr)) return hr;
    if (current_mode && (current_flags & AM_SEEKING_ReturnTime)) *current = m_start;
    if (stop_mode && (stop_flags & AM_SEEKING_ReturnTime)) *stop = m_stop;
    return S_OK;
}

HRESULT CSourceSeeking::GetPositions(LONGLONG* current, LONGLONG* stop) {
    CAutoLock lock(m_seek_lock);
    if (current) *current = m_start;
    if (stop) *stop = m_stop;
    return S_OK;
}

HRESULT CSourceSeeking::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    CAutoLock lock(m_seek_lock);
    if (earliest) *earliest = 0;
    if (latest) *latest = m_duration;
    return S_OK;
}

HRESULT CSourceSeeking::SetRate(double rate) {
    if (rate <= 0.0 || std::isnan(rate)) return E_INVALIDARG;
    return rate == 1.0 ? S_OK : E_NOTIMPL;
}

HRESULT CSourceSeeking::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

HRESULT CSourceSeeking::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}
