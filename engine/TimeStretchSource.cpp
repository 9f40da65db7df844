#include "engine/TimeStretchSource.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/graph/WideText.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

HRESULT OpenFailure(SourceWaveReader::OpenError error, int err) {
    switch (error) {
        case SourceWaveReader::OpenError::CannotOpen:
            if (err == ENOENT || err == ENOTDIR) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
            if (err == EACCES || err == EPERM) return E_ACCESSDENIED;
            return E_FAIL;
        case SourceWaveReader::OpenError::NotWave:
        case SourceWaveReader::OpenError::TooLong:
            return VFW_E_INVALID_FILE_FORMAT;
        case SourceWaveReader::OpenError::UnsupportedFormat:
            return VFW_E_UNSUPPORTED_AUDIO;
        case SourceWaveReader::OpenError::None:
            break;
    }
    return E_FAIL;  // the time-stretch processor refused the format
}

CMediaType StreamWaveType() {
    CMediaType type(&MEDIATYPE_Stream);
    type.SetSubtype(&MEDIASUBTYPE_WAVE);
    return type;
}

}  // namespace

TimeStretchSource::TimeStretchSource()
    : CBaseFilter("Tarvik Time Stretcher", &m_filter_lock, CLSID_TimeStretchSource),
      m_stream(StretchedWaveStream::Role::Current),
      m_adapter(&m_stream),
      m_queue(&m_adapter),
      m_pin(this, &m_filter_lock) {}

TimeStretchSource::~TimeStretchSource() = default;

CUnknown* TimeStretchSource::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    TimeStretchSource* filter = nullptr;
    try {
        filter = new TimeStretchSource();
    } catch (const std::bad_alloc&) {
        filter = nullptr;
    }
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

HRESULT TimeStretchSource::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IFileSourceFilter)) {
        return GetInterface(static_cast<IFileSourceFilter*>(this), object);
    }
    return CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

CBasePin* TimeStretchSource::GetPin(int index) {
    return index == 0 ? &m_pin : nullptr;
}

HRESULT TimeStretchSource::OpenStream(const std::string& path, LONGLONG* size) {
    CAutoLock reading(m_adapter.StreamLock());
    errno = 0;
    const bool opened = m_stream.Open(path.c_str());
    const int err = errno;
    // The whole declared file, header included, so that the parser gets every declared byte.
    *size = opened ? StretchedWaveStream::kHeaderLength + LONGLONG{m_stream.GetVirtualSize()} : 0;
    m_adapter.Init(*size);
    m_serving = opened;
    return opened ? S_OK : OpenFailure(m_stream.GetOpenError(), err);
}

HRESULT TimeStretchSource::Load(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) {
    if (!file_name) return E_POINTER;
    std::u16string name;
    std::string path;
    CMediaType offered;
    try {
        name = WideView(file_name);
        path = Utf8FromWide(name);
        offered = type ? CMediaType(*type) : StreamWaveType();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (type && offered.FormatLength() != type->cbFormat) return E_OUTOFMEMORY;

    HRESULT hr = S_OK;
    {
        CAutoLock lock(&m_filter_lock);
        LONGLONG size = 0;
        hr = OpenStream(path, &size);
        m_size = size;
        if (SUCCEEDED(hr)) {
            m_file_name = std::move(name);
            m_type = std::move(offered);
            return S_OK;
        }
        m_file_name.clear();
        m_type = CMediaType();
    }
    // The box's event loop may stop the graph, which takes the filter lock.
    m_stream.ReportOpenError();
    return hr;
}

HRESULT TimeStretchSource::GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) {
    if (!file_name) return E_POINTER;
    *file_name = nullptr;
    CAutoLock lock(&m_filter_lock);
    if (!m_file_name.empty()) {
        const size_t bytes = (m_file_name.size() + 1) * sizeof(WCHAR);
        auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (copy) {
            std::memcpy(copy, m_file_name.c_str(), bytes);
            *file_name = copy;
        }
    }
    if (type) return CopyMediaType(type, &m_type);
    return S_OK;
}
