#include "platform/media/detector/MediaDetector.h"

#include <new>
#include <string>

#include "platform/com/objbase.h"
#include "platform/media/detector/DetectedMediaType.h"
#include "platform/media/graph/WideText.h"
#include "platform/media/uuids.h"

namespace {

constexpr int kGuidTextUnits = 39;

}  // namespace

MediaDetector::MediaDetector() : CUnknown("Media detector") {}

MediaDetector::~MediaDetector() {
    SysFreeString(m_file_name);
}

HRESULT MediaDetector::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* detector = new (std::nothrow) MediaDetector();
    if (!detector) return E_OUTOFMEMORY;
    detector->NonDelegatingAddRef();
    const HRESULT hr = detector->NonDelegatingQueryInterface(iid, object);
    detector->NonDelegatingRelease();
    return hr;
}

HRESULT MediaDetector::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IMediaDet)) return GetInterface(static_cast<IMediaDet*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

const ProbedStream* MediaDetector::Current() const {
    if (m_current < 0 || static_cast<size_t>(m_current) >= m_streams.size()) return nullptr;
    return &m_streams[static_cast<size_t>(m_current)];
}

void MediaDetector::Forget() {
    SysFreeString(m_file_name);
    m_file_name = nullptr;
    m_streams.clear();
    m_current = 0;
}

HRESULT MediaDetector::get_Filter(IUnknown** filter) {
    if (!filter) return E_POINTER;
    *filter = nullptr;
    return E_NOTIMPL;
}

HRESULT MediaDetector::put_Filter(IUnknown*) {
    return E_NOTIMPL;
}

HRESULT MediaDetector::get_OutputStreams(long* count) {
    if (!count) return E_POINTER;
    if (!m_file_name) return E_INVALIDARG;
    *count = static_cast<long>(m_streams.size());
    return S_OK;
}

HRESULT MediaDetector::get_CurrentStream(long* stream) {
    if (!stream) return E_POINTER;
    if (!m_file_name) return E_INVALIDARG;
    *stream = m_current;
    return S_OK;
}

HRESULT MediaDetector::put_CurrentStream(long stream) {
    if (!m_file_name) return E_INVALIDARG;
    if (stream < 0 || static_cast<size_t>(stream) >= m_streams.size()) return E_INVALIDARG;
    m_current = stream;
    return S_OK;
}

HRESULT MediaDetector::get_StreamType(GUID* major_type) {
    if (!major_type) return E_POINTER;
    const ProbedStream* stream = Current();
    if (!stream) return E_INVALIDARG;
    *major_type = stream->kind == ProbedStream::Kind::Video ? MEDIATYPE_Video : MEDIATYPE_Audio;
    return S_OK;
}

HRESULT MediaDetector::get_StreamTypeB(BSTR* major_type) {
    if (!major_type) return E_POINTER;
    *major_type = nullptr;
    GUID type{};
    const HRESULT hr = get_StreamType(&type);
    if (FAILED(hr)) return hr;
    OLECHAR text[kGuidTextUnits];
    if (!StringFromGUID2(type, text, kGuidTextUnits)) return E_UNEXPECTED;
    *major_type = SysAllocString(text);
    return *major_type ? S_OK : E_OUTOFMEMORY;
}

HRESULT MediaDetector::get_StreamLength(double* seconds) {
    if (!seconds) return E_POINTER;
    const ProbedStream* stream = Current();
    if (!stream) return E_INVALIDARG;
    *seconds = stream->length_seconds;
    return S_OK;
}

HRESULT MediaDetector::get_Filename(BSTR* file_name) {
    if (!file_name) return E_POINTER;
    *file_name = nullptr;
    if (!m_file_name) return S_OK;
    *file_name = SysAllocStringLen(m_file_name, SysStringLen(m_file_name));
    return *file_name ? S_OK : E_OUTOFMEMORY;
}

HRESULT MediaDetector::put_Filename(BSTR file_name) {
    Forget();
    if (!file_name) return E_POINTER;
    std::vector<ProbedStream> streams;
    const std::string path = Utf8FromWide(WideView(file_name));
    switch (MovieProbe::Probe(path, &streams)) {
        case MovieProbe::Result::NotFound:
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        case MovieProbe::Result::NotMedia:
            return VFW_E_INVALID_FILE_FORMAT;
        case MovieProbe::Result::Ok:
            break;
    }
    m_file_name = SysAllocStringLen(file_name, SysStringLen(file_name));
    if (!m_file_name) return E_OUTOFMEMORY;
    m_streams = std::move(streams);
    return S_OK;
}

HRESULT MediaDetector::GetBitmapBits(double, long*, char*, long, long) {
    return E_NOTIMPL;
}

HRESULT MediaDetector::WriteBitmapBits(double, long, long, BSTR) {
    return E_NOTIMPL;
}

HRESULT MediaDetector::get_StreamMediaType(AM_MEDIA_TYPE* type) {
    if (!type) return E_POINTER;
    const ProbedStream* stream = Current();
    if (!stream) return E_INVALIDARG;
    return FillDetectedMediaType(*stream, type);
}

HRESULT MediaDetector::GetSampleGrabber(ISampleGrabber** grabber) {
    if (!grabber) return E_POINTER;
    *grabber = nullptr;
    return E_NOTIMPL;
}

HRESULT MediaDetector::get_FrameRate(double* rate) {
    if (!rate) return E_POINTER;
    const ProbedStream* stream = Current();
    if (!stream) return E_INVALIDARG;
    if (stream->kind != ProbedStream::Kind::Video) return VFW_E_INVALIDMEDIATYPE;
    if (stream->frame_rate_num <= 0 || stream->frame_rate_den <= 0) return E_FAIL;
    *rate = static_cast<double>(stream->frame_rate_num) / stream->frame_rate_den;
    return S_OK;
}

HRESULT MediaDetector::EnterBitmapGrabMode(double) {
    return E_NOTIMPL;
}
