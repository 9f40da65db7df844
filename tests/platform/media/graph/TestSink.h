// A renderer for graph tests. It takes samples of one major type, holds the first one while
// paused (preroll), renders each at its time on the graph's clock, and reports EC_COMPLETE at
// the end of the stream once running, as a real renderer does. It records what it rendered,
// the flushes and the segments, so tests can see what reached the end of the graph. Asked
// to, it offers a clock of its own, as the audio renderer does.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBaseInputPin.h"
#include "platform/media/clock/CBaseReferenceClock.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/graph/GraphTestSupport.h"

class TestSink;

class TestSinkPin : public CBaseInputPin {
public:
    TestSinkPin(TestSink* sink, CCritSec* lock, const GUID& major);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    TestSink* const m_sink;
    const GUID m_major;
};

// The machine's time, as the clock a renderer offers.
class TestSinkClock : public CBaseReferenceClock {
public:
    explicit TestSinkClock(IUnknown* owner) : CBaseReferenceClock(owner) {}
    ~TestSinkClock() override { StopAdviseThread(); }

protected:
    REFERENCE_TIME GetPrivateTime() override;
};

class TestSink : public CBaseFilter {
public:
    struct Options {
        GUID major = MEDIATYPE_Audio;  // GUID_NULL takes anything
        bool offer_clock = false;
        bool render_on_clock = true;
        TransitionJournal* journal = nullptr;  // state changes are noted there as "name:state"
        std::string name = "sink";
    };

    explicit TestSink(const Options& options);
    ~TestSink() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &m_pin : nullptr; }
    IPin* InputPin() { return &m_pin; }

    // VFW_S_STATE_INTERMEDIATE while paused and nothing has come to show yet.
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;

    // What the tests read (any thread).
    std::vector<LONGLONG> Rendered();  // sample numbers in the order rendered
    int Flushes();
    int Segments();
    REFERENCE_TIME LastSegmentStart();
    int CompletionsSent();
    // Waits until `count` samples have been rendered; false on time-out.
    bool WaitForRendered(size_t count, int timeout_ms);
    void ClearRecord();

    // Called by the pin.
    HRESULT Render(IMediaSample* sample);
    void OnEndOfStream();
    void OnBeginFlush();
    void OnEndFlush();
    void OnNewSegment(REFERENCE_TIME start);

protected:
    HRESULT Activate() override;
    HRESULT Deactivate() override;
    HRESULT StartRunning(REFERENCE_TIME start) override;
    HRESULT StopRunning() override;

private:
    enum class Mode { Stopped, Paused, Running };

    void SetMode(Mode mode);
    void Note(const char* state);
    void SendCompletionLocked(std::unique_lock<std::mutex>& lock);
    bool StreamTime(REFERENCE_TIME* now);

    const Options m_options;
    CCritSec m_filter_lock;
    TestSinkPin m_pin;
    std::unique_ptr<TestSinkClock> m_clock;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    // Guarded by m_mutex.
    Mode m_mode = Mode::Stopped;
    bool m_flushing = false;
    bool m_prerolled = false;
    bool m_end_of_stream = false;
    bool m_completion_sent = false;
    std::vector<LONGLONG> m_rendered;
    int m_flushes = 0;
    int m_segments = 0;
    REFERENCE_TIME m_segment_start = 0;
    int m_completions = 0;
};
