#include "platform/media/dmowrapper/SampleMediaBuffer.h"

#include <new>

SampleMediaBuffer::SampleMediaBuffer(IMediaSample* sample)
    : CUnknown("Sample media buffer"), m_sample(sample) {}

ComPtr<IMediaBuffer> SampleMediaBuffer::Create(IMediaSample* sample, HRESULT* hr) {
    ComPtr<IMediaBuffer> buffer;
    auto* made = new (std::nothrow) SampleMediaBuffer(sample);
    if (!made) {
        if (hr) *hr = E_OUTOFMEMORY;
        return buffer;
    }
    buffer = static_cast<IMediaBuffer*>(made);
    if (hr) *hr = S_OK;
    return buffer;
}

HRESULT SampleMediaBuffer::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IMediaBuffer)) {
        return GetInterface(static_cast<IMediaBuffer*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT SampleMediaBuffer::SetLength(DWORD length) {
    if (length > static_cast<DWORD>(m_sample->GetSize())) return E_INVALIDARG;
    return m_sample->SetActualDataLength(static_cast<long>(length));
}

HRESULT SampleMediaBuffer::GetMaxLength(DWORD* max_length) {
    if (!max_length) return E_POINTER;
    *max_length = static_cast<DWORD>(m_sample->GetSize());
    return S_OK;
}

HRESULT SampleMediaBuffer::GetBufferAndLength(BYTE** buffer, DWORD* length) {
    if (!buffer && !length) return E_POINTER;
    if (buffer) {
        const HRESULT hr = m_sample->GetPointer(buffer);
        if (FAILED(hr)) return hr;
    }
    if (length) *length = static_cast<DWORD>(m_sample->GetActualDataLength());
    return S_OK;
}
