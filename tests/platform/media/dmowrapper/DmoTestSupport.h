// What the DMO wrapper tests share: a 16-bit PCM media type, a plain memory IMediaBuffer, and
// conversions between samples and bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "platform/media/base/CMediaType.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/dmo.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

inline CMediaType PcmType(uint16_t channels, uint32_t rate, uint16_t bits = 16) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = channels;
    wave.nSamplesPerSec = rate;
    wave.wBitsPerSample = bits;
    wave.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    wave.nAvgBytesPerSec = rate * wave.nBlockAlign;
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    type.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof(wave));
    type.SetSampleSize(wave.nBlockAlign);
    return type;
}

inline std::vector<BYTE> Bytes(const std::vector<int16_t>& samples) {
    std::vector<BYTE> bytes(samples.size() * 2);
    if (!bytes.empty()) std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

inline std::vector<int16_t> Samples(const BYTE* bytes, size_t length) {
    std::vector<int16_t> samples(length / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes, samples.size() * 2);
    return samples;
}

// An IMediaBuffer over its own memory, counted as a framework object so leaks show.
class MemoryBuffer : public CUnknown, public IMediaBuffer {
public:
    explicit MemoryBuffer(size_t capacity, std::vector<BYTE> data = {})
        : CUnknown("Test memory buffer"), m_bytes(std::move(data)), m_length(m_bytes.size()) {
        if (m_bytes.size() < capacity) m_bytes.resize(capacity);
    }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IMediaBuffer)) {
            return GetInterface(static_cast<IMediaBuffer*>(this), object);
        }
        return CUnknown::NonDelegatingQueryInterface(iid, object);
    }
    HRESULT SetLength(DWORD length) override {
        if (length > m_bytes.size()) return E_INVALIDARG;
        m_length = length;
        return S_OK;
    }
    HRESULT GetMaxLength(DWORD* max_length) override {
        *max_length = static_cast<DWORD>(m_bytes.size());
        return S_OK;
    }
    HRESULT GetBufferAndLength(BYTE** buffer, DWORD* length) override {
        if (buffer) *buffer = m_bytes.data();
        if (length) *length = static_cast<DWORD>(m_length);
        return S_OK;
    }

    std::vector<int16_t> Contents() const { return Samples(m_bytes.data(), m_length); }

private:
    std::vector<BYTE> m_bytes;
    size_t m_length;
};
