// A push source for graph tests: one output pin that streams numbered samples of a fixed
// length in time (the sample's first 8 bytes hold its number) from its own thread, then ends
// the stream. It seeks like a real source: a new position while active flushes downstream,
// restarts the thread, and begins a new segment whose timestamps start at 0.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBaseOutputPin.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/graph/GraphTestSupport.h"

class TestSource;

class TestSourcePin : public CBaseOutputPin {
public:
    TestSourcePin(TestSource* source, CCritSec* lock, const GUID& major, const GUID& minor);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    const GUID m_major;
    const GUID m_minor;
};

class TestSource : public CBaseFilter, public IMediaSeeking {
public:
    struct Options {
        GUID major = MEDIATYPE_Audio;
        GUID minor = MEDIASUBTYPE_PCM;
        REFERENCE_TIME duration = 10'000'000;    // 1 s
        REFERENCE_TIME sample_length = 100'000;  // 10 ms
        bool seekable = true;
        bool fail_activate = false;            // refuses to leave the stopped state
        TransitionJournal* journal = nullptr;  // state changes are noted there as "name:state"
        std::string name = "source";
    };

    explicit TestSource(const Options& options);
    ~TestSource() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &m_pin : nullptr; }
    IPin* OutputPin() { return &m_pin; }

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

    int SeekCount() const { return m_seeks.load(); }
    LONGLONG StartPosition();
    bool ThreadRunning();

protected:
    HRESULT Activate() override;
    HRESULT Deactivate() override;
    HRESULT StartRunning(REFERENCE_TIME start) override;
    HRESULT StopRunning() override;

private:
    void Note(const char* state);
    void StartThread();
    void StopThread();
    void Stream(LONGLONG start, LONGLONG stop);

    const Options m_options;
    CCritSec m_filter_lock;
    TestSourcePin m_pin;
    std::mutex m_seek_mutex;  // guards the positions and the thread's start and end
    LONGLONG m_start = 0;
    LONGLONG m_stop;
    std::thread m_thread;
    std::atomic<bool> m_stop_thread{false};
    std::atomic<int> m_seeks{0};
};
