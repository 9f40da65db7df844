// AsyncFileOutputPin: the file source's output pin "Output". It answers IAsyncReader, and a
// connection completes only when the downstream pin asked for that interface (a pin that
// wants samples pushed at it gets VFW_E_NO_TRANSPORT). Sample times carry byte positions:
// start / 10,000,000 is the first byte, so a sample time of 10,000,000 stands for byte 1.
// A request running past the end of the file is cut there and its stop time moved to match.
// Order of use: the filter makes it; the parser connects, RequestAllocator, then queued or
// synchronous reads; BeginFlush / EndFlush release a thread waiting in WaitForNext.
// Threading: connection calls under the filter lock; reader calls from any thread (the queue
// serialises them).
#pragma once

#include "platform/media/base/CAsyncReaderPin.h"

class AsyncFileSource;

class AsyncFileOutputPin : public CAsyncReaderPin {
public:
    AsyncFileOutputPin(AsyncFileSource* filter, CCritSec* lock);
    ~AsyncFileOutputPin() override;

    // IAsyncReader
    HRESULT Request(IMediaSample* sample, DWORD_PTR user) override;
    HRESULT WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) override;
    HRESULT SyncReadAligned(IMediaSample* sample) override;
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Length(LONGLONG* total, LONGLONG* available) override;
    // Shared by IPin and IAsyncReader: both mean "release the reader's waiters".
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

protected:
    const CMediaType* ServedType() override;

private:
    // The sample's byte range, cut at the end of the file (its stop time follows).
    HRESULT SampleRange(IMediaSample* sample, LONGLONG* position, long* length, BYTE** buffer);

    AsyncFileSource* const m_source;
};
