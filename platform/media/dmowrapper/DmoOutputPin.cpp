#include "platform/media/dmowrapper/DmoOutputPin.h"

#include <algorithm>

#include "platform/media/dmowrapper/DmoWrapperFilter.h"

DmoOutputPin::DmoOutputPin(DmoWrapperFilter* filter, CCritSec* lock, LPCWSTR name, DWORD stream)
    : CBaseOutputPin("DMO wrapper output pin", filter, lock, name),
      m_wrapper(filter),
      m_stream(stream) {}

DmoOutputPin::~DmoOutputPin() = default;

HRESULT DmoOutputPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IMediaSeeking)) {
        return GetInterface(static_cast<IMediaSeeking*>(this), object);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(iid, object);
}

HRESULT DmoOutputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    const HRESULT hr =
        m_wrapper->MediaObject()->SetOutputType(m_stream, type, DMO_SET_TYPEF_TEST_ONLY);
    return hr == S_OK ? S_OK : S_FALSE;
}

HRESULT DmoOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (!type) return E_POINTER;
    AM_MEDIA_TYPE offered{};
    const HRESULT hr =
        m_wrapper->MediaObject()->GetOutputType(m_stream, static_cast<DWORD>(position), &offered);
    // An object that needs its input type first has nothing to offer yet.
    if (hr == DMO_E_NO_MORE_ITEMS || hr == DMO_E_TYPE_NOT_SET) return VFW_S_NO_MORE_ITEMS;
    if (FAILED(hr)) return hr;
    *type = offered;
    FreeMediaType(offered);
    return S_OK;
}

HRESULT DmoOutputPin::SetMediaType(const CMediaType* type) {
    const HRESULT hr = m_wrapper->MediaObject()->SetOutputType(m_stream, type, 0);
    if (FAILED(hr)) return hr;
    return CBaseOutputPin::SetMediaType(type);
}

HRESULT DmoOutputPin::BreakConnect() {
    m_wrapper->MediaObject()->SetOutputType(m_stream, nullptr, DMO_SET_TYPEF_CLEAR);
    return CBaseOutputPin::BreakConnect();
}

HRESULT DmoOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    if (!allocator || !request) return E_POINTER;
    DWORD size = 0;
    DWORD alignment = 1;
    const HRESULT hr = m_wrapper->MediaObject()->GetOutputSizeInfo(m_stream, &size, &alignment);
    if (FAILED(hr)) return hr;
    ALLOCATOR_PROPERTIES wanted = *request;
    wanted.cBuffers = std::max(wanted.cBuffers, 2L);
    wanted.cbBuffer =
        std::max({wanted.cbBuffer, static_cast<long>(size), m_wrapper->LargestInputBuffer(), 1L});
    wanted.cbAlign = std::max({wanted.cbAlign, static_cast<long>(alignment), 1L});
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT set = allocator->SetProperties(&wanted, &actual);
    if (FAILED(set)) return set;
    // A buffer smaller than one output unit could never be filled.
    return actual.cbBuffer >= static_cast<long>(size) && actual.cBuffers > 0 ? S_OK : E_FAIL;
}

CBasePin* DmoOutputPin::PassThroughPin() {
    return m_wrapper->InputPin(0);
}
