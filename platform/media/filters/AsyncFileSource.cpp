#include "platform/media/filters/AsyncFileSource.h"

#include <cstring>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/filters/StreamSubtype.h"
#include "platform/media/graph/WideText.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

AsyncFileSource::AsyncFileSource()
    : CBaseFilter("File Source (Async.)", &m_filter_lock, CLSID_AsyncReader),
      m_queue([this](int64_t position, uint8_t* buffer, int64_t length) {
          return m_file.ReadAt(position, buffer, length);
      }),
      m_pin(this, &m_filter_lock) {}

AsyncFileSource::~AsyncFileSource() = default;

CUnknown* AsyncFileSource::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) AsyncFileSource();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

HRESULT AsyncFileSource::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IFileSourceFilter)) {
        return GetInterface(static_cast<IFileSourceFilter*>(this), object);
    }
    return CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

int AsyncFileSource::GetPinCount() {
    CAutoLock lock(&m_filter_lock);
    return m_loaded ? 1 : 0;
}

CBasePin* AsyncFileSource::GetPin(int index) {
    CAutoLock lock(&m_filter_lock);
    return m_loaded && index == 0 ? &m_pin : nullptr;
}

HRESULT AsyncFileSource::Load(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) {
    if (!file_name) return E_POINTER;
    CAutoLock lock(&m_filter_lock);
    // The reader must not change under a parser that holds it.
    if (m_pin.IsConnected()) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    const std::u16string name(file_name);
    const std::string path = Utf8FromWide(name);
    ReadOnlyFile file;
    if (!file.Open(path)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

    CMediaType stream_type(&MEDIATYPE_Stream);
    if (type) {
        stream_type = *type;
    } else {
        uint8_t head[StreamSubtype::kHeadBytes] = {};
        const int64_t got = file.ReadAt(0, head, sizeof head);
        const GUID subtype = StreamSubtype::For(path, head, got > 0 ? static_cast<size_t>(got) : 0);
        stream_type.SetSubtype(&subtype);
    }
    if (!m_file.Open(path)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    m_type = stream_type;
    m_file_name = name;
    m_loaded = true;
    IncrementPinVersion();
    m_pin.IncrementTypeVersion();
    return S_OK;
}

HRESULT AsyncFileSource::GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) {
    if (!file_name) return E_POINTER;
    CAutoLock lock(&m_filter_lock);
    *file_name = nullptr;
    if (m_loaded) {
        const size_t bytes = (m_file_name.size() + 1) * sizeof(WCHAR);
        *file_name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!*file_name) return E_OUTOFMEMORY;
        std::memcpy(*file_name, m_file_name.c_str(), bytes);
    }
    if (type) {
        if (!m_loaded) {
            *type = AM_MEDIA_TYPE{};
        } else if (FAILED(CopyMediaType(type, &m_type))) {
            CoTaskMemFree(*file_name);
            *file_name = nullptr;
            return E_OUTOFMEMORY;
        }
    }
    return S_OK;
}
