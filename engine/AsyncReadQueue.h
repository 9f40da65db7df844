// AsyncReadQueue: the reading service behind the source filter's IAsyncReader. A parser queues
// reads of byte ranges (Request) and collects them as they complete (WaitForNext), or reads on
// its own thread (SyncRead, SyncReadAligned). One worker thread, started by the first Request,
// completes queued reads in order through a ByteStream; BeginFlush hands every pending read
// back unread (VFW_E_TIMEOUT), waits for the one in progress and refuses new ones
// (VFW_E_WRONG_STATE) until EndFlush.
//
// A read that comes back short completes with S_FALSE; WaitForNext makes that S_OK when the
// read ends at the stream's total size or where the stream itself ran out (its Read said
// S_FALSE), and E_FAIL otherwise. The buffers are the caller's: nothing is copied here.
// The samples given as context are not AddRef'ed; the caller keeps them until WaitForNext
// hands them back, as IAsyncReader users do.
//
// Order of use: construct over a stream that outlives the queue; Request / WaitForNext / the
// synchronous reads from the parser's streaming thread; BeginFlush / EndFlush from the control
// thread; destroy (flushes and ends the worker).
// Threading: as above. The lists lock is never held while a read runs; the stream's lock is
// held for the whole of each completion (set pointer and read), so no completion is split.
#pragma once

#include <list>

#include "platform/media/base/CAMEvent.h"
#include "platform/media/strmif.h"
#include "platform/sync/CCritSec.h"
#include "platform/sync/sync.h"

class AsyncReadRequest;

class AsyncReadQueue {
public:
    // What the queue reads: a byte source with its own lock, which the queue holds around
    // each whole read (SetPointer, then Read).
    class ByteStream {
    public:
        // A read's "first of a new run" success code.
        static constexpr HRESULT OLE_S_FIRST = static_cast<HRESULT>(0x00040000);

        virtual ~ByteStream() = default;
        // S_OK when the next Read starts at `position`; anything else fails the read.
        virtual HRESULT SetPointer(LONGLONG position) = 0;
        // Up to `count` bytes into `buffer`, the number read in *read. S_OK, or S_FALSE when
        // fewer came because the stream has ended; OLE_S_FIRST marks the first read of a new
        // run (the sample given as context becomes a discontinuity).
        virtual HRESULT Read(BYTE* buffer, DWORD count, BOOL aligned, DWORD* read) = 0;
        // The total length; *available (when asked for) how much of it can be read now.
        virtual LONGLONG Size(LONGLONG* available) = 0;
        virtual DWORD Alignment() = 0;
        virtual void Lock() = 0;
        virtual void Unlock() = 0;
    };

    explicit AsyncReadQueue(ByteStream* stream);
    ~AsyncReadQueue();
    AsyncReadQueue(const AsyncReadQueue&) = delete;
    AsyncReadQueue& operator=(const AsyncReadQueue&) = delete;

    // Queues a read of `length` bytes at `position` into `buffer`. With `aligned`, the three
    // values must be multiples of the stream's alignment (VFW_E_BADALIGN). VFW_E_WRONG_STATE
    // while flushing; E_OUTOFMEMORY, or the thread's start failure as a Win32 HRESULT.
    HRESULT Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer,
                    IMediaSample* context, DWORD_PTR user);
    // The next completed read: its result, context, user value and bytes read. VFW_E_TIMEOUT
    // when none completes within `milliseconds` (0: do not wait); VFW_E_WRONG_STATE once a
    // flush has handed back everything.
    HRESULT WaitForNext(DWORD milliseconds, IMediaSample** context, DWORD_PTR* user, LONG* bytes);
    // Reads on the calling thread: the read's own result (S_FALSE when short) and count.
    HRESULT SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, LONG* bytes,
                            IMediaSample* context);
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer);
    // The stream's total size, and what it says is available.
    HRESULT Length(LONGLONG* total, LONGLONG* available);
    HRESULT Alignment(LONG* alignment);
    HRESULT BeginFlush();
    HRESULT EndFlush();

private:
    using RequestList = std::list<AsyncReadRequest>;

    bool IsAligned(LONGLONG value) const;
    bool IsAligned(const BYTE* buffer) const;
    // Under the lists lock.
    HRESULT StartWorkerLocked();
    void StopWorker();

    static DWORD WorkerMain(LPVOID queue);
    void Work();
    // Moves the first pending request to `taken`; false when there is none.
    bool TakeWork(RequestList* taken);
    void FinishWork(RequestList* finished);

    ByteStream* const m_stream;

    CCritSec m_lists_lock;  // guards everything from here to m_waiting
    bool m_flushing = false;
    RequestList m_work;
    RequestList m_done;
    LONG m_items_out = 0;
    bool m_waiting = false;

    CAMEvent m_work_event{true};  // set while m_work is not empty
    CAMEvent m_done_event{true};  // set while completions are there, and during a flush
    CAMEvent m_all_done_event{false};
    CAMEvent m_stop_event{true};
    HANDLE m_worker = nullptr;  // changed under the lists lock, and by the destructor
};
