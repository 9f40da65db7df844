#include "platform/media/filters/AudioRendererInputPin.h"

#include <algorithm>
#include <cstring>

#include "platform/media/filters/AudioRendererFilter.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

namespace {

constexpr size_t kSubFormatAt = 24;  // in an extensible record

bool IsPcmRecord(const BYTE* record, ULONG size, WORD tag) {
    if (tag == WAVE_FORMAT_PCM) return true;
    if (tag != WAVE_FORMAT_EXTENSIBLE || size < kSubFormatAt + sizeof(GUID)) return false;
    GUID sub_format{};
    std::memcpy(&sub_format, record + kSubFormatAt, sizeof sub_format);
    return sub_format == MEDIASUBTYPE_PCM;
}

}  // namespace

AudioRendererInputPin::AudioRendererInputPin(AudioRendererFilter* filter, CCritSec* lock)
    : CBaseInputPin("audio renderer input pin", filter, lock, u"Audio Input pin (rendered)"),
      m_renderer(filter) {}

bool AudioRendererInputPin::FormatOf(const CMediaType& type, AudioDeviceFormat* format) {
    if (*type.Type() != MEDIATYPE_Audio || *type.FormatType() != FORMAT_WaveFormatEx) return false;
    if (*type.Subtype() != MEDIASUBTYPE_PCM && *type.Subtype() != GUID_NULL) return false;
    if (!type.Format() || type.FormatLength() < kPcmFormatChunkSize) return false;
    WAVEFORMATEX wave{};
    std::memcpy(&wave, type.Format(), std::min<size_t>(sizeof wave, type.FormatLength()));
    if (!IsPcmRecord(type.Format(), type.FormatLength(), wave.wFormatTag)) return false;
    const AudioDeviceFormat candidate{static_cast<int>(wave.nSamplesPerSec), wave.nChannels,
                                      wave.wBitsPerSample};
    if (!IsPlayableAudioFormat(candidate)) return false;
    const DWORD block = wave.nChannels * wave.wBitsPerSample / 8u;
    if (wave.nBlockAlign != block || wave.nAvgBytesPerSec != wave.nSamplesPerSec * block) {
        return false;
    }
    if (format) *format = candidate;
    return true;
}

HRESULT AudioRendererInputPin::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    return FormatOf(*type, nullptr) ? S_OK : S_FALSE;
}

HRESULT AudioRendererInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_renderer->Render(sample);
}

HRESULT AudioRendererInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    m_renderer->EndOfStreamReceived();
    return S_OK;
}

HRESULT AudioRendererInputPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    m_renderer->BeginFlushing();
    return S_OK;
}

HRESULT AudioRendererInputPin::EndFlush() {
    m_renderer->EndFlushing();
    return CBaseInputPin::EndFlush();
}

HRESULT AudioRendererInputPin::BreakConnect() {
    m_renderer->CloseDevice();
    return CBaseInputPin::BreakConnect();
}
