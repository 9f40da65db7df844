// WavePullReader: the "Wave Parser" input's puller: the base class pulls the sample bytes
// from the upstream IAsyncReader on its own thread, and this class passes what comes to the
// parser filter, which times and delivers it.
// Order of use: as CPullPin; the filter stops it (Inactive / Disconnect) before it goes.
// Threading: Receive, EndOfStream and OnError run on the pull thread.
#pragma once

#include "platform/media/base/CPullPin.h"

class WaveParserFilter;

class WavePullReader : public CPullPin {
public:
    explicit WavePullReader(WaveParserFilter* filter) : m_filter(filter) {}
    ~WavePullReader() override;

protected:
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    void OnError(HRESULT hr) override;

private:
    WaveParserFilter* const m_filter;
};
