#include "platform/media/filters/FileWriterFilter.h"

#include <cstring>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/evcode.h"
#include "platform/media/graph/WideText.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

FileWriterFilter::FileWriterFilter() : CBaseRenderer("File Writer", CLSID_FileWriter, u"in") {}

FileWriterFilter::~FileWriterFilter() = default;

CUnknown* FileWriterFilter::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) FileWriterFilter();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

HRESULT FileWriterFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IFileSinkFilter)) {
        return GetInterface(static_cast<IFileSinkFilter*>(this), object);
    }
    return CBaseRenderer::NonDelegatingQueryInterface(iid, object);
}

// ---- IFileSinkFilter -----------------------------------------------------------------------

HRESULT FileWriterFilter::SetFileName(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) {
    if (!file_name) return E_POINTER;
    if (!*file_name) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    CAutoLock lock(&m_interface_lock);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    CMediaType file_type;
    if (type && FAILED(CopyMediaType(&file_type, type))) return E_OUTOFMEMORY;
    m_file_name = file_name;
    m_file_type = std::move(file_type);
    m_has_file_type = type != nullptr;
    return S_OK;
}

HRESULT FileWriterFilter::GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) {
    if (!file_name) return E_POINTER;
    CAutoLock lock(&m_interface_lock);
    *file_name = nullptr;
    if (!m_file_name.empty()) {
        const size_t bytes = (m_file_name.size() + 1) * sizeof(WCHAR);
        *file_name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!*file_name) return E_OUTOFMEMORY;
        std::memcpy(*file_name, m_file_name.c_str(), bytes);
    }
    if (!type) return S_OK;
    const CMediaType* known = m_has_file_type ? &m_file_type : nullptr;
    if (!known && InputPin()->IsConnected()) known = &InputPin()->CurrentMediaType();
    if (!known) {
        *type = AM_MEDIA_TYPE{};
    } else if (FAILED(CopyMediaType(type, known))) {
        CoTaskMemFree(*file_name);
        *file_name = nullptr;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// ---- state ---------------------------------------------------------------------------------

HRESULT FileWriterFilter::Activate() {
    if (m_file_name.empty()) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    const LONG status = m_file.Create(Utf8FromWide(m_file_name));
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    m_write_error = S_OK;
    return CBaseRenderer::Activate();
}

HRESULT FileWriterFilter::Deactivate() {
    // The base lets the upstream thread go first, so no write is under way when the file goes.
    const HRESULT hr = CBaseRenderer::Deactivate();
    const LONG status = m_file.Close();
    if (status != ERROR_SUCCESS && SUCCEEDED(m_write_error)) Fail(status);
    return hr;
}

// ---- samples -------------------------------------------------------------------------------

HRESULT FileWriterFilter::CheckMediaType(const CMediaType* type) {
    return type ? S_OK : E_POINTER;
}

// A file takes the samples as fast as they come.
HRESULT FileWriterFilter::ShouldDrawSampleNow(IMediaSample* /*sample*/, REFERENCE_TIME* /*start*/,
                                              REFERENCE_TIME* /*stop*/) {
    return S_OK;
}

HRESULT FileWriterFilter::DoRenderSample(IMediaSample* sample) {
    // After a failure nothing more is written: a file with a hole in it is worse than one
    // that plainly ends early, and the graph has heard why.
    if (FAILED(m_write_error)) return m_write_error;
    BYTE* data = nullptr;
    const HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const long length = sample->GetActualDataLength();
    if (length <= 0) return S_OK;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    const bool positioned = *InputPin()->CurrentMediaType().Type() == MEDIATYPE_Stream &&
                            SUCCEEDED(sample->GetTime(&start, &stop));
    const auto size = static_cast<size_t>(length);
    const LONG status = positioned ? m_file.WriteAt(start, data, size) : m_file.Append(data, size);
    return status == ERROR_SUCCESS ? S_OK : Fail(status);
}

HRESULT FileWriterFilter::Fail(LONG status) {
    m_write_error = HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    NotifyEvent(EC_ERRORABORT, m_write_error, 0);
    return m_write_error;
}
