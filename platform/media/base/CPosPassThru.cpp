#include "platform/media/base/CPosPassThru.h"

#include "platform/media/base/CBasePin.h"

HRESULT CPosPassThru::GetPeerSeeking(ComPtr<IMediaSeeking>* seeking) {
    CBasePin* pin = PassThroughPin();
    IPin* peer = pin ? pin->GetConnected() : nullptr;
    if (!peer) return VFW_E_NOT_CONNECTED;
    return SUCCEEDED(peer->QueryInterface(IID_PPV_ARGS(seeking->ReleaseAndGetAddressOf())))
               ? S_OK
               : E_NOTIMPL;
}

// Each call: find the upstream seeking interface, then pass the call on unchanged.
#define TKV_PASS_THROUGH(call)                      \
    ComPtr<IMediaSeeking> seeking;                  \
    const HRESULT found = GetPeerSeeking(&seeking); \
    if (FAILED(found)) return found;                \
    return seeking->call

HRESULT CPosPassThru::GetCapabilities(DWORD* capabilities) {
    TKV_PASS_THROUGH(GetCapabilities(capabilities));
}
HRESULT CPosPassThru::CheckCapabilities(DWORD* capabilities) {
    TKV_PASS_THROUGH(CheckCapabilities(capabilities));
}
HRESULT CPosPassThru::IsFormatSupported(const GUID* format) {
    TKV_PASS_THROUGH(IsFormatSupported(format));
}
HRESULT CPosPassThru::QueryPreferredFormat(GUID* format) {
    TKV_PASS_THROUGH(QueryPreferredFormat(format));
}
HRESULT CPosPassThru::GetTimeFormat(GUID* format) {
    TKV_PASS_THROUGH(GetTimeFormat(format));
}
HRESULT CPosPassThru::IsUsingTimeFormat(const GUID* format) {
    TKV_PASS_THROUGH(IsUsingTimeFormat(format));
}
HRESULT CPosPassThru::SetTimeFormat(const GUID* format) {
    TKV_PASS_THROUGH(SetTimeFormat(format));
}
HRESULT CPosPassThru::GetDuration(LONGLONG* duration) {
    TKV_PASS_THROUGH(GetDuration(duration));
}
HRESULT CPosPassThru::GetStopPosition(LONGLONG* stop) {
    TKV_PASS_THROUGH(GetStopPosition(stop));
}
HRESULT CPosPassThru::GetCurrentPosition(LONGLONG* current) {
    TKV_PASS_THROUGH(GetCurrentPosition(current));
}
HRESULT CPosPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* target_format,
                                        LONGLONG source, const GUID* source_format) {
    TKV_PASS_THROUGH(ConvertTimeFormat(target, target_format, source, source_format));
}
HRESULT CPosPassThru::SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                   DWORD stop_flags) {
    TKV_PASS_THROUGH(SetPositions(current, current_flags, stop, stop_flags));
}
HRESULT CPosPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) {
    TKV_PASS_THROUGH(GetPositions(current, stop));
}
HRESULT CPosPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    TKV_PASS_THROUGH(GetAvailable(earliest, latest));
}
HRESULT CPosPassThru::SetRate(double rate) {
    TKV_PASS_THROUGH(SetRate(rate));
}
HRESULT CPosPassThru::GetRate(double* rate) {
    TKV_PASS_THROUGH(GetRate(rate));
}
HRESULT CPosPassThru::GetPreroll(LONGLONG* preroll) {
    TKV_PASS_THROUGH(GetPreroll(preroll));
}

#undef TKV_PASS_THROUGH
