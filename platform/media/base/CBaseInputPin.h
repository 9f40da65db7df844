// CBaseInputPin: an input pin that receives samples through IMemInputPin. It offers an
// allocator of its own (a CMemAllocator made on first GetAllocator), keeps the one the output
// pin chose, and decommits it when the filter stops, which releases an upstream thread
// waiting for a buffer.
//
// A derived pin supplies CheckMediaType and overrides Receive, calling the base first:
//   HRESULT hr = CBaseInputPin::Receive(sample);  // not connected, stopped, flushing...
//   if (hr != S_OK) return hr;                    // S_FALSE while flushing: drop it
// BeginFlush sets the flushing flag (Receive answers S_FALSE), EndFlush clears it; derived
// pins pass the flush on downstream after calling these.
// Threading: Receive and EndOfStream on the upstream streaming thread; the flags they read
// are atomic. Flushes and state hooks on the control thread.
#pragma once

#include <atomic>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CBasePin.h"

class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(LPCSTR object_name, CBaseFilter* filter, CCritSec* lock, LPCWSTR pin_name);
    ~CBaseInputPin() override;

    DECLARE_IUNKNOWN
    // IPin and IMemInputPin.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IMemInputPin
    HRESULT GetAllocator(IMemAllocator** allocator) override;
    HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL read_only) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    // Checks the streaming state and a changed media type; S_OK means "process it".
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    HRESULT ReceiveCanBlock() override;

    // IPin
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    HRESULT Inactive() override;

    // S_OK while samples may be processed; S_FALSE while flushing; VFW_E_NOT_CONNECTED,
    // VFW_E_WRONG_STATE when stopped, VFW_E_RUNTIME_ERROR after a rejected type change.
    HRESULT CheckStreaming();
    bool IsFlushing() const { return m_flushing.load(); }
    bool IsReadOnly() const { return m_read_only; }
    IMemAllocator* Allocator() const { return m_allocator.Get(); }

protected:
    HRESULT BreakConnect() override;

    ComPtr<IMemAllocator> m_allocator;
    bool m_read_only = false;
    std::atomic<bool> m_flushing{false};
    std::atomic<bool> m_runtime_error{false};
};
