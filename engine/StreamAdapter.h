// StreamAdapter: a source filter's StretchedWaveStream as the byte stream its read queue
// reads: positioning is a Seek of the virtual file (not forced, so consecutive reads keep the
// time-stretch processor running), reading is the stream's Read, the total length is what
// Init gave (the whole declared virtual file), the alignment is 1. Every read and positioning
// runs under the adapter's lock.
//
// The main window changes the event list and then calls SetOffset on the playback stream
// while the queue's worker may be reading it. EditCurrentStream serialises the two:
//
//   StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
//       new StretchEvent(movie_pos, stretch, &head);  // or unlink, move, delete...
//       if (stream) stream->SetOffset(offset);
//   });
//
// It runs the callable with CurrentStream() (null when there is none), holding the lock of
// the adapter that reads that stream, so that no read runs during the edit and the next read
// sees the new map. A stream that no adapter reads is edited without a lock.
//
// Order of use: construct over the filter's stream (which outlives it), Init at each Load,
// then the queue calls SetPointer / Read under Lock / Unlock; destroy.
// Threading: any thread; the queue's worker reads, the user-interface thread edits. The edit
// must not create or destroy a source filter, nor wait for a read to complete.
#pragma once

#include <atomic>
#include <functional>

#include "engine/AsyncReadQueue.h"
#include "platform/sync/CCritSec.h"

class StretchedWaveStream;

class StreamAdapter : public AsyncReadQueue::ByteStream {
public:
    explicit StreamAdapter(StretchedWaveStream* stream);
    ~StreamAdapter() override;
    StreamAdapter(const StreamAdapter&) = delete;
    StreamAdapter& operator=(const StreamAdapter&) = delete;

    // The total length in bytes that Size reports (0 while nothing is served).
    void Init(LONGLONG length);

    // S_OK, or S_FALSE when the stream cannot be positioned there.
    HRESULT SetPointer(LONGLONG position) override;
    // Reads `count` bytes whatever the length says; S_FALSE when the stretched audio ran out
    // before `count` bytes came.
    HRESULT Read(BYTE* buffer, DWORD count, BOOL aligned, DWORD* read) override;
    // The length; nothing counts as available ahead of a read, so *available is 0.
    LONGLONG Size(LONGLONG* available) override;
    DWORD Alignment() override { return 1; }
    void Lock() override { m_lock.Lock(); }
    void Unlock() override { m_lock.Unlock(); }

    // The lock under which the stream is read: hold it to change the stream (Open, SetOffset).
    CCritSec* StreamLock() { return &m_lock; }
    // Where the last read ended (bytes of the virtual file).
    LONGLONG Position();

    static void EditCurrentStream(const std::function<void(StretchedWaveStream*)>& edit);

private:
    CCritSec m_lock;
    StretchedWaveStream* const m_stream;
    std::atomic<LONGLONG> m_length{0};
    LONGLONG m_position = 0;  // under m_lock
};
