// MediaDetector: the media detector (CLSID_MediaDet, IMediaDet). put_Filename probes the file
// with FFmpeg and keeps its video and audio streams; the stream questions then answer for the
// current stream (0 after each put_Filename). Without a file they give E_INVALIDARG; a stream
// index out of range gives E_INVALIDARG. get_FrameRate of a stream that is not video gives
// VFW_E_INVALIDMEDIATYPE, of a video stream without a known rate E_FAIL. Filters, bitmaps
// and the sample grabber are not offered (E_NOTIMPL).
// Order of use: put_Filename, get_OutputStreams, then put_CurrentStream before each stream.
// Threading: one thread at a time.
#pragma once

#include <vector>

#include "platform/media/base/CUnknown.h"
#include "platform/media/detector/MovieProbe.h"
#include "platform/media/oleauto.h"
#include "platform/media/qedit.h"

class MediaDetector : public CUnknown, public IMediaDet {
public:
    MediaDetector();
    ~MediaDetector() override;

    // For the built-in class table: refuses an outer object.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT get_Filter(IUnknown** filter) override;
    HRESULT put_Filter(IUnknown* filter) override;
    HRESULT get_OutputStreams(long* count) override;
    HRESULT get_CurrentStream(long* stream) override;
    HRESULT put_CurrentStream(long stream) override;
    HRESULT get_StreamType(GUID* major_type) override;
    HRESULT get_StreamTypeB(BSTR* major_type) override;
    HRESULT get_StreamLength(double* seconds) override;
    HRESULT get_Filename(BSTR* file_name) override;
    // A failed open forgets the previous file.
    HRESULT put_Filename(BSTR file_name) override;
    HRESULT GetBitmapBits(double stream_time, long* buffer_size, char* buffer, long width,
                          long height) override;
    HRESULT WriteBitmapBits(double stream_time, long width, long height, BSTR file_name) override;
    HRESULT get_StreamMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT GetSampleGrabber(ISampleGrabber** grabber) override;
    HRESULT get_FrameRate(double* rate) override;
    HRESULT EnterBitmapGrabMode(double seek_time) override;

private:
    // The current stream, or null (no file).
    const ProbedStream* Current() const;
    void Forget();

    BSTR m_file_name = nullptr;  // owned
    std::vector<ProbedStream> m_streams;
    long m_current = 0;
};
