#include "platform/media/dmowrapper/DmoInputPin.h"

#include "platform/media/dmowrapper/DmoWrapperFilter.h"

DmoInputPin::DmoInputPin(DmoWrapperFilter* filter, CCritSec* lock, LPCWSTR name, DWORD stream)
    : CBaseInputPin("DMO wrapper input pin", filter, lock, name),
      m_wrapper(filter),
      m_stream(stream) {}

DmoInputPin::~DmoInputPin() = default;

HRESULT DmoInputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    const HRESULT hr =
        m_wrapper->MediaObject()->SetInputType(m_stream, type, DMO_SET_TYPEF_TEST_ONLY);
    return hr == S_OK ? S_OK : S_FALSE;
}

HRESULT DmoInputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (!type) return E_POINTER;
    AM_MEDIA_TYPE offered{};
    const HRESULT hr =
        m_wrapper->MediaObject()->GetInputType(m_stream, static_cast<DWORD>(position), &offered);
    if (hr == DMO_E_NO_MORE_ITEMS) return VFW_S_NO_MORE_ITEMS;
    if (FAILED(hr)) return hr;
    *type = offered;
    FreeMediaType(offered);
    return S_OK;
}

HRESULT DmoInputPin::SetMediaType(const CMediaType* type) {
    const HRESULT hr = m_wrapper->MediaObject()->SetInputType(m_stream, type, 0);
    if (FAILED(hr)) return hr;
    return CBaseInputPin::SetMediaType(type);
}

HRESULT DmoInputPin::BreakConnect() {
    m_wrapper->MediaObject()->SetInputType(m_stream, nullptr, DMO_SET_TYPEF_CLEAR);
    return CBaseInputPin::BreakConnect();
}

HRESULT DmoInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_wrapper->ProcessSample(m_stream, sample);
}

HRESULT DmoInputPin::EndOfStream() {
    // Nothing to drain while flushing; the flush has emptied the object.
    if (IsFlushing()) return S_FALSE;
    return m_wrapper->EndOfInput(m_stream);
}

HRESULT DmoInputPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    return m_wrapper->BeginFlushing();
}

HRESULT DmoInputPin::EndFlush() {
    const HRESULT hr = m_wrapper->EndFlushing();
    CBaseInputPin::EndFlush();
    return hr;
}

HRESULT DmoInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    CBaseInputPin::NewSegment(start, stop, rate);
    return m_wrapper->PassNewSegment(start, stop, rate);
}
