// WaveParserOutputPin: the "Wave Parser" output pin "output": MEDIATYPE_Audio with the file's
// format (FORMAT_WaveFormatEx), offered once the input knows the file. It also answers
// IMediaSeeking for the stream, in media time only: duration from the data size, positions
// handed to the filter, which flushes, starts a new segment and pulls from the new place.
// Order of use: connect after the input; seeking calls at any time (applied at the next start
// while stopped).
// Threading: connection under the filter lock; seeking from the graph's control thread.
#pragma once

#include "platform/media/base/CBaseOutputPin.h"
#include "platform/media/base/CSourceSeeking.h"
#include "platform/media/strmif.h"

class WaveParserFilter;

class WaveParserOutputPin : public CBaseOutputPin, public CSourceSeeking {
public:
    WaveParserOutputPin(WaveParserFilter* filter, CCritSec* lock);
    ~WaveParserOutputPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // VFW_E_NOT_CONNECTED until the input knows a file.
    HRESULT GetDuration(LONGLONG* duration) override;
    // The start of the segment plus what has been delivered since.
    HRESULT GetCurrentPosition(LONGLONG* current) override;

    // ---- for the filter, under its lock ----
    // A new file (or none): its duration, and the whole of it as the segment.
    void SetDuration(REFERENCE_TIME duration);

protected:
    HRESULT ChangeStart() override;
    HRESULT ChangeStop() override;

private:
    WaveParserFilter* const m_parser;
};
