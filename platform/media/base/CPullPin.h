// CPullPin: the reading side of a parser's input pin. It pulls a byte stream from the
// upstream pin's IAsyncReader on a thread of its own and hands each filled sample to the
// owner's Receive, then calls EndOfStream at the end of the range (or OnError on a failure).
// Sample times carry byte positions, as the reader expects: start / UNITS is the first byte
// of the sample, stop / UNITS one past the last (UNITS = 10,000,000).
//
// Order of use (from the owner's pin, under the filter lock):
//   Connect(peer, preferred allocator, sync)  when the pin connects; SyncRead on
//                                              GetReader() meanwhile to read headers
//   Seek(start, stop)                          the byte range to deliver, as times
//   Active()                                   when the filter pauses: the thread starts
//   Seek(...) while active                     stops delivering, then restarts at the new
//                                              range; the owner flushes downstream first, so
//                                              that a Receive blocked downstream returns
//   Inactive()                                 when the filter stops: the thread ends
//   Disconnect()                               when the pin disconnects
// A parser seeking while active runs the steps apart, so that nothing new reaches a
// downstream pin that is still flushing:
//   DeliverBeginFlush, StopDelivery, DeliverEndFlush, DeliverNewSegment, Seek, StartDelivery
// Stopping never waits on the reader without limit: the reader is flushed and the allocator
// decommitted first, which releases WaitForNext and GetBuffer. The owner stops the thread
// (Inactive or Disconnect) before it is destroyed, since the thread calls its virtuals.
// In queued mode up to as many requests as the allocator has buffers are outstanding, and
// samples are delivered in the order the reader completes them.
// Threading: control calls on one thread at a time; Receive, EndOfStream and OnError come on
// the pin's own thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"

constexpr REFERENCE_TIME UNITS = 10000000;

class CPullPin {
public:
    CPullPin();
    virtual ~CPullPin();
    CPullPin(const CPullPin&) = delete;
    CPullPin& operator=(const CPullPin&) = delete;

    // Takes the peer's IAsyncReader (E_NOINTERFACE without it) and agrees an allocator
    // through RequestAllocator; `request` defaults to 4 buffers of 64 KiB. Sets the range to
    // the whole stream.
    HRESULT Connect(IUnknown* peer, IMemAllocator* preferred, BOOL sync,
                    const ALLOCATOR_PROPERTIES* request = nullptr);
    HRESULT Disconnect();
    HRESULT Active();
    HRESULT Inactive();
    // Byte range as times; a stop past the end is clipped to the stream's length. While
    // delivering: StopDelivery, set the range, StartDelivery.
    HRESULT Seek(REFERENCE_TIME start, REFERENCE_TIME stop);
    // Parks the thread (it stays alive); nothing is delivered until StartDelivery.
    HRESULT StopDelivery();
    // Delivers the current range from its start; VFW_E_WRONG_STATE when not active.
    HRESULT StartDelivery();
    // The stream's length as a time (bytes * UNITS).
    HRESULT Duration(REFERENCE_TIME* duration);

    IAsyncReader* GetReader() const { return m_reader.Get(); }
    IMemAllocator* Allocator() const { return m_allocator.Get(); }
    bool IsActive() const { return m_thread.joinable(); }

protected:
    // A filled sample (its actual length is the bytes read). S_OK to go on; anything else
    // ends the delivery (a failure is passed to OnError first).
    virtual HRESULT Receive(IMediaSample* sample) = 0;
    // The whole range was delivered.
    virtual HRESULT EndOfStream() = 0;
    // Reading or delivering failed; delivery has stopped.
    virtual void OnError(HRESULT hr) = 0;

private:
    enum class Command { kNone, kRun, kPause, kExit };

    void ThreadMain();
    Command WaitForCommand();
    bool CommandPending() const { return m_pending.load(); }
    // Posts a command and waits until the thread took it up.
    void CallWorker(Command command);
    void StartThread();
    void PauseThread();
    void StopThread();

    void Process();
    HRESULT ProcessSync(REFERENCE_TIME current, REFERENCE_TIME stop);
    HRESULT ProcessQueued(REFERENCE_TIME current, REFERENCE_TIME stop);
    // Queues one request for [*next, stop); S_FALSE when no buffer is free right now.
    HRESULT QueueRequest(REFERENCE_TIME* next, REFERENCE_TIME stop, bool wait, bool* first);
    // Takes back every sample still queued at the reader.
    void CollectQueued(int* queued);
    HRESULT Deliver(IMediaSample* sample);

    REFERENCE_TIME AlignDown(REFERENCE_TIME time) const;

    ComPtr<IAsyncReader> m_reader;
    ComPtr<IMemAllocator> m_allocator;
    bool m_sync = true;
    long m_align = 1;
    long m_buffers = 1;
    REFERENCE_TIME m_duration = 0;
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_stop = 0;

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Command m_command = Command::kNone;  // under m_mutex
    unsigned m_posted = 0;               // under m_mutex
    unsigned m_taken = 0;                // under m_mutex
    std::atomic<bool> m_pending{false};
    bool m_running = false;  // the thread is processing (control side's view)
};
