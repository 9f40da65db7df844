#include "engine/TimeStretchOutputPin.h"

#include <algorithm>

#include "engine/TimeStretchSource.h"
#include "platform/com/ComPtr.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/sync/CAutoLock.h"

namespace {

constexpr REFERENCE_TIME kUnitsPerByte = 10'000'000;

}  // namespace

TimeStretchOutputPin::TimeStretchOutputPin(TimeStretchSource* filter, CCritSec* lock)
    : CAsyncReaderPin("Tarvik Time Stretcher output pin", filter, lock, u"Output"),
      m_source(filter) {}

TimeStretchOutputPin::~TimeStretchOutputPin() = default;

const CMediaType* TimeStretchOutputPin::ServedType() {
    return m_source && m_source->IsServing() ? &m_source->ServedType() : nullptr;
}

LONG TimeStretchOutputPin::ReaderAlignment() {
    LONG alignment = 1;
    if (m_source) m_source->Queue().Alignment(&alignment);
    return alignment;
}

// ---- IAsyncReader ------------------------------------------------------------------------

HRESULT TimeStretchOutputPin::SampleRange(IMediaSample* sample, LONGLONG* position, LONG* length,
                                          BYTE** buffer) {
    REFERENCE_TIME start = 0;
    LONGLONG count = 0;
    HRESULT hr = RequestedBytes(sample, &start, position, &count);
    if (FAILED(hr)) return hr;
    LONGLONG total = 0;
    LONGLONG available = 0;
    m_source->Queue().Length(&total, &available);
    if (*position + count > total) {
        LONG alignment = 1;
        m_source->Queue().Alignment(&alignment);
        const LONGLONG rounded =
            alignment > 1 ? (total + alignment - 1) / alignment * alignment : total;
        if (*position + count > rounded) {
            // A read at or beyond the end asks for nothing rather than for a negative count.
            const LONGLONG end = std::max(total, *position);
            count = end - *position;
            REFERENCE_TIME end_time = end * kUnitsPerByte;
            sample->SetTime(&start, &end_time);
        }
    }
    if (count > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    *length = static_cast<LONG>(count);
    hr = sample->GetPointer(buffer);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT TimeStretchOutputPin::Request(IMediaSample* sample, DWORD_PTR user) {
    if (!sample) return E_POINTER;
    if (!m_source) return E_UNEXPECTED;
    if (!m_source->IsServing()) return VFW_E_WRONG_STATE;
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    const HRESULT hr = SampleRange(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    return m_source->Queue().Request(position, length, TRUE, buffer, sample, user);
}

HRESULT TimeStretchOutputPin::WaitForNext(DWORD milliseconds, IMediaSample** sample,
                                          DWORD_PTR* user) {
    if (!sample || !user) return E_POINTER;
    *sample = nullptr;
    *user = 0;
    if (!m_source) return E_UNEXPECTED;
    LONG bytes = 0;
    const HRESULT hr = m_source->Queue().WaitForNext(milliseconds, sample, user, &bytes);
    if (SUCCEEDED(hr) && *sample) (*sample)->SetActualDataLength(bytes);
    return hr;
}

HRESULT TimeStretchOutputPin::SyncReadAligned(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (!m_source) return E_UNEXPECTED;
    if (!m_source->IsServing()) return VFW_E_WRONG_STATE;
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    HRESULT hr = SampleRange(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    LONG bytes = 0;
    hr = m_source->Queue().SyncReadAligned(position, length, buffer, &bytes, sample);
    sample->SetActualDataLength(bytes);
    return hr;
}

HRESULT TimeStretchOutputPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (!buffer) return E_POINTER;
    if (!m_source) return E_UNEXPECTED;
    if (!m_source->IsServing()) return VFW_E_WRONG_STATE;
    return m_source->Queue().SyncRead(position, length, buffer);
}

HRESULT TimeStretchOutputPin::Length(LONGLONG* total, LONGLONG* available) {
    if (!total) return E_POINTER;
    if (!m_source) return E_UNEXPECTED;
    return m_source->Queue().Length(total, available);
}

HRESULT TimeStretchOutputPin::BeginFlush() {
    if (!m_source) return E_UNEXPECTED;
    return m_source->Queue().BeginFlush();
}

HRESULT TimeStretchOutputPin::EndFlush() {
    if (!m_source) return E_UNEXPECTED;
    return m_source->Queue().EndFlush();
}
