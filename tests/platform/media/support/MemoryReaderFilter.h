// MemoryReaderFilter: a source whose output pin "Output" serves bytes held in memory through
// IAsyncReader, the way a file source does, with a media type of the test's choice (by
// default MEDIATYPE_Stream / MEDIASUBTYPE_WAVE). Queued requests are completed in order by
// WaitForNext on the caller's thread; a flush hands pending requests back with
// VFW_E_TIMEOUT and refuses new ones with VFW_E_WRONG_STATE. A read that ends past the data
// comes back short with S_FALSE. The queue holds a reference on each queued sample until
// WaitForNext hands it back; the caller keeps its own. Reads touching a chosen byte can be
// made to fail, and the counts of queued and synchronous reads are kept.
// Threading: any thread; an internal mutex guards the queue and the counters.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBasePin.h"
#include "platform/sync/CCritSec.h"

class MemoryReaderFilter;

class MemoryReaderPin : public CBasePin, public IAsyncReader {
public:
    MemoryReaderPin(MemoryReaderFilter* filter, CCritSec* lock);
    ~MemoryReaderPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;

    // IAsyncReader (BeginFlush and EndFlush serve IPin as well: they flush the reader).
    HRESULT RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                             IMemAllocator** actual) override;
    HRESULT Request(IMediaSample* sample, DWORD_PTR user) override;
    HRESULT WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) override;
    HRESULT SyncReadAligned(IMediaSample* sample) override;
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Length(LONGLONG* total, LONGLONG* available) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    struct Pending {
        IMediaSample* sample;
        DWORD_PTR user;
    };
    HRESULT ReadInto(IMediaSample* sample);
    HRESULT Copy(LONGLONG position, LONG length, BYTE* buffer, LONG* copied);

    MemoryReaderFilter* const m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Pending> m_queue;
    bool m_flushing = false;
};

class MemoryReaderFilter : public CBaseFilter {
public:
    explicit MemoryReaderFilter(std::vector<BYTE> data);
    ~MemoryReaderFilter() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    MemoryReaderPin* OutputPin() const { return m_pin.get(); }

    void SetMediaType(const CMediaType& type) { m_type = type; }
    // Reads that include byte `position` fail with E_FAIL (-1: none).
    void FailReadsAt(LONGLONG position) { m_fail_at = position; }
    int QueuedReads() const { return m_queued_reads.load(); }
    int SyncReads() const { return m_sync_reads.load(); }

private:
    friend class MemoryReaderPin;

    CCritSec m_filter_lock;
    const std::vector<BYTE> m_data;
    CMediaType m_type;
    std::atomic<LONGLONG> m_fail_at{-1};
    std::atomic<int> m_queued_reads{0};
    std::atomic<int> m_sync_reads{0};
    std::unique_ptr<MemoryReaderPin> m_pin;
};
