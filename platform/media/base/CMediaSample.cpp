#include "platform/media/base/CMediaSample.h"

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/base/CMemAllocator.h"

CMediaSample::CMediaSample(CMemAllocator* allocator, BYTE* buffer, long size)
    : m_allocator(allocator), m_buffer(buffer), m_size(size), m_actual(size) {}

CMediaSample::~CMediaSample() {
    DeleteMediaType(m_type);
}

HRESULT CMediaSample::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IMediaSample) || IsEqualIID(iid, IID_IUnknown)) {
        return GetInterface(static_cast<IMediaSample*>(this), object);
    }
    return E_NOINTERFACE;
}

ULONG CMediaSample::AddRef() {
    return ++m_references;
}

ULONG CMediaSample::Release() {
    const ULONG count = --m_references;
    // Nothing of this object may be touched after ReleaseBuffer: it may free the allocator.
    if (count == 0) m_allocator->ReleaseBuffer(this);
    return count;
}

HRESULT CMediaSample::GetPointer(BYTE** buffer) {
    if (!buffer) return E_POINTER;
    *buffer = m_buffer;
    return S_OK;
}

long CMediaSample::GetSize() {
    return m_size;
}

HRESULT CMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
    if (!start || !stop) return E_POINTER;
    if (!Has(kTimeValid)) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = m_start;
    if (Has(kStopValid)) {
        *stop = m_stop;
        return S_OK;
    }
    *stop = m_start + 1;
    return VFW_S_NO_STOP_TIME;
}

HRESULT CMediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
    if (!start) {
        m_flags &= ~(kTimeValid | kStopValid);
        return S_OK;
    }
    m_start = *start;
    m_flags |= kTimeValid;
    if (stop) {
        m_stop = *stop;
        m_flags |= kStopValid;
    } else {
        m_flags &= ~kStopValid;
    }
    return S_OK;
}

HRESULT CMediaSample::IsSyncPoint() {
    return Has(kSyncPoint) ? S_OK : S_FALSE;
}

HRESULT CMediaSample::SetSyncPoint(BOOL sync_point) {
    Put(kSyncPoint, sync_point);
    return S_OK;
}

HRESULT CMediaSample::IsPreroll() {
    return Has(kPreroll) ? S_OK : S_FALSE;
}

HRESULT CMediaSample::SetPreroll(BOOL preroll) {
    Put(kPreroll, preroll);
    return S_OK;
}

long CMediaSample::GetActualDataLength() {
    return m_actual;
}

HRESULT CMediaSample::SetActualDataLength(long length) {
    if (length < 0) return E_INVALIDARG;
    if (length > m_size) return VFW_E_BUFFER_OVERFLOW;
    m_actual = length;
    return S_OK;
}

HRESULT CMediaSample::GetMediaType(AM_MEDIA_TYPE** type) {
    if (!type) return E_POINTER;
    *type = nullptr;
    if (!m_type) return S_FALSE;
    *type = CreateMediaType(m_type);
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMediaSample::SetMediaType(AM_MEDIA_TYPE* type) {
    DeleteMediaType(m_type);
    m_type = nullptr;
    if (!type) return S_OK;
    m_type = CreateMediaType(type);
    return m_type ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMediaSample::IsDiscontinuity() {
    return Has(kDiscontinuity) ? S_OK : S_FALSE;
}

HRESULT CMediaSample::SetDiscontinuity(BOOL discontinuity) {
    Put(kDiscontinuity, discontinuity);
    return S_OK;
}

HRESULT CMediaSample::GetMediaTime(LONGLONG* start, LONGLONG* stop) {
    if (!start || !stop) return E_POINTER;
    if (!Has(kMediaTimeValid)) return VFW_E_MEDIA_TIME_NOT_SET;
    *start = m_media_start;
    *stop = m_media_stop;
    return S_OK;
}

HRESULT CMediaSample::SetMediaTime(LONGLONG* start, LONGLONG* stop) {
    if (!start) {
        m_flags &= ~kMediaTimeValid;
        return S_OK;
    }
    if (!stop) return E_POINTER;
    m_media_start = *start;
    m_media_stop = *stop;
    m_flags |= kMediaTimeValid;
    return S_OK;
}

void CMediaSample::ResetProperties() {
    m_flags = 0;
    m_actual = m_size;
    DeleteMediaType(m_type);
    m_type = nullptr;
}
