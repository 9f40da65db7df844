#include "platform/media/base/CBaseInputPin.h"

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/evcode.h"
#include "platform/sync/CAutoLock.h"

CBaseInputPin::CBaseInputPin(LPCSTR object_name, CBaseFilter* filter, CCritSec* lock,
                             LPCWSTR pin_name)
    : CBasePin(object_name, filter, lock, pin_name, PINDIR_INPUT) {}

CBaseInputPin::~CBaseInputPin() = default;

HRESULT CBaseInputPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IMemInputPin)) {
        return GetInterface(static_cast<IMemInputPin*>(this), object);
    }
    return CBasePin::NonDelegatingQueryInterface(iid, object);
}

HRESULT CBaseInputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    *allocator = nullptr;
    CAutoLock lock(m_lock);
    if (!m_allocator) {
        const HRESULT hr = CMemAllocator::CreateInstance(
            nullptr, IID_IMemAllocator, reinterpret_cast<void**>(m_allocator.GetAddressOf()));
        if (FAILED(hr)) return hr;
    }
    return m_allocator.CopyTo(allocator);
}

HRESULT CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL read_only) {
    if (!allocator) return E_POINTER;
    CAutoLock lock(m_lock);
    m_allocator = allocator;
    m_read_only = read_only != FALSE;
    return S_OK;
}

HRESULT CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* /*properties*/) {
    return E_NOTIMPL;
}

HRESULT CBaseInputPin::CheckStreaming() {
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (m_flushing) return S_FALSE;
    if (m_runtime_error) return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT CBaseInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed) {
        const CMediaType type(*changed);
        DeleteMediaType(changed);
        if (CheckMediaType(&type) != S_OK) {
            // A type we cannot take ends the stream: the graph hears why.
            m_runtime_error = true;
            EndOfStream();
            m_filter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
            return VFW_E_INVALIDMEDIATYPE;
        }
    }
    return S_OK;
}

HRESULT CBaseInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
    if (!samples || !processed) return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

HRESULT CBaseInputPin::ReceiveCanBlock() {
    return S_OK;
}

HRESULT CBaseInputPin::BeginFlush() {
    m_flushing = true;
    return S_OK;
}

HRESULT CBaseInputPin::EndFlush() {
    m_flushing = false;
    m_runtime_error = false;
    return S_OK;
}

HRESULT CBaseInputPin::Inactive() {
    m_runtime_error = false;
    m_flushing = false;
    // Nothing to release when no allocator was agreed.
    return m_allocator ? m_allocator->Decommit() : S_OK;
}

HRESULT CBaseInputPin::BreakConnect() {
    if (m_allocator) {
        m_allocator->Decommit();
        m_allocator = nullptr;
    }
    return S_OK;
}
