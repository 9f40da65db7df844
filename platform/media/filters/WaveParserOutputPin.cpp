#include "platform/media/filters/WaveParserOutputPin.h"

#include <algorithm>
#include <cmath>

#include "platform/media/filters/WaveParserFilter.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

constexpr long kDeliveryBuffers = 4;
constexpr DWORD kCapabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                                AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetCurrentPos |
                                AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;

bool IsMediaTime(const GUID* format) {
    return !format || *format == TIME_FORMAT_MEDIA_TIME;
}

}  // namespace

WaveParserOutputPin::WaveParserOutputPin(WaveParserFilter* filter, CCritSec* lock)
    : CBaseOutputPin("Wave Parser output pin", filter, lock, u"output"), m_parser(filter) {}

WaveParserOutputPin::~WaveParserOutputPin() = default;

HRESULT WaveParserOutputPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking)) {
        return GetInterface(static_cast<IMediaSeeking*>(this), object);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(iid, object);
}

HRESULT WaveParserOutputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    CAutoLock lock(m_lock);
    const CMediaType& mine = m_parser->AudioType();
    if (!mine.IsValid()) return VFW_E_NOT_CONNECTED;
    return *type == mine ? S_OK : S_FALSE;
}

HRESULT WaveParserOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (!type) return E_POINTER;
    CAutoLock lock(m_lock);
    const CMediaType& mine = m_parser->AudioType();
    if (position > 0 || !mine.IsValid()) return VFW_S_NO_MORE_ITEMS;
    return type->Set(mine);
}

HRESULT WaveParserOutputPin::DecideBufferSize(IMemAllocator* allocator,
                                              ALLOCATOR_PROPERTIES* request) {
    if (!allocator || !request) return E_POINTER;
    const long chunk = static_cast<long>(m_parser->Timeline().ChunkBytes());
    if (chunk <= 0) return VFW_E_NOT_CONNECTED;
    request->cBuffers = std::max(request->cBuffers, kDeliveryBuffers);
    request->cbBuffer = std::max(request->cbBuffer, chunk);
    request->cbAlign = std::max(request->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    // Every read must fit one delivery buffer.
    return actual.cbBuffer >= chunk && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

HRESULT WaveParserOutputPin::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    *capabilities = kCapabilities;
    return S_OK;
}

HRESULT WaveParserOutputPin::CheckCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    const DWORD asked = *capabilities;
    *capabilities = asked & kCapabilities;
    if (*capabilities == asked) return S_OK;
    return *capabilities ? S_FALSE : E_FAIL;
}

HRESULT WaveParserOutputPin::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT WaveParserOutputPin::QueryPreferredFormat(GUID* format) {
    return GetTimeFormat(format);
}

HRESULT WaveParserOutputPin::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT WaveParserOutputPin::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT WaveParserOutputPin::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT WaveParserOutputPin::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    CAutoLock lock(m_lock);
    if (!m_parser->Timeline().IsValid()) return VFW_E_NOT_CONNECTED;
    *duration = m_parser->Timeline().Duration();
    return S_OK;
}

HRESULT WaveParserOutputPin::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    CAutoLock lock(m_lock);
    if (!m_parser->Timeline().IsValid()) return VFW_E_NOT_CONNECTED;
    *stop = m_parser->StopTime();
    return S_OK;
}

HRESULT WaveParserOutputPin::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    *current = m_parser->CurrentTime();
    return S_OK;
}

HRESULT WaveParserOutputPin::ConvertTimeFormat(LONGLONG* target, const GUID* target_format,
                                               LONGLONG source, const GUID* source_format) {
    if (!target) return E_POINTER;
    if (!IsMediaTime(target_format) || !IsMediaTime(source_format)) return E_INVALIDARG;
    *target = source;
    return S_OK;
}

LONGLONG WaveParserOutputPin::Resolve(LONGLONG value, DWORD flags, LONGLONG current,
                                      LONGLONG previous) {
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

HRESULT WaveParserOutputPin::SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                          DWORD stop_flags) {
    const DWORD current_mode = current_flags & AM_SEEKING_PositioningBitsMask;
    const DWORD stop_mode = stop_flags & AM_SEEKING_PositioningBitsMask;
    if ((current_mode && !current) || (stop_mode && !stop)) return E_POINTER;
    if (current_mode == AM_SEEKING_IncrementalPositioning) return E_INVALIDARG;
    CAutoLock lock(m_lock);
    if (!m_parser->Timeline().IsValid()) return VFW_E_NOT_CONNECTED;
    const LONGLONG now = m_parser->CurrentTime();
    const LONGLONG start = Resolve(current_mode ? *current : 0, current_flags, now, now);
    const LONGLONG new_stop =
        Resolve(stop_mode ? *stop : 0, stop_flags, start, m_parser->StopTime());
    const HRESULT hr = m_parser->SetSegment(current_mode ? &start : nullptr, new_stop);
    if (FAILED(hr)) return hr;
    if (current_mode && (current_flags & AM_SEEKING_ReturnTime)) *current = m_parser->StartTime();
    if (stop_mode && (stop_flags & AM_SEEKING_ReturnTime)) *stop = m_parser->StopTime();
    return S_OK;
}

HRESULT WaveParserOutputPin::GetPositions(LONGLONG* current, LONGLONG* stop) {
    if (current) GetCurrentPosition(current);
    if (stop) return GetStopPosition(stop);
    return S_OK;
}

HRESULT WaveParserOutputPin::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    if (earliest) *earliest = 0;
    return latest ? GetDuration(latest) : S_OK;
}

HRESULT WaveParserOutputPin::SetRate(double rate) {
    if (rate <= 0.0 || std::isnan(rate)) return E_INVALIDARG;
    return rate == 1.0 ? S_OK : E_NOTIMPL;
}

HRESULT WaveParserOutputPin::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

HRESULT WaveParserOutputPin::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}
