#include "platform/media/base/CRendererInputPin.h"

#include "platform/media/base/CBaseRenderer.h"
#include "platform/sync/CAutoLock.h"

CRendererInputPin::CRendererInputPin(CBaseRenderer* renderer, CCritSec* lock, LPCWSTR pin_name)
    : CBaseInputPin("renderer input pin", renderer, lock, pin_name), m_renderer(renderer) {}

CRendererInputPin::~CRendererInputPin() = default;

HRESULT CRendererInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    return m_renderer->Receive(sample);
}

HRESULT CRendererInputPin::EndOfStream() {
    CAutoLock lock(m_lock);
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return m_renderer->EndOfStream();
}

HRESULT CRendererInputPin::BeginFlush() {
    CAutoLock lock(m_lock);
    CBaseInputPin::BeginFlush();
    return m_renderer->BeginFlush();
}

HRESULT CRendererInputPin::EndFlush() {
    CAutoLock lock(m_lock);
    const HRESULT hr = m_renderer->EndFlush();
    if (FAILED(hr)) return hr;
    return CBaseInputPin::EndFlush();
}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* type) {
    return m_renderer->CheckMediaType(type);
}

HRESULT CRendererInputPin::SetMediaType(const CMediaType* type) {
    const HRESULT hr = CBaseInputPin::SetMediaType(type);
    if (FAILED(hr)) return hr;
    return m_renderer->SetMediaType(type);
}

HRESULT CRendererInputPin::CompleteConnect(IPin* receive_pin) {
    const HRESULT hr = CBaseInputPin::CompleteConnect(receive_pin);
    if (FAILED(hr)) return hr;
    return m_renderer->CompleteConnect(receive_pin);
}

HRESULT CRendererInputPin::BreakConnect() {
    const HRESULT hr = m_renderer->BreakConnect();
    if (FAILED(hr)) return hr;
    return CBaseInputPin::BreakConnect();
}
