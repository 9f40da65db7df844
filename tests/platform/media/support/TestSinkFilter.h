// TestSinkFilter: a sink with one input pin "Input" that records everything it receives: each
// sample's bytes, times and flags, end of stream, flushes and segments. It accepts any type
// of a chosen major type (GUID_NULL: anything), may offer preferred types for the connection,
// and can be told to hold each Receive until released, flushed or stopped, so that tests can
// prove those ways out.
// Threading: Receive on the upstream thread; the records are read by the test through the
// accessors, which lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBaseInputPin.h"
#include "platform/sync/CCritSec.h"

struct ReceivedSample {
    std::vector<BYTE> data;
    HRESULT time_result = S_OK;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool discontinuity = false;
};

class TestSinkFilter;

class TestSinkPin : public CBaseInputPin {
public:
    TestSinkPin(TestSinkFilter* filter, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

private:
    TestSinkFilter* const m_sink;
};

class TestSinkFilter : public CBaseFilter {
public:
    // Accepts types of `major_type` (GUID_NULL: any).
    explicit TestSinkFilter(const GUID& major_type = GUID_NULL);
    ~TestSinkFilter() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    TestSinkPin* InputPin() const { return m_pin.get(); }

    // Types offered to a connecting output pin, in order.
    void SetPreferredTypes(std::vector<CMediaType> types);
    // While true, each Receive waits until Release, a flush or a stop.
    void HoldReceives(bool hold);
    void ReleaseHeld();

    std::vector<ReceivedSample> Samples();
    int EndOfStreamCount();
    int BeginFlushCount();
    int EndFlushCount();
    int ReleasedByFlushOrStop();
    std::vector<REFERENCE_TIME> SegmentStarts();

    bool WaitForSamples(size_t count, std::chrono::milliseconds timeout);
    bool WaitForEndOfStream(std::chrono::milliseconds timeout);
    // True once a Receive is waiting because receives are held.
    bool WaitUntilHolding(std::chrono::milliseconds timeout);

private:
    friend class TestSinkPin;
    HRESULT Record(IMediaSample* sample);
    void Wake();

    CCritSec m_filter_lock;
    const GUID m_major_type;
    std::unique_ptr<TestSinkPin> m_pin;
    std::vector<CMediaType> m_preferred;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_hold = false;
    bool m_holding = false;
    bool m_inactive = true;
    unsigned m_wake = 0;  // bumped by every release, flush and stop
    std::vector<ReceivedSample> m_samples;
    int m_end_of_stream = 0;
    int m_begin_flush = 0;
    int m_end_flush = 0;
    int m_released = 0;
    std::vector<REFERENCE_TIME> m_segments;
};
