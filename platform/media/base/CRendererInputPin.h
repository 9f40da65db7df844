// CRendererInputPin: the input pin of a CBaseRenderer. It passes the type checks, connection
// hooks, samples, end of stream and flushes to its renderer, taking the renderer's locks in
// the framework's order (filter lock, then the renderer's sample lock).
// Threading: Receive and EndOfStream on the upstream streaming thread; flushes and connection
// calls on the control thread.
#pragma once

#include "platform/media/base/CBaseInputPin.h"

class CBaseRenderer;

class CRendererInputPin : public CBaseInputPin {
public:
    CRendererInputPin(CBaseRenderer* renderer, CCritSec* lock, LPCWSTR pin_name);
    ~CRendererInputPin() override;

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    HRESULT CheckMediaType(const CMediaType* type) override;

    // The base input pin's checks (streaming state, type change), for the renderer.
    HRESULT CheckReceive(IMediaSample* sample) { return CBaseInputPin::Receive(sample); }

protected:
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT CompleteConnect(IPin* receive_pin) override;
    HRESULT BreakConnect() override;

private:
    CBaseRenderer* const m_renderer;
};
