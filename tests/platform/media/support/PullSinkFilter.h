// PullSinkFilter: a parser-shaped sink. Its input pin "Input" connects to an output pin that
// offers IAsyncReader and, once the filter pauses, pulls the byte range given with SetRange
// through a CPullPin (queued or synchronous reads), recording each sample's bytes and byte
// times, the end of stream and any error. Receive can be held, to stop or seek in mid-stream.
// Stopping the filter refuses further samples, as a stopped downstream filter would.
// Order of use: construct, connect, SetRange (optional), Pause, wait, Stop.
// Threading: control calls from the test; samples arrive on the pull thread; accessors lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBasePin.h"
#include "platform/media/base/CPullPin.h"
#include "platform/sync/CCritSec.h"

class PullSinkFilter;

// The pin's reading side: passes what it pulls to the filter's records.
class PullSinkReader : public CPullPin {
public:
    explicit PullSinkReader(PullSinkFilter* sink) : m_sink(sink) {}
    ~PullSinkReader() override;

protected:
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    void OnError(HRESULT hr) override;

private:
    PullSinkFilter* const m_sink;
};

class PullSinkPin : public CBasePin {
public:
    PullSinkPin(PullSinkFilter* filter, CCritSec* lock);
    ~PullSinkPin() override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }
    HRESULT Active() override;
    HRESULT Inactive() override;
    PullSinkReader& Reader() { return m_reader; }

protected:
    HRESULT CompleteConnect(IPin* receive_pin) override;
    HRESULT BreakConnect() override;

private:
    PullSinkFilter* const m_sink;
    PullSinkReader m_reader;
};

class PullSinkFilter : public CBaseFilter {
public:
    explicit PullSinkFilter(bool sync_reads, long buffer_size = 1000, long buffers = 3);
    ~PullSinkFilter() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    PullSinkPin* InputPin() const { return m_pin.get(); }

    // Byte range to pull, from `first` to one past `last`.
    HRESULT SetRange(LONGLONG first, LONGLONG end);
    // While true, each Receive waits until Release or until it is told to stop.
    void HoldReceives(bool hold);
    void ReleaseHeld();
    // While true, samples are refused (S_FALSE) and end of stream and errors are not
    // recorded, as a flushing downstream filter would; setting it releases a held Receive.
    void SetDiscarding(bool discarding);

    std::vector<BYTE> Bytes();
    std::vector<REFERENCE_TIME> SampleStarts();
    int EndOfStreamCount();
    std::vector<HRESULT> Errors();
    bool WaitForEndOfStream(std::chrono::milliseconds timeout);
    bool WaitForErrorOrEnd(std::chrono::milliseconds timeout);
    bool WaitForSamples(size_t count, std::chrono::milliseconds timeout);
    void ClearRecords();

private:
    friend class PullSinkPin;
    friend class PullSinkReader;

    CCritSec m_filter_lock;
    const bool m_sync_reads;
    const long m_buffer_size;
    const long m_buffers;
    std::unique_ptr<PullSinkPin> m_pin;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_hold = false;
    bool m_discarding = false;
    unsigned m_wake = 0;
    std::vector<BYTE> m_bytes;
    std::vector<REFERENCE_TIME> m_starts;
    int m_end_of_stream = 0;
    std::vector<HRESULT> m_errors;
};
