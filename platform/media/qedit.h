// The media detector (CLSID_MediaDet): opens a media file on its own, outside any graph, and
// tells per stream its media type, length and frame rate.
// Order of use: put_Filename, get_OutputStreams, then put_CurrentStream(i) before each
// stream's questions.
// Threading: one thread at a time.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/media/oleauto.h"
#include "platform/media/strmif.h"

inline constexpr GUID IID_IMediaDet = MakeGuid("65BD0710-24D2-4FF7-9324-ED2E5D3ABAFA");

struct ISampleGrabber;  // opaque: frame grabbing is not offered

struct IMediaDet : public IUnknown {
    virtual HRESULT get_Filter(IUnknown** filter) = 0;
    virtual HRESULT put_Filter(IUnknown* filter) = 0;
    virtual HRESULT get_OutputStreams(long* count) = 0;
    virtual HRESULT get_CurrentStream(long* stream) = 0;
    virtual HRESULT put_CurrentStream(long stream) = 0;
    virtual HRESULT get_StreamType(GUID* major_type) = 0;
    virtual HRESULT get_StreamTypeB(BSTR* major_type) = 0;
    virtual HRESULT get_StreamLength(double* seconds) = 0;
    virtual HRESULT get_Filename(BSTR* file_name) = 0;
    virtual HRESULT put_Filename(BSTR file_name) = 0;
    virtual HRESULT GetBitmapBits(double stream_time, long* buffer_size, char* buffer, long width,
                                  long height) = 0;
    virtual HRESULT WriteBitmapBits(double stream_time, long width, long height,
                                    BSTR file_name) = 0;
    // Fills the caller's record (free its format block with FreeMediaType).
    virtual HRESULT get_StreamMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetSampleGrabber(ISampleGrabber** grabber) = 0;
    virtual HRESULT get_FrameRate(double* rate) = 0;
    virtual HRESULT EnterBitmapGrabMode(double seek_time) = 0;
};

TKV_DECLARE_IID(IMediaDet, IID_IMediaDet);
