// AsyncRequestQueue: the reading engine behind the file source's IAsyncReader. Queued reads
// are completed in order by one worker thread and collected with WaitForNext; synchronous
// reads run on the caller's thread. A read that meets the end of the data completes with
// S_FALSE and the short count; a failed read with E_FAIL.
// BeginFlush hands every queued read back at once (result VFW_E_WRONG_STATE), waits for the
// one in progress, and refuses new requests until EndFlush; a WaitForNext that finds nothing
// left during a flush returns VFW_E_WRONG_STATE instead of waiting.
// The queue does not AddRef the samples given as context: the caller keeps them until they
// come back from WaitForNext, as IAsyncReader users do.
// Order of use: construct with the read function, Request / WaitForNext / SyncRead from
// streaming threads, BeginFlush / EndFlush from the control thread, destroy (ends the worker).
// Threading: any thread; one mutex guards the lists, never held during a read.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/media/strmif.h"
#include "platform/sync/sync.h"

class AsyncRequestQueue {
public:
    // Reads `length` bytes at `position` into `buffer`: the count read, -1 on an error.
    using ReadFunction = std::function<int64_t(int64_t position, uint8_t* buffer, int64_t length)>;

    explicit AsyncRequestQueue(ReadFunction read);
    ~AsyncRequestQueue();
    AsyncRequestQueue(const AsyncRequestQueue&) = delete;
    AsyncRequestQueue& operator=(const AsyncRequestQueue&) = delete;

    HRESULT Request(int64_t position, long length, BYTE* buffer, IMediaSample* context,
                    DWORD_PTR user);
    // VFW_E_TIMEOUT with no context when nothing completed in time.
    HRESULT WaitForNext(DWORD milliseconds, IMediaSample** context, DWORD_PTR* user, long* actual);
    HRESULT SyncRead(int64_t position, long length, BYTE* buffer, long* actual);
    void BeginFlush();
    void EndFlush();

private:
    struct Item {
        int64_t position = 0;
        long length = 0;
        BYTE* buffer = nullptr;
        IMediaSample* context = nullptr;
        DWORD_PTR user = 0;
        HRESULT result = VFW_E_WRONG_STATE;
        long actual = 0;
    };

    void Complete(Item* item) const;
    void WorkerLoop();
    // Under m_mutex.
    bool StartWorkerLocked();

    const ReadFunction m_read;

    std::mutex m_mutex;
    std::condition_variable m_work_ready;  // work queued, or stopping
    std::condition_variable m_done_ready;  // a completion, or a flush began
    std::condition_variable m_idle;        // the worker finished its item
    // Guarded by m_mutex.
    std::deque<Item> m_work;
    std::deque<Item> m_done;
    int m_items_out = 0;
    bool m_flushing = false;
    bool m_stopping = false;
    std::thread m_worker;
};
