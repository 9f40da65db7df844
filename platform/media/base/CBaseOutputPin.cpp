#include "platform/media/base/CBaseOutputPin.h"

#include "platform/media/base/CMemAllocator.h"

CBaseOutputPin::CBaseOutputPin(LPCSTR object_name, CBaseFilter* filter, CCritSec* lock,
                               LPCWSTR pin_name)
    : CBasePin(object_name, filter, lock, pin_name, PINDIR_OUTPUT) {}

CBaseOutputPin::~CBaseOutputPin() = default;

HRESULT CBaseOutputPin::CheckConnect(IPin* pin) {
    HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    hr = pin->QueryInterface(IID_PPV_ARGS(m_input_pin.ReleaseAndGetAddressOf()));
    return FAILED(hr) ? VFW_E_NO_TRANSPORT : S_OK;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin* /*receive_pin*/) {
    if (!m_input_pin) return VFW_E_NO_TRANSPORT;
    return DecideAllocator(m_input_pin.Get(), m_allocator.ReleaseAndGetAddressOf());
}

HRESULT CBaseOutputPin::BreakConnect() {
    if (m_allocator) {
        m_allocator->Decommit();
        m_allocator = nullptr;
    }
    m_input_pin = nullptr;
    return S_OK;
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** allocator) {
    return CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                         reinterpret_cast<void**>(allocator));
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    if (!pin || !allocator) return E_POINTER;
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES request{};
    pin->GetAllocatorRequirements(&request);  // E_NOTIMPL leaves it zeroed
    if (request.cbAlign == 0) request.cbAlign = 1;

    ComPtr<IMemAllocator> candidate;
    HRESULT hr = pin->GetAllocator(candidate.GetAddressOf());
    if (SUCCEEDED(hr) && candidate) {
        ALLOCATOR_PROPERTIES sized = request;
        hr = DecideBufferSize(candidate.Get(), &sized);
        if (SUCCEEDED(hr)) hr = pin->NotifyAllocator(candidate.Get(), FALSE);
        if (SUCCEEDED(hr)) {
            *allocator = candidate.Detach();
            return S_OK;
        }
    }
    hr = InitAllocator(candidate.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    ALLOCATOR_PROPERTIES sized = request;
    hr = DecideBufferSize(candidate.Get(), &sized);
    if (FAILED(hr)) return hr;
    hr = pin->NotifyAllocator(candidate.Get(), FALSE);
    if (FAILED(hr)) return hr;
    *allocator = candidate.Detach();
    return S_OK;
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                          REFERENCE_TIME* stop, DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    if (!m_allocator) return VFW_E_NO_ALLOCATOR;
    return m_allocator->GetBuffer(sample, start, stop, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample) {
    if (!m_input_pin) return VFW_E_NOT_CONNECTED;
    return m_input_pin->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream() {
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_connected->EndOfStream();
}

HRESULT CBaseOutputPin::DeliverBeginFlush() {
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_connected->BeginFlush();
}

HRESULT CBaseOutputPin::DeliverEndFlush() {
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_connected->EndFlush();
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_connected->NewSegment(start, stop, rate);
}

HRESULT CBaseOutputPin::Active() {
    if (!m_allocator) return VFW_E_NO_ALLOCATOR;
    return m_allocator->Commit();
}

HRESULT CBaseOutputPin::Inactive() {
    return m_allocator ? m_allocator->Decommit() : S_OK;
}

HRESULT CBaseOutputPin::EndOfStream() {
    return E_UNEXPECTED;
}

HRESULT CBaseOutputPin::BeginFlush() {
    return E_UNEXPECTED;
}

HRESULT CBaseOutputPin::EndFlush() {
    return E_UNEXPECTED;
}
