// GainMediaObject: the built-in "Gain" media object (CLSID_GainDmo), an audio effect with one
// input and one output stream of 16-bit PCM (FORMAT_WaveFormatEx). Its output type is its
// input type; each sample is scaled by the factor set through IAudioGain (PcmGain.h).
// ProcessInput holds the buffer it is given; ProcessOutput fills the output buffer from it,
// after the data already there, and says INCOMPLETE while some is left. Output times are the
// input's, advanced by the bytes already given out (bytes * 10,000,000 / average bytes per
// second), so a buffer cut in two keeps exact times.
// Order of use: as IMediaObject (SetInputType, SetOutputType, AllocateStreamingResources,
// ProcessInput / ProcessOutput...).
// Threading: every call may come from any thread; the state is under one mutex. Lock(TRUE)
// and Lock(FALSE) pair on the calling thread, for callers that share the object.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/dmo.h"
#include "platform/media/dmowrapper/IAudioGain.h"
#include "platform/mmio/mmreg.h"

class GainMediaObject : public CUnknown, public IMediaObject, public IAudioGain {
public:
    GainMediaObject();
    ~GainMediaObject() override;

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IAudioGain
    HRESULT SetGain(double gain) override;
    HRESULT GetGain(double* gain) override;

    // IMediaObject
    HRESULT GetStreamCount(DWORD* input_streams, DWORD* output_streams) override;
    HRESULT GetInputStreamInfo(DWORD input_stream, DWORD* flags) override;
    HRESULT GetOutputStreamInfo(DWORD output_stream, DWORD* flags) override;
    HRESULT GetInputType(DWORD input_stream, DWORD type_index, DMO_MEDIA_TYPE* type) override;
    HRESULT GetOutputType(DWORD output_stream, DWORD type_index, DMO_MEDIA_TYPE* type) override;
    HRESULT SetInputType(DWORD input_stream, const DMO_MEDIA_TYPE* type, DWORD flags) override;
    HRESULT SetOutputType(DWORD output_stream, const DMO_MEDIA_TYPE* type, DWORD flags) override;
    HRESULT GetInputCurrentType(DWORD input_stream, DMO_MEDIA_TYPE* type) override;
    HRESULT GetOutputCurrentType(DWORD output_stream, DMO_MEDIA_TYPE* type) override;
    HRESULT GetInputSizeInfo(DWORD input_stream, DWORD* size, DWORD* max_lookahead,
                             DWORD* alignment) override;
    HRESULT GetOutputSizeInfo(DWORD output_stream, DWORD* size, DWORD* alignment) override;
    HRESULT GetInputMaxLatency(DWORD input_stream, REFERENCE_TIME* max_latency) override;
    HRESULT SetInputMaxLatency(DWORD input_stream, REFERENCE_TIME max_latency) override;
    HRESULT Flush() override;
    HRESULT Discontinuity(DWORD input_stream) override;
    HRESULT AllocateStreamingResources() override;
    HRESULT FreeStreamingResources() override;
    HRESULT GetInputStatus(DWORD input_stream, DWORD* flags) override;
    HRESULT ProcessInput(DWORD input_stream, IMediaBuffer* buffer, DWORD flags,
                         REFERENCE_TIME timestamp, REFERENCE_TIME timelength) override;
    HRESULT ProcessOutput(DWORD flags, DWORD output_buffer_count,
                          DMO_OUTPUT_DATA_BUFFER* output_buffers, DWORD* status) override;
    HRESULT Lock(LONG lock) override;

    // Whether `type` is 16-bit PCM this object can take; its wave format through `format`.
    static bool IsSupportedType(const AM_MEDIA_TYPE& type, WAVEFORMATEX* format);

private:
    // The buffer ProcessInput was given, with what is left of it.
    struct HeldInput {
        ComPtr<IMediaBuffer> buffer;
        DWORD offset = 0;
        bool timed = false;
        REFERENCE_TIME start = 0;
    };

    HRESULT FillOutput(DMO_OUTPUT_DATA_BUFFER& output);
    REFERENCE_TIME BytesToTime(DWORD bytes) const;

    std::atomic<double> m_gain{1.0};

    std::mutex m_mutex;  // guards everything below
    std::optional<CMediaType> m_input_type;
    std::optional<CMediaType> m_output_type;
    WAVEFORMATEX m_format{};
    std::optional<HeldInput> m_held;

    std::mutex m_client_mutex;  // guards the client lock: Lock(TRUE) / Lock(FALSE)
    std::condition_variable m_client_released;
    std::thread::id m_client_owner;
    int m_client_depth = 0;
};
