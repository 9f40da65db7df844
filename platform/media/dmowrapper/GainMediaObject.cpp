#include "platform/media/dmowrapper/GainMediaObject.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/dmowrapper/PcmGain.h"
#include "platform/media/uuids.h"

namespace {

constexpr REFERENCE_TIME kUnitsPerSecond = 10000000;

bool SameFormat(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    // Only the PCM fields count: one side may carry the 2-byte cbSize, the other not.
    return IsEqualGUID(a.majortype, b.majortype) && IsEqualGUID(a.subtype, b.subtype) &&
           IsEqualGUID(a.formattype, b.formattype) && a.pbFormat && b.pbFormat &&
           std::memcmp(a.pbFormat, b.pbFormat, kPcmFormatChunkSize) == 0;
}

}  // namespace

GainMediaObject::GainMediaObject() : CUnknown("Gain media object") {}

GainMediaObject::~GainMediaObject() = default;

CUnknown* GainMediaObject::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* object = new (std::nothrow) GainMediaObject();
    if (!object && hr) *hr = E_OUTOFMEMORY;
    return object;
}

HRESULT GainMediaObject::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IMediaObject)) {
        return GetInterface(static_cast<IMediaObject*>(this), object);
    }
    if (IsEqualIID(iid, IID_IAudioGain)) {
        return GetInterface(static_cast<IAudioGain*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT GainMediaObject::SetGain(double gain) {
    // Written so that NaN fails as well.
    if (!(gain >= 0.0 && gain <= kMaxAudioGain)) return E_INVALIDARG;
    m_gain = gain;
    return S_OK;
}

HRESULT GainMediaObject::GetGain(double* gain) {
    if (!gain) return E_POINTER;
    *gain = m_gain.load();
    return S_OK;
}

bool GainMediaObject::IsSupportedType(const AM_MEDIA_TYPE& type, WAVEFORMATEX* format) {
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Audio) ||
        !IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM) ||
        !IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) || !type.pbFormat ||
        type.cbFormat < kPcmFormatChunkSize) {
        return false;
    }
    WAVEFORMATEX wave{};
    std::memcpy(&wave, type.pbFormat, kPcmFormatChunkSize);
    const bool valid = wave.wFormatTag == WAVE_FORMAT_PCM && wave.wBitsPerSample == 16 &&
                       wave.nChannels > 0 && wave.nBlockAlign == wave.nChannels * 2 &&
                       wave.nSamplesPerSec > 0 &&
                       wave.nAvgBytesPerSec == wave.nSamplesPerSec * wave.nBlockAlign;
    if (valid && format) *format = wave;
    return valid;
}

HRESULT GainMediaObject::GetStreamCount(DWORD* input_streams, DWORD* output_streams) {
    if (!input_streams || !output_streams) return E_POINTER;
    *input_streams = 1;
    *output_streams = 1;
    return S_OK;
}

HRESULT GainMediaObject::GetInputStreamInfo(DWORD input_stream, DWORD* flags) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!flags) return E_POINTER;
    *flags = DMO_INPUT_STREAMF_WHOLE_SAMPLES;
    return S_OK;
}

HRESULT GainMediaObject::GetOutputStreamInfo(DWORD output_stream, DWORD* flags) {
    if (output_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!flags) return E_POINTER;
    *flags = DMO_OUTPUT_STREAMF_WHOLE_SAMPLES;
    return S_OK;
}

// One partial type: 16-bit PCM of any layout; the format comes from upstream.
HRESULT GainMediaObject::GetInputType(DWORD input_stream, DWORD type_index, DMO_MEDIA_TYPE* type) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (type_index != 0) return DMO_E_NO_MORE_ITEMS;
    if (!type) return S_OK;
    CMediaType partial(&MEDIATYPE_Audio);
    partial.SetSubtype(&MEDIASUBTYPE_PCM);
    return CopyMediaType(type, &partial);
}

// The output is what comes in, so there is nothing to offer before the input is known.
HRESULT GainMediaObject::GetOutputType(DWORD output_stream, DWORD type_index,
                                       DMO_MEDIA_TYPE* type) {
    if (output_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(m_mutex);
    if (!m_input_type) return DMO_E_TYPE_NOT_SET;
    if (type_index != 0) return DMO_E_NO_MORE_ITEMS;
    return type ? CopyMediaType(type, &*m_input_type) : S_OK;
}

HRESULT GainMediaObject::SetInputType(DWORD input_stream, const DMO_MEDIA_TYPE* type, DWORD flags) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(m_mutex);
    if (flags & DMO_SET_TYPEF_CLEAR) {
        m_input_type.reset();
        m_held.reset();
        return S_OK;
    }
    WAVEFORMATEX format{};
    if (!type) return E_POINTER;
    if (!IsSupportedType(*type, &format)) return DMO_E_TYPE_NOT_ACCEPTED;
    if (flags & DMO_SET_TYPEF_TEST_ONLY) return S_OK;
    m_input_type.emplace(*type);
    m_format = format;
    m_held.reset();
    // An output type of another layout no longer fits.
    if (m_output_type && !SameFormat(*m_output_type, *type)) m_output_type.reset();
    return S_OK;
}

HRESULT GainMediaObject::SetOutputType(DWORD output_stream, const DMO_MEDIA_TYPE* type,
                                       DWORD flags) {
    if (output_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(m_mutex);
    if (flags & DMO_SET_TYPEF_CLEAR) {
        m_output_type.reset();
        return S_OK;
    }
    if (!type) return E_POINTER;
    if (!m_input_type) return DMO_E_TYPE_NOT_SET;
    if (!IsSupportedType(*type, nullptr) || !SameFormat(*type, *m_input_type)) {
        return DMO_E_TYPE_NOT_ACCEPTED;
    }
    if (!(flags & DMO_SET_TYPEF_TEST_ONLY)) m_output_type.emplace(*type);
    return S_OK;
}

HRESULT GainMediaObject::GetInputCurrentType(DWORD input_stream, DMO_MEDIA_TYPE* type) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!type) return E_POINTER;
    std::lock_guard lock(m_mutex);
    return m_input_type ? CopyMediaType(type, &*m_input_type) : DMO_E_TYPE_NOT_SET;
}

HRESULT GainMediaObject::GetOutputCurrentType(DWORD output_stream, DMO_MEDIA_TYPE* type) {
    if (output_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!type) return E_POINTER;
    std::lock_guard lock(m_mutex);
    return m_output_type ? CopyMediaType(type, &*m_output_type) : DMO_E_TYPE_NOT_SET;
}

HRESULT GainMediaObject::GetInputSizeInfo(DWORD input_stream, DWORD* size, DWORD* max_lookahead,
                                          DWORD* alignment) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!size || !max_lookahead || !alignment) return E_POINTER;
    std::lock_guard lock(m_mutex);
    if (!m_input_type) return DMO_E_TYPE_NOT_SET;
    *size = m_format.nBlockAlign;
    *max_lookahead = 0;
    *alignment = 1;
    return S_OK;
}

HRESULT GainMediaObject::GetOutputSizeInfo(DWORD output_stream, DWORD* size, DWORD* alignment) {
    if (output_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!size || !alignment) return E_POINTER;
    std::lock_guard lock(m_mutex);
    if (!m_output_type) return DMO_E_TYPE_NOT_SET;
    *size = m_format.nBlockAlign;
    *alignment = 1;
    return S_OK;
}

HRESULT GainMediaObject::GetInputMaxLatency(DWORD input_stream, REFERENCE_TIME* max_latency) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!max_latency) return E_POINTER;
    *max_latency = 0;  // nothing is held back beyond the buffer being processed
    return S_OK;
}

HRESULT GainMediaObject::SetInputMaxLatency(DWORD input_stream, REFERENCE_TIME /*max_latency*/) {
    return input_stream != 0 ? DMO_E_INVALIDSTREAMINDEX : E_NOTIMPL;
}

HRESULT GainMediaObject::Flush() {
    std::lock_guard lock(m_mutex);
    m_held.reset();
    return S_OK;
}

// Every buffer stands alone, so a break in the stream needs nothing drained.
HRESULT GainMediaObject::Discontinuity(DWORD input_stream) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    std::lock_guard lock(m_mutex);
    return m_input_type && m_output_type ? S_OK : DMO_E_TYPE_NOT_SET;
}

HRESULT GainMediaObject::AllocateStreamingResources() {
    std::lock_guard lock(m_mutex);
    return m_input_type && m_output_type ? S_OK : DMO_E_TYPE_NOT_SET;
}

HRESULT GainMediaObject::FreeStreamingResources() {
    std::lock_guard lock(m_mutex);
    m_held.reset();
    return S_OK;
}

HRESULT GainMediaObject::GetInputStatus(DWORD input_stream, DWORD* flags) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!flags) return E_POINTER;
    std::lock_guard lock(m_mutex);
    *flags = m_held ? 0 : DMO_INPUT_STATUSF_ACCEPT_DATA;
    return S_OK;
}

HRESULT GainMediaObject::ProcessInput(DWORD input_stream, IMediaBuffer* buffer, DWORD flags,
                                      REFERENCE_TIME timestamp, REFERENCE_TIME /*timelength*/) {
    if (input_stream != 0) return DMO_E_INVALIDSTREAMINDEX;
    if (!buffer) return E_POINTER;
    std::lock_guard lock(m_mutex);
    if (!m_input_type || !m_output_type) return DMO_E_TYPE_NOT_SET;
    if (m_held) return DMO_E_NOTACCEPTING;
    DWORD length = 0;
    const HRESULT hr = buffer->GetBufferAndLength(nullptr, &length);
    if (FAILED(hr)) return hr;
    if (length % m_format.nBlockAlign != 0) return E_INVALIDARG;
    if (length == 0) return S_FALSE;
    m_held.emplace();
    m_held->buffer = buffer;
    m_held->timed = (flags & DMO_INPUT_DATA_BUFFERF_TIME) != 0;
    m_held->start = timestamp;
    return S_OK;
}

HRESULT GainMediaObject::ProcessOutput(DWORD flags, DWORD output_buffer_count,
                                       DMO_OUTPUT_DATA_BUFFER* output_buffers, DWORD* status) {
    if (output_buffer_count != 1) return E_INVALIDARG;
    if (!output_buffers || !status) return E_POINTER;
    *status = 0;
    DMO_OUTPUT_DATA_BUFFER& output = output_buffers[0];
    output.dwStatus = 0;
    std::lock_guard lock(m_mutex);
    if (!m_input_type || !m_output_type) return DMO_E_TYPE_NOT_SET;
    if (!m_held) return S_FALSE;
    if (!output.pBuffer) {
        if (!(flags & DMO_PROCESS_OUTPUT_DISCARD_WHEN_NO_BUFFER)) return E_POINTER;
        m_held.reset();
        return S_OK;
    }
    return FillOutput(output);
}

HRESULT GainMediaObject::FillOutput(DMO_OUTPUT_DATA_BUFFER& output) {
    BYTE* in = nullptr;
    DWORD in_length = 0;
    BYTE* out = nullptr;
    DWORD out_length = 0;
    DWORD capacity = 0;
    HRESULT hr = m_held->buffer->GetBufferAndLength(&in, &in_length);
    if (SUCCEEDED(hr)) hr = output.pBuffer->GetBufferAndLength(&out, &out_length);
    if (SUCCEEDED(hr)) hr = output.pBuffer->GetMaxLength(&capacity);
    if (FAILED(hr)) return hr;
    if (out_length > capacity || m_held->offset > in_length) return E_UNEXPECTED;
    const DWORD block = m_format.nBlockAlign;
    const DWORD room = (capacity - out_length) / block * block;
    const DWORD count = std::min(room, in_length - m_held->offset);
    // Byte-wise copies first: neither buffer is promised to be 2-byte aligned.
    std::vector<int16_t> samples(count / 2);
    std::memcpy(samples.data(), in + m_held->offset, count);
    ApplyPcmGain(samples.data(), samples.data(), samples.size(), m_gain.load());
    std::memcpy(out + out_length, samples.data(), count);
    hr = output.pBuffer->SetLength(out_length + count);
    if (FAILED(hr)) return hr;

    output.dwStatus = DMO_OUTPUT_DATA_BUFFERF_SYNCPOINT;
    if (m_held->timed) {
        output.dwStatus |= DMO_OUTPUT_DATA_BUFFERF_TIME | DMO_OUTPUT_DATA_BUFFERF_TIMELENGTH;
        output.rtTimestamp = m_held->start + BytesToTime(m_held->offset);
        output.rtTimelength = BytesToTime(m_held->offset + count) - BytesToTime(m_held->offset);
    }
    m_held->offset += count;
    if (m_held->offset < in_length) {
        output.dwStatus |= DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE;
    } else {
        m_held.reset();
    }
    return S_OK;
}

REFERENCE_TIME GainMediaObject::BytesToTime(DWORD bytes) const {
    return static_cast<REFERENCE_TIME>(bytes) * kUnitsPerSecond / m_format.nAvgBytesPerSec;
}

HRESULT GainMediaObject::Lock(LONG lock) {
    std::unique_lock guard(m_client_mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (lock) {
        m_client_released.wait(guard,
                               [&] { return m_client_depth == 0 || m_client_owner == self; });
        m_client_owner = self;
        ++m_client_depth;
        return S_OK;
    }
    // An unlock without a lock of this thread is the caller's mistake, not a crash.
    if (m_client_depth == 0 || m_client_owner != self) return E_UNEXPECTED;
    if (--m_client_depth == 0) m_client_released.notify_all();
    return S_OK;
}
