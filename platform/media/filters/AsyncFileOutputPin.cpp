#include "platform/media/filters/AsyncFileOutputPin.h"

#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPullPin.h"
#include "platform/media/filters/AsyncFileSource.h"
#include "platform/sync/CAutoLock.h"

AsyncFileOutputPin::AsyncFileOutputPin(AsyncFileSource* filter, CCritSec* lock)
    : CAsyncReaderPin("File Source output pin", filter, lock, u"Output"), m_source(filter) {}

AsyncFileOutputPin::~AsyncFileOutputPin() = default;

const CMediaType* AsyncFileOutputPin::ServedType() {
    return &m_source->StreamType();
}

HRESULT AsyncFileOutputPin::SampleRange(IMediaSample* sample, LONGLONG* position, long* length,
                                        BYTE** buffer) {
    REFERENCE_TIME start = 0;
    LONGLONG count = 0;
    HRESULT hr = RequestedBytes(sample, &start, position, &count);
    if (FAILED(hr)) return hr;
    if (count > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    // The read itself still asks for the whole count, so that it reports S_FALSE and the
    // short length; only the stop time is moved to where the data ends.
    const LONGLONG total = m_source->FileSize();
    if (*position + count > total) {
        REFERENCE_TIME end = (*position < total ? total : *position) * UNITS;
        sample->SetTime(&start, &end);
    }
    *length = static_cast<long>(count);
    hr = sample->GetPointer(buffer);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT AsyncFileOutputPin::Request(IMediaSample* sample, DWORD_PTR user) {
    if (!sample) return E_POINTER;
    LONGLONG position = 0;
    long length = 0;
    BYTE* buffer = nullptr;
    const HRESULT hr = SampleRange(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    return m_source->Queue().Request(position, length, buffer, sample, user);
}

HRESULT AsyncFileOutputPin::WaitForNext(DWORD milliseconds, IMediaSample** sample,
                                        DWORD_PTR* user) {
    if (!sample || !user) return E_POINTER;
    long actual = 0;
    const HRESULT hr = m_source->Queue().WaitForNext(milliseconds, sample, user, &actual);
    if (*sample) (*sample)->SetActualDataLength(actual);
    return hr;
}

HRESULT AsyncFileOutputPin::SyncReadAligned(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    LONGLONG position = 0;
    long length = 0;
    BYTE* buffer = nullptr;
    HRESULT hr = SampleRange(sample, &position, &length, &buffer);
    if (FAILED(hr)) return hr;
    long actual = 0;
    hr = m_source->Queue().SyncRead(position, length, buffer, &actual);
    sample->SetActualDataLength(actual);
    return hr;
}

HRESULT AsyncFileOutputPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (!buffer) return E_POINTER;
    return m_source->Queue().SyncRead(position, length, buffer, nullptr);
}

HRESULT AsyncFileOutputPin::Length(LONGLONG* total, LONGLONG* available) {
    if (!total) return E_POINTER;
    *total = m_source->FileSize();
    if (available) *available = *total;
    return S_OK;
}

HRESULT AsyncFileOutputPin::BeginFlush() {
    m_source->Queue().BeginFlush();
    return S_OK;
}

HRESULT AsyncFileOutputPin::EndFlush() {
    m_source->Queue().EndFlush();
    return S_OK;
}
