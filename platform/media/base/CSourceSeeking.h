// CSourceSeeking: IMediaSeeking for a source's or a splitter's output pin, in media time only
// (100 ns units) and at the rate 1.0. It keeps the duration, the start and the stop of the
// current segment and hands each change to the pin through ChangeStart / ChangeStop, which
// flush, reposition and restart the stream as the source needs.
// The owner supplies IUnknown (it is a mix-in for a pin: its DECLARE_IUNKNOWN serves both) and
// answers IID_IMediaSeeking with it.
// Order of use: set m_duration (and m_stop) once the stream's length is known; seeking calls
// at any time.
// Threading: every call takes the lock given to the constructor; ChangeStart and ChangeStop
// run under it.
#pragma once

#include "platform/media/strmif.h"
#include "platform/sync/CCritSec.h"

class CSourceSeeking : public IMediaSeeking {
public:
    explicit CSourceSeeking(CCritSec* lock);
    virtual ~CSourceSeeking() = default;

    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    // The start of the current segment; a source that knows how far it has come says so.
    // Incremental positions count from it.
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
    // The segment's start (or stop) has changed; m_start and m_stop hold the new values.
    virtual HRESULT ChangeStart() = 0;
    virtual HRESULT ChangeStop() = 0;

    CCritSec* const m_seek_lock;
    DWORD m_capabilities;
    REFERENCE_TIME m_duration = 0;
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_stop = 0;
};
