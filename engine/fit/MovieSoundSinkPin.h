// The input pin of MovieSoundSink: accepts audio as 16-bit PCM in a wave format record of 1 to
// 8 channels, and passes each sample it receives and the end of the stream to its filter.
// Threading: as CBaseInputPin (Receive and EndOfStream on the upstream streaming thread).
#pragma once

#include "platform/media/base/CBaseInputPin.h"

class MovieSoundSink;

class MovieSoundSinkPin : public CBaseInputPin {
public:
    MovieSoundSinkPin(MovieSoundSink* sink, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;

    // The connection's format (valid while connected).
    uint32_t SampleRate() const;
    uint32_t Channels() const;

private:
    MovieSoundSink* const m_sink;
};
