// CAsyncReaderPin: the base of output pins that are read by their peer through IAsyncReader
// (a file source's, the time-stretch source's). It owns what every such pin shares: asking for
// IAsyncReader is what lets a connection complete (a peer that wants samples pushed at it gets
// VFW_E_NO_TRANSPORT); the one media type offered and accepted is the filter's served type (a
// GUID_NULL subtype accepts any); RequestAllocator takes the peer's preferred allocator when
// it grants an acceptable alignment, else makes a memory allocator.
// A derived pin supplies ServedType(), optionally ReaderAlignment(), and the reads.
// Threading: connection and media-type calls under the filter lock on the control thread.
#pragma once

#include <atomic>

#include "platform/media/base/CBasePin.h"
#include "platform/media/strmif.h"

class CAsyncReaderPin : public CBasePin, public IAsyncReader {
public:
    CAsyncReaderPin(const char* object_name, CBaseFilter* filter, CCritSec* lock, LPCWSTR pin_name);
    ~CAsyncReaderPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // The one type: position 0, while the filter serves something.
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT CheckMediaType(const CMediaType* type) override;

    HRESULT RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                             IMemAllocator** actual) override;

protected:
    // The bytes a read request's sample asks for: its times are byte positions times UNITS
    // (10,000,000); `start` gets the sample's start time as it was. E_INVALIDARG for a negative
    // start or a stop before it.
    static HRESULT RequestedBytes(IMediaSample* sample, REFERENCE_TIME* start, LONGLONG* position,
                                  LONGLONG* count);

    // The type the filter serves now, or null while it serves nothing. Called under m_lock.
    virtual const CMediaType* ServedType() = 0;
    // The alignment reads need (1: any).
    virtual LONG ReaderAlignment() { return 1; }

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receive_pin) override;
    HRESULT BreakConnect() override;

private:
    bool IsAcceptableAlignment(LONG alignment);

    std::atomic<bool> m_reader_asked{false};
};
