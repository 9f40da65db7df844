#include "engine/fit/MovieSoundSinkPin.h"

#include "engine/fit/MovieSoundSink.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

namespace {

const WAVEFORMATEX* WaveFormat(const CMediaType& type) {
    if (!IsEqualGUID(*type.FormatType(), FORMAT_WaveFormatEx)) return nullptr;
    if (!type.Format() || type.FormatLength() < 16) return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(type.Format());
}

}  // namespace

MovieSoundSinkPin::MovieSoundSinkPin(MovieSoundSink* sink, CCritSec* lock)
    : CBaseInputPin("fit sound sink pin", sink, lock, u"Input"), m_sink(sink) {}

HRESULT MovieSoundSinkPin::CheckMediaType(const CMediaType* type) {
    if (!type || !IsEqualGUID(*type->Type(), MEDIATYPE_Audio) ||
        !IsEqualGUID(*type->Subtype(), MEDIASUBTYPE_PCM)) {
        return S_FALSE;
    }
    const WAVEFORMATEX* format = WaveFormat(*type);
    if (!format || format->wBitsPerSample != 16 || format->nChannels < 1 || format->nChannels > 8 ||
        format->nSamplesPerSec == 0 || format->nBlockAlign != format->nChannels * 2) {
        return S_FALSE;
    }
    return S_OK;
}

HRESULT MovieSoundSinkPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_sink->Take(sample);
}

HRESULT MovieSoundSinkPin::EndOfStream() {
    m_sink->End();
    return S_OK;
}

uint32_t MovieSoundSinkPin::SampleRate() const {
    const WAVEFORMATEX* format = WaveFormat(CurrentMediaType());
    return format ? format->nSamplesPerSec : 0;
}

uint32_t MovieSoundSinkPin::Channels() const {
    const WAVEFORMATEX* format = WaveFormat(CurrentMediaType());
    return format ? format->nChannels : 0;
}
