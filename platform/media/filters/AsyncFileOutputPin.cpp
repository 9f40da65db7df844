#include "platform/media/filters/AsyncFileOutputPin.h"

#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPullPin.h"
#include "platform/media/filters/AsyncFileSource.h"
#include "platform/sync/CAutoLock.h"

AsyncFileOutputPin::AsyncFileOutputPin(AsyncFileSource* filter, CCritSec* lock)
    : CBasePin("File Source output pin", filter, lock, u"Output", PINDIR_OUTPUT),
      m_source(filter) {}

AsyncFileOutputPin::~AsyncFileOutputPin() = default;

HRESULT AsyncFileOutputPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IAsyncReader)) {
        // The peer will pull: that is what lets the connection complete.
        m_reader_asked = true;
        return GetInterface(static_cast<IAsyncReader*>(this), object);
    }
    return CBasePin::NonDelegatingQueryInterface(iid, object);
}

HRESULT AsyncFileOutputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    CAutoLock lock(m_lock);
    const CMediaType& mine = m_source->StreamType();
    if (*type->Type() != *mine.Type()) return S_FALSE;
    if (*mine.Subtype() != GUID_NULL && *type->Subtype() != *mine.Subtype()) return S_FALSE;
    return S_OK;
}

HRESULT AsyncFileOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!type) return E_POINTER;
    CAutoLock lock(m_lock);
    return type->Set(m_source->StreamType());
}

HRESULT AsyncFileOutputPin::CheckConnect(IPin* pin) {
    m_reader_asked = false;
    return CBasePin::CheckConnect(pin);
}

HRESULT AsyncFileOutputPin::CompleteConnect(IPin* receive_pin) {
    if (!m_reader_asked) return VFW_E_NO_TRANSPORT;
    return CBasePin::CompleteConnect(receive_pin);
}

HRESULT AsyncFileOutputPin::BreakConnect() {
    m_reader_asked = false;
    return CBasePin::BreakConnect();
}

HRESULT AsyncFileOutputPin::RequestAllocator(IMemAllocator* preferred,
                                             ALLOCATOR_PROPERTIES* properties,
                                             IMemAllocator** actual) {
    if (!properties || !actual) return E_POINTER;
    *actual = nullptr;
    // Any alignment suits a file read; 0 means "no wish".
    if (properties->cbAlign <= 0) properties->cbAlign = 1;
    ALLOCATOR_PROPERTIES granted{};
    if (preferred && SUCCEEDED(preferred->SetProperties(properties, &granted))) {
        preferred->AddRef();
        *actual = preferred;
        return S_OK;
    }
    ComPtr<IMemAllocator> allocator;
    HRESULT hr = CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                               reinterpret_cast<void**>(allocator.GetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = allocator->SetProperties(properties, &granted);
    if (FAILED(hr)) return hr;
    *actual = allocator.Detach();
    return S_OK;
}

HRESULT AsyncFileOutputPin::SampleRange(IMediaSample* sample, LONGLONG* position, long* length,
                                        BYTE** buffer) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    HRESULT hr = sample->GetTime(&start, &stop);
    if (FAILED(hr)) return hr;
    if (start < 0 || stop < start) return E_INVALIDARG;
    *position = start / UNITS;
    const LONGLONG count = (stop - start) / UNITS;
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
