// WaveParserOutputPin: the "Wave Parser" output pin "output": MEDIATYPE_Audio with the file's
// format (FORMAT_WaveFormatEx), offered once the input knows the file. It also answers
// IMediaSeeking for the stream, in media time only: duration from the data size, positions
// handed to the filter, which flushes, starts a new segment and pulls from the new place.
// Order of use: connect after the input; seeking calls at any time (applied at the next start
// while stopped).
// Threading: connection under the filter lock; seeking from the graph's control thread.
#pragma once

#include "platform/media/base/CBaseOutputPin.h"
#include "platform/media/strmif.h"

class WaveParserFilter;

class WaveParserOutputPin : public CBaseOutputPin, public IMediaSeeking {
public:
    WaveParserOutputPin(WaveParserFilter* filter, CCritSec* lock);
    ~WaveParserOutputPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // IMediaSeeking
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

private:
    // The new position for one of SetPositions' pairs, from its flags.
    static LONGLONG Resolve(LONGLONG value, DWORD flags, LONGLONG current, LONGLONG previous);

    WaveParserFilter* const m_parser;
};
