// SampleMediaBuffer: an IMediaBuffer over a media sample, so that a media object reads a
// received sample and writes into a delivery buffer without a copy. The buffer's length is
// the sample's actual data length; its capacity is the sample's size.
// Order of use: Create, hand to ProcessInput / ProcessOutput, release.
// Threading: one thread at a time, like the sample.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/dmo.h"

class SampleMediaBuffer : public CUnknown, public IMediaBuffer {
public:
    // The buffer with one reference, or null (E_OUTOFMEMORY in *hr) when memory runs out.
    static ComPtr<IMediaBuffer> Create(IMediaSample* sample, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT SetLength(DWORD length) override;
    HRESULT GetMaxLength(DWORD* max_length) override;
    HRESULT GetBufferAndLength(BYTE** buffer, DWORD* length) override;

private:
    explicit SampleMediaBuffer(IMediaSample* sample);

    ComPtr<IMediaSample> m_sample;
};
