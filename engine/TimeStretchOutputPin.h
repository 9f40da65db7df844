// TimeStretchOutputPin: the source filter's one pin "Output". It offers the filter's media type
// (stream / WAVE unless Load was given another) and serves the virtual WAV file through
// IAsyncReader, backed by the filter's AsyncReadQueue. A connection completes only when the
// peer asked for IAsyncReader (VFW_E_NO_TRANSPORT otherwise), and only while the filter
// serves a stream.
//
// Sample times carry byte positions: start / 10,000,000 is the first byte and
// (stop - start) / 10,000,000 the count, so a sample time of 10,000,000 stands for byte 1.
// A read that runs past the total length (the 44 header bytes plus the declared data size)
// is cut there and the sample's stop time is moved to match: at 44,100 Hz stereo with
// 176,400 data bytes the total is 176,444, and a 4096-byte read at 174,080 becomes 2364 bytes
// with stop time 1,764,440,000,000.
//
// Order of use: made by the filter; the parser connects, RequestAllocator, then queued or
// synchronous reads; BeginFlush / EndFlush release a thread waiting in WaitForNext.
// Threading: connection and media-type calls under the filter lock on the control thread;
// reader calls from the parser's streaming thread (the queue serialises them).
#pragma once

#include "platform/media/base/CAsyncReaderPin.h"

class TimeStretchSource;

class TimeStretchOutputPin : public CAsyncReaderPin {
public:
    TimeStretchOutputPin(TimeStretchSource* filter, CCritSec* lock);
    ~TimeStretchOutputPin() override;

    // IAsyncReader. Reads give VFW_E_WRONG_STATE while the filter serves nothing.
    HRESULT Request(IMediaSample* sample, DWORD_PTR user) override;
    HRESULT WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) override;
    HRESULT SyncReadAligned(IMediaSample* sample) override;
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Length(LONGLONG* total, LONGLONG* available) override;
    // Shared by IPin and IAsyncReader: both release the reader's waiters.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

protected:
    const CMediaType* ServedType() override;
    LONG ReaderAlignment() override;

private:
    // The sample's byte range and buffer, cut at the total length (its stop time follows).
    HRESULT SampleRange(IMediaSample* sample, LONGLONG* position, LONG* length, BYTE** buffer);

    TimeStretchSource* const m_source;
};
