// WaveParserInputPin: the "Wave Parser" input pin "input". It connects to an output pin of
// MEDIATYPE_Stream / MEDIASUBTYPE_WAVE that offers IAsyncReader (VFW_E_NO_TRANSPORT without
// it), reads the RIFF header through SyncRead while connecting (a file it cannot make sense
// of fails the connection), and then pulls the samples with its WavePullReader.
// Order of use: connect, then the filter starts and stops the pulling (StartPulling /
// StopPulling); disconnecting stops it too.
// Threading: connection and pulling control under the filter lock on the control thread.
#pragma once

#include "platform/media/base/CBasePin.h"
#include "platform/media/filters/WavePullReader.h"
#include "platform/media/filters/WaveHeaderParser.h"

class WaveParserFilter;

class WaveParserInputPin : public CBasePin {
public:
    WaveParserInputPin(WaveParserFilter* filter, CCritSec* lock);
    ~WaveParserInputPin() override;

    HRESULT CheckMediaType(const CMediaType* type) override;

    // Pulling is driven by the source, never pushed at: flushes have nothing to do here.
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }

    // The bytes [start, stop) of the upstream stream, from the pull thread.
    HRESULT StartPulling(int64_t start, int64_t stop);
    HRESULT StopPulling();
    bool IsPulling() const { return m_reader.IsActive(); }

    HRESULT Inactive() override;

protected:
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receive_pin) override;
    HRESULT BreakConnect() override;

private:
    static bool ReadLayout(IAsyncReader* reader, WaveLayout* layout);

    WaveParserFilter* const m_parser;
    WavePullReader m_reader;
};
