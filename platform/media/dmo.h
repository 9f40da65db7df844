// Media objects (DMOs): IMediaObject, a transform that is fed buffers on its input streams and
// asked to fill buffers on its output streams, outside any graph; and IMediaBuffer, the buffer
// it reads and writes. A DMO's media types are plain AM_MEDIA_TYPE records.
// Order of use: SetInputType / SetOutputType on every stream, AllocateStreamingResources,
// then ProcessInput and ProcessOutput in turn; Flush and Discontinuity between runs.
// Threading: one thread at a time per object (Lock serialises callers that share one).
#pragma once

#include "platform/WinTypes.h"
#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/media/strmif.h"

using DMO_MEDIA_TYPE = AM_MEDIA_TYPE;

inline constexpr GUID IID_IMediaBuffer = MakeGuid("59EFF8B9-938C-4A26-82F2-95CB84CDC837");
inline constexpr GUID IID_IMediaObject = MakeGuid("D8AD0F58-5494-4102-97C5-EC798E59BCF4");

constexpr HRESULT DMO_E_INVALIDSTREAMINDEX = static_cast<HRESULT>(0x80040201);
constexpr HRESULT DMO_E_INVALIDTYPE = static_cast<HRESULT>(0x80040202);
constexpr HRESULT DMO_E_TYPE_NOT_SET = static_cast<HRESULT>(0x80040203);
constexpr HRESULT DMO_E_NOTACCEPTING = static_cast<HRESULT>(0x80040204);
constexpr HRESULT DMO_E_TYPE_NOT_ACCEPTED = static_cast<HRESULT>(0x80040205);
constexpr HRESULT DMO_E_NO_MORE_ITEMS = static_cast<HRESULT>(0x80040206);

// GetInputStreamInfo
constexpr DWORD DMO_INPUT_STREAMF_WHOLE_SAMPLES = 0x1;
constexpr DWORD DMO_INPUT_STREAMF_SINGLE_SAMPLE_PER_BUFFER = 0x2;
constexpr DWORD DMO_INPUT_STREAMF_FIXED_SAMPLE_SIZE = 0x4;
constexpr DWORD DMO_INPUT_STREAMF_HOLDS_BUFFERS = 0x8;
// GetOutputStreamInfo
constexpr DWORD DMO_OUTPUT_STREAMF_WHOLE_SAMPLES = 0x1;
constexpr DWORD DMO_OUTPUT_STREAMF_SINGLE_SAMPLE_PER_BUFFER = 0x2;
constexpr DWORD DMO_OUTPUT_STREAMF_FIXED_SAMPLE_SIZE = 0x4;
constexpr DWORD DMO_OUTPUT_STREAMF_DISCARDABLE = 0x8;
constexpr DWORD DMO_OUTPUT_STREAMF_OPTIONAL = 0x10;
// GetInputStatus
constexpr DWORD DMO_INPUT_STATUSF_ACCEPT_DATA = 0x1;
// ProcessInput
constexpr DWORD DMO_INPUT_DATA_BUFFERF_SYNCPOINT = 0x1;
constexpr DWORD DMO_INPUT_DATA_BUFFERF_TIME = 0x2;
constexpr DWORD DMO_INPUT_DATA_BUFFERF_TIMELENGTH = 0x4;
// ProcessOutput
constexpr DWORD DMO_PROCESS_OUTPUT_DISCARD_WHEN_NO_BUFFER = 0x1;
// SetInputType / SetOutputType
constexpr DWORD DMO_SET_TYPEF_TEST_ONLY = 0x1;
constexpr DWORD DMO_SET_TYPEF_CLEAR = 0x2;
// DMO_OUTPUT_DATA_BUFFER::dwStatus
constexpr DWORD DMO_OUTPUT_DATA_BUFFERF_SYNCPOINT = 0x1;
constexpr DWORD DMO_OUTPUT_DATA_BUFFERF_TIME = 0x2;
constexpr DWORD DMO_OUTPUT_DATA_BUFFERF_TIMELENGTH = 0x4;
constexpr DWORD DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE = 0x01000000;

struct IMediaBuffer : public IUnknown {
    // Bytes of valid data; E_INVALIDARG beyond the buffer's capacity.
    virtual HRESULT SetLength(DWORD length) = 0;
    virtual HRESULT GetMaxLength(DWORD* max_length) = 0;
    // Either pointer may be null when only the other is wanted.
    virtual HRESULT GetBufferAndLength(BYTE** buffer, DWORD* length) = 0;
};

// One output stream's buffer for ProcessOutput, with what the object says about the data.
struct DMO_OUTPUT_DATA_BUFFER {
    IMediaBuffer* pBuffer;
    DWORD dwStatus;
    REFERENCE_TIME rtTimestamp;   // 100 ns
    REFERENCE_TIME rtTimelength;  // 100 ns
};
using PDMO_OUTPUT_DATA_BUFFER = DMO_OUTPUT_DATA_BUFFER*;

struct IMediaObject : public IUnknown {
    virtual HRESULT GetStreamCount(DWORD* input_streams, DWORD* output_streams) = 0;
    virtual HRESULT GetInputStreamInfo(DWORD input_stream, DWORD* flags) = 0;
    virtual HRESULT GetOutputStreamInfo(DWORD output_stream, DWORD* flags) = 0;
    // The preferred types, by index; DMO_E_NO_MORE_ITEMS past the last. A null `type` only
    // tells whether the index exists. The caller frees the format block (FreeMediaType).
    virtual HRESULT GetInputType(DWORD input_stream, DWORD type_index, DMO_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetOutputType(DWORD output_stream, DWORD type_index, DMO_MEDIA_TYPE* type) = 0;
    virtual HRESULT SetInputType(DWORD input_stream, const DMO_MEDIA_TYPE* type, DWORD flags) = 0;
    virtual HRESULT SetOutputType(DWORD output_stream, const DMO_MEDIA_TYPE* type, DWORD flags) = 0;
    virtual HRESULT GetInputCurrentType(DWORD input_stream, DMO_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetOutputCurrentType(DWORD output_stream, DMO_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetInputSizeInfo(DWORD input_stream, DWORD* size, DWORD* max_lookahead,
                                     DWORD* alignment) = 0;
    virtual HRESULT GetOutputSizeInfo(DWORD output_stream, DWORD* size, DWORD* alignment) = 0;
    virtual HRESULT GetInputMaxLatency(DWORD input_stream, REFERENCE_TIME* max_latency) = 0;
    virtual HRESULT SetInputMaxLatency(DWORD input_stream, REFERENCE_TIME max_latency) = 0;
    virtual HRESULT Flush() = 0;
    virtual HRESULT Discontinuity(DWORD input_stream) = 0;
    virtual HRESULT AllocateStreamingResources() = 0;
    virtual HRESULT FreeStreamingResources() = 0;
    virtual HRESULT GetInputStatus(DWORD input_stream, DWORD* flags) = 0;
    // DMO_E_NOTACCEPTING while output is still pending.
    virtual HRESULT ProcessInput(DWORD input_stream, IMediaBuffer* buffer, DWORD flags,
                                 REFERENCE_TIME timestamp, REFERENCE_TIME timelength) = 0;
    // S_FALSE when there was nothing to produce.
    virtual HRESULT ProcessOutput(DWORD flags, DWORD output_buffer_count,
                                  DMO_OUTPUT_DATA_BUFFER* output_buffers, DWORD* status) = 0;
    virtual HRESULT Lock(LONG lock) = 0;
};

TKV_DECLARE_IID(IMediaBuffer, IID_IMediaBuffer);
TKV_DECLARE_IID(IMediaObject, IID_IMediaObject);
