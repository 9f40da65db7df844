// DmoInputPin: input pin "in<N>" of the DMO wrapper filter, for the object's input stream N.
// Its types are the object's (GetInputType, checked with SetInputType test-only and set with
// SetInputType on connection, cleared on disconnection). Samples, end of stream, flushes and
// new segments are handed to the filter, which drives the object.
// Order of use: as any input pin.
// Threading: Receive and EndOfStream on the upstream streaming thread; flushes on the control
// thread; connection under the filter lock.
#pragma once

#include "platform/media/base/CBaseInputPin.h"
#include "platform/media/dmo.h"

class DmoWrapperFilter;

class DmoInputPin : public CBaseInputPin {
public:
    DmoInputPin(DmoWrapperFilter* filter, CCritSec* lock, LPCWSTR name, DWORD stream);
    ~DmoInputPin() override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    DWORD Stream() const { return m_stream; }

protected:
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT BreakConnect() override;

private:
    DmoWrapperFilter* const m_wrapper;
    const DWORD m_stream;
};
