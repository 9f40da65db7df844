// AsyncReadRequest: one read of an AsyncReadQueue: where, how much, into which buffer, the
// sample it fills and the caller's value, and, once completed, the result and the bytes read.
// The result stays VFW_E_TIMEOUT until Complete runs, so a read handed back by a flush says
// it was never done.
// Order of use: construct, Complete (once, on the worker or the caller's thread), read back.
// Threading: one thread at a time; the queue moves requests between threads under its lock.
#pragma once

#include "engine/AsyncReadQueue.h"
#include "platform/media/strmif.h"

class AsyncReadRequest {
public:
    AsyncReadRequest(AsyncReadQueue::ByteStream* stream, LONGLONG position, LONG length,
                     bool aligned, BYTE* buffer, IMediaSample* context, DWORD_PTR user);

    // Positions the stream and reads, all under the stream's lock. A short read gives
    // S_FALSE and the count read; a failed positioning gives its result and no bytes.
    void Complete();

    HRESULT Result() const { return m_result; }
    LONGLONG Position() const { return m_position; }
    // Bytes asked for; after completion, bytes read.
    LONG Length() const { return m_length; }
    IMediaSample* Context() const { return m_context; }
    DWORD_PTR User() const { return m_user; }
    // The read came back short because the stream has no more bytes.
    bool StreamEnded() const { return m_stream_ended; }

private:
    AsyncReadQueue::ByteStream* const m_stream;
    const LONGLONG m_position;
    const bool m_aligned;
    LONG m_length;
    BYTE* const m_buffer;
    IMediaSample* const m_context;
    const DWORD_PTR m_user;
    HRESULT m_result = VFW_E_TIMEOUT;
    bool m_stream_ended = false;
};
