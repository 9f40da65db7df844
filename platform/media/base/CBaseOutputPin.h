// CBaseOutputPin: an output pin that delivers samples to an input pin through IMemInputPin.
// On connection it asks the peer for IMemInputPin (VFW_E_NO_TRANSPORT without it) and
// decides the allocator: the peer's own first, else a new CMemAllocator, each sized by the
// DecideBufferSize hook and announced with NotifyAllocator. Active commits the allocator,
// Inactive decommits it, which releases a thread waiting in GetDeliveryBuffer.
//
// A source or transform pin supplies CheckMediaType, GetMediaType and DecideBufferSize, then
// on its streaming thread: GetDeliveryBuffer, fill, Deliver, ..., DeliverEndOfStream.
// Threading: connection under the filter lock; the Deliver* calls from the filter's streaming
// thread (DeliverBeginFlush/EndFlush from the control thread).
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/base/CBasePin.h"

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(LPCSTR object_name, CBaseFilter* filter, CCritSec* lock, LPCWSTR pin_name);
    ~CBaseOutputPin() override;

    // Sizes the allocator: call SetProperties with what the pin needs. Called while
    // connecting, with the downstream pin's requirements in `request` (cbAlign at least 1).
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;

    // A buffer from the agreed allocator (blocks while all are out; VFW_E_NOT_COMMITTED once
    // the pin is inactive).
    virtual HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                      REFERENCE_TIME* stop, DWORD flags);
    virtual HRESULT Deliver(IMediaSample* sample);
    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    HRESULT Active() override;
    HRESULT Inactive() override;

    // These arrive at input pins only.
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    IMemAllocator* Allocator() const { return m_allocator.Get(); }

protected:
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receive_pin) override;
    HRESULT BreakConnect() override;

    // The peer's allocator when it has one that takes our sizes, else our own.
    virtual HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator);
    // A new CMemAllocator.
    virtual HRESULT InitAllocator(IMemAllocator** allocator);

    ComPtr<IMemAllocator> m_allocator;
    ComPtr<IMemInputPin> m_input_pin;
};
