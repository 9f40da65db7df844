// CPosPassThru: IMediaSeeking answered by passing every call to the pin upstream of an input
// pin (the output pin it is connected to), the way a renderer or a transform lets the graph
// seek the source. The filter names that input pin through PassThroughPin.
// Without a connection the calls give VFW_E_NOT_CONNECTED; a peer without IMediaSeeking gives
// E_NOTIMPL. A filter mixes it in beside its other interfaces and answers IID_IMediaSeeking
// with it; the IUnknown methods are the filter's (DECLARE_IUNKNOWN).
// Threading: as the upstream seeking implementation; this class keeps no state.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"

class CBasePin;

class CPosPassThru : public IMediaSeeking {
public:
    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* target_format, LONGLONG source,
                              const GUID* source_format) override;
    HRESULT SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                         DWORD stop_flags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

protected:
    ~CPosPassThru() override = default;
    // The input pin whose upstream peer answers (null while there is none).
    virtual CBasePin* PassThroughPin() = 0;
    // The upstream pin's IMediaSeeking.
    HRESULT GetPeerSeeking(ComPtr<IMediaSeeking>* seeking);
};
