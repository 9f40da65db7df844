// WaveParserFilter: the stock "Wave Parser" (CLSID_WAVEParser). It pulls a RIFF WAVE stream
// from an IAsyncReader through its input pin and delivers the samples, timed, on its output
// pin: each sample's times come from its bytes' distance to the segment's first byte and the
// average byte rate (100 ns units), so a segment starts at stream time 0. The stream ends
// where the data chunk ends or where the source stops giving bytes.
// A seek (the output pin's IMediaSeeking) flushes downstream, stops the pull thread, sends a
// NewSegment and pulls again from the new block-aligned place; while stopped it is kept for
// the next start.
// Order of use: connect input (the header is read then), connect output, pause / run / stop.
// Threading: state, connection and seeking on the control thread under the filter lock; the
// pull thread delivers (DeliverSamples, DeliverEndOfStream) without taking that lock, and the
// segment it reads changes only while that thread is stopped.
#pragma once

#include <atomic>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/filters/WaveHeaderParser.h"
#include "platform/media/filters/WaveParserInputPin.h"
#include "platform/media/filters/WaveParserOutputPin.h"
#include "platform/media/filters/WaveTimeline.h"

class WaveParserFilter : public CBaseFilter {
public:
    WaveParserFilter();
    ~WaveParserFilter() override;

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int index) override;

    // ---- for the pins ----
    // The file's layout from the input's connection; VFW_E_INVALID_FILE_FORMAT when the format
    // record describes no stream.
    HRESULT SetLayout(const WaveLayout& layout);
    void ClearLayout();
    const CMediaType& AudioType() const { return m_audio_type; }
    const WaveTimeline& Timeline() const { return m_timeline; }

    // A new segment: `start` (null: keep the current start) and `stop`, in media time.
    HRESULT SetSegment(const LONGLONG* start, LONGLONG stop);
    LONGLONG StartTime() const { return m_timeline.TimeOfBytes(m_start_byte - DataOffset()); }
    LONGLONG StopTime() const { return m_stop_time; }
    // The segment's start plus what has been delivered since.
    LONGLONG CurrentTime() const { return m_current_time.load(); }

    HRESULT StopStreaming();

    // The pull thread's calls.
    HRESULT DeliverSamples(IMediaSample* read);
    HRESULT DeliverEndOfStream();

protected:
    HRESULT Activate() override;

private:
    int64_t DataOffset() const { return m_timeline.DataOffset(); }
    HRESULT StartStreaming();

    CCritSec m_filter_lock;
    CMediaType m_audio_type;
    WaveTimeline m_timeline;
    // The segment, in file bytes and media time; changed only while the pull thread is stopped.
    int64_t m_start_byte = 0;
    int64_t m_stop_byte = 0;
    LONGLONG m_stop_time = 0;
    bool m_discontinuity = true;  // read and cleared by the pull thread
    std::atomic<LONGLONG> m_current_time{0};

    WaveParserInputPin m_input;
    WaveParserOutputPin m_output;
};
