// TestSourceFilter: a push source with one output pin "Output" that offers one media type and,
// from the moment the filter pauses, delivers a scripted list of samples on its own thread,
// then (if asked) end of stream. Its pin also answers IMediaSeeking, reporting a set duration
// and recording the positions it is given, so pass-through seeking can be observed.
// Order of use: construct, SetScript, connect, Pause/Run, WaitUntilDone, Stop. Stop the
// downstream filter first, as a graph does: a sample held downstream holds this thread.
// Threading: control calls from the test thread; delivery on the filter's own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBaseOutputPin.h"
#include "platform/sync/CCritSec.h"

struct ScriptedSample {
    std::vector<BYTE> data;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool timed = true;
    bool discontinuity = false;
};

class TestSourceFilter;

class TestSourcePin : public CBaseOutputPin, public IMediaSeeking {
public:
    TestSourcePin(TestSourceFilter* filter, CCritSec* lock, const CMediaType& type);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // IMediaSeeking: duration and positions only.
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

    CMediaType offered_type;
    long buffers = 2;
    long buffer_size = 4096;
    REFERENCE_TIME duration = 0;
    std::vector<LONGLONG> positions_set;  // every current position given to SetPositions
};

class TestSourceFilter : public CBaseFilter {
public:
    explicit TestSourceFilter(const CMediaType& type);
    ~TestSourceFilter() override;

    void SetScript(std::vector<ScriptedSample> samples, bool end_of_stream = true);
    TestSourcePin* OutputPin() const { return m_pin.get(); }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;

    // True once the script was delivered (or delivery failed) within `timeout`.
    bool WaitUntilDone(std::chrono::milliseconds timeout);
    // What Deliver answered for each sample, in order.
    std::vector<HRESULT> DeliveryResults();

protected:
    HRESULT Activate() override;
    HRESULT Deactivate() override;

private:
    void Stream();

    CCritSec m_filter_lock;
    std::unique_ptr<TestSourcePin> m_pin;
    std::vector<ScriptedSample> m_script;
    bool m_end_of_stream = true;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    std::vector<HRESULT> m_results;
};
