#include "platform/media/filters/WaveParserOutputPin.h"

#include <algorithm>
#include <cmath>

#include "platform/media/filters/WaveParserFilter.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

constexpr long kDeliveryBuffers = 4;

}  // namespace

WaveParserOutputPin::WaveParserOutputPin(WaveParserFilter* filter, CCritSec* lock)
    : CBaseOutputPin("Wave Parser output pin", filter, lock, u"output"),
      CSourceSeeking(lock),
      m_parser(filter) {}

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

HRESULT WaveParserOutputPin::GetDuration(LONGLONG* duration) {
    CAutoLock lock(m_lock);
    if (!m_parser->Timeline().IsValid()) return VFW_E_NOT_CONNECTED;
    return CSourceSeeking::GetDuration(duration);
}

HRESULT WaveParserOutputPin::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    *current = m_parser->CurrentTime();
    return S_OK;
}

void WaveParserOutputPin::SetDuration(REFERENCE_TIME duration) {
    m_duration = duration;
    m_start = 0;
    m_stop = duration;
}

HRESULT WaveParserOutputPin::ChangeStart() {
    const HRESULT hr = m_parser->SetSegment(&m_start, m_stop);
    // The parser starts on a whole block.
    if (SUCCEEDED(hr)) m_start = m_parser->StartTime();
    return hr;
}

HRESULT WaveParserOutputPin::ChangeStop() {
    return m_parser->SetSegment(nullptr, m_stop);
}
