#include "platform/media/base/CAsyncReaderPin.h"

#include "platform/com/ComPtr.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPullPin.h"
#include "platform/sync/CAutoLock.h"

CAsyncReaderPin::CAsyncReaderPin(const char* object_name, CBaseFilter* filter, CCritSec* lock,
                                 LPCWSTR pin_name)
    : CBasePin(object_name, filter, lock, pin_name, PINDIR_OUTPUT) {}

CAsyncReaderPin::~CAsyncReaderPin() = default;

HRESULT CAsyncReaderPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IAsyncReader)) {
        // The peer will pull: that is what lets the connection complete.
        m_reader_asked = true;
        return GetInterface(static_cast<IAsyncReader*>(this), object);
    }
    return CBasePin::NonDelegatingQueryInterface(iid, object);
}

HRESULT CAsyncReaderPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!type) return E_POINTER;
    CAutoLock lock(m_lock);
    const CMediaType* served = ServedType();
    if (!served) return VFW_S_NO_MORE_ITEMS;  // nothing to offer yet
    return type->Set(*served);
}

HRESULT CAsyncReaderPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    CAutoLock lock(m_lock);
    const CMediaType* served = ServedType();
    if (!served) return S_FALSE;
    if (*type->Type() != *served->Type()) return S_FALSE;
    if (*served->Subtype() != GUID_NULL && *type->Subtype() != *served->Subtype()) return S_FALSE;
    return S_OK;
}

HRESULT CAsyncReaderPin::CheckConnect(IPin* pin) {
    m_reader_asked = false;
    return CBasePin::CheckConnect(pin);
}

HRESULT CAsyncReaderPin::CompleteConnect(IPin* receive_pin) {
    if (!m_reader_asked) return VFW_E_NO_TRANSPORT;
    return CBasePin::CompleteConnect(receive_pin);
}

HRESULT CAsyncReaderPin::BreakConnect() {
    m_reader_asked = false;
    return CBasePin::BreakConnect();
}

bool CAsyncReaderPin::IsAcceptableAlignment(LONG alignment) {
    const LONG needed = ReaderAlignment();
    return alignment > 0 && (needed <= 1 || alignment % needed == 0);
}

HRESULT CAsyncReaderPin::RequestAllocator(IMemAllocator* preferred,
                                          ALLOCATOR_PROPERTIES* properties,
                                          IMemAllocator** actual) {
    if (!properties || !actual) return E_POINTER;
    *actual = nullptr;
    // 0 means "no wish"; an alignment the reads cannot use is replaced by theirs.
    if (!IsAcceptableAlignment(properties->cbAlign)) properties->cbAlign = ReaderAlignment();
    ALLOCATOR_PROPERTIES granted{};
    if (preferred && SUCCEEDED(preferred->SetProperties(properties, &granted)) &&
        IsAcceptableAlignment(granted.cbAlign)) {
        preferred->AddRef();
        *actual = preferred;
        return S_OK;
    }
    // E_OUTOFMEMORY when it cannot be made, E_NOINTERFACE without the allocator interface.
    ComPtr<IMemAllocator> allocator;
    HRESULT hr = CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                               reinterpret_cast<void**>(allocator.GetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = allocator->SetProperties(properties, &granted);
    if (FAILED(hr)) return hr;
    if (!IsAcceptableAlignment(granted.cbAlign)) return VFW_E_BADALIGN;
    *actual = allocator.Detach();
    return S_OK;
}

HRESULT CAsyncReaderPin::RequestedBytes(IMediaSample* sample, REFERENCE_TIME* start,
                                        LONGLONG* position, LONGLONG* count) {
    REFERENCE_TIME stop = 0;
    const HRESULT hr = sample->GetTime(start, &stop);
    if (FAILED(hr)) return hr;
    if (*start < 0 || stop < *start) return E_INVALIDARG;
    *position = *start / UNITS;
    *count = (stop - *start) / UNITS;
    return S_OK;
}
