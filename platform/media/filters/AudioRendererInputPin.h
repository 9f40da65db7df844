// AudioRendererInputPin: the audio renderer's input "Audio Input pin (rendered)". It takes
// MEDIATYPE_Audio as a WAVEFORMATEX of 8- or 16-bit PCM with 1 to 8 channels (a record whose
// sizes disagree is refused), and hands each sample's bytes to the renderer, which queues
// them for the device and may hold the streaming thread while the queue is full.
// Order of use: made by AudioRendererFilter; connect, then streaming calls.
// Threading: Receive and EndOfStream on the upstream streaming thread; flushes on the control
// thread release a waiting Receive.
#pragma once

#include "platform/media/base/CBaseInputPin.h"
#include "platform/media/filters/AudioDevice.h"

class AudioRendererFilter;

class AudioRendererInputPin : public CBaseInputPin {
public:
    AudioRendererInputPin(AudioRendererFilter* filter, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    // The device format of a type the pin accepts.
    static bool FormatOf(const CMediaType& type, AudioDeviceFormat* format);

protected:
    HRESULT BreakConnect() override;

private:
    AudioRendererFilter* const m_renderer;
};
