// AsyncReaderIo: FFmpeg's byte input (an AVIOContext) over an upstream pin's IAsyncReader, so
// the demuxers read a movie through "File Source (Async.)" like any parser does. Reads are
// synchronous (SyncRead) and clipped to the length the reader reports; a failed read is an
// I/O error for the demuxer, the end of the stream its end of file.
// Order of use: Open, hand Context() to avformat_open_input (as its pb), destroy after the
// format context is closed.
// Threading: one thread at a time (the demuxer's).
#pragma once

#include <cstdint>

#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"

struct AVIOContext;

class AsyncReaderIo {
public:
    explicit AsyncReaderIo(IAsyncReader* reader);
    ~AsyncReaderIo();
    AsyncReaderIo(const AsyncReaderIo&) = delete;
    AsyncReaderIo& operator=(const AsyncReaderIo&) = delete;

    // False when the reader tells no length or FFmpeg has no memory.
    bool Open();
    AVIOContext* Context() const { return m_context; }

private:
    static int ReadPacket(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    int Read(uint8_t* buffer, int size);
    int64_t MoveTo(int64_t offset, int whence);

    ComPtr<IAsyncReader> m_reader;
    int64_t m_length = 0;
    int64_t m_position = 0;
    AVIOContext* m_context = nullptr;
};
