// DmoOutputPin: output pin "out<N>" of the DMO wrapper filter, for the object's output stream
// N. Its types are the object's (GetOutputType, SetOutputType on connection); its buffers are
// sized from GetOutputSizeInfo and never smaller than what comes in, so one input buffer
// mostly gives one output buffer. Seeking passes through to the pin upstream of the filter's
// first input.
// Order of use: connect after the inputs (the object's output types follow its input types).
// Threading: connection under the filter lock; delivery on the upstream streaming thread.
#pragma once

#include "platform/media/base/CBaseOutputPin.h"
#include "platform/media/base/CPosPassThru.h"
#include "platform/media/dmo.h"

class DmoWrapperFilter;

class DmoOutputPin : public CBaseOutputPin, public CPosPassThru {
public:
    DmoOutputPin(DmoWrapperFilter* filter, CCritSec* lock, LPCWSTR name, DWORD stream);
    ~DmoOutputPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    DWORD Stream() const { return m_stream; }

protected:
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT BreakConnect() override;
    CBasePin* PassThroughPin() override;

private:
    DmoWrapperFilter* const m_wrapper;
    const DWORD m_stream;
};
