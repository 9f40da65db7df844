#include "tests/platform/media/graph/TestTransform.h"

#include <algorithm>

#include "platform/com/objbase.h"
#include "platform/sync/CAutoLock.h"

namespace {

bool Takes(const CMediaType* type, const GUID& major, const GUID& minor) {
    return *type->Type() == major && (minor == GUID_NULL || *type->Subtype() == minor);
}

}  // namespace

TypedInputPin::TypedInputPin(CBaseFilter* filter, CCritSec* lock, const GUID& major,
                             const GUID& minor)
    : CBaseInputPin("typed input", filter, lock, u"In"), m_major(major), m_minor(minor) {}

HRESULT TypedInputPin::CheckMediaType(const CMediaType* type) {
    return Takes(type, m_major, m_minor) ? S_OK : S_FALSE;
}

TypedOutputPin::TypedOutputPin(CBaseFilter* filter, CCritSec* lock, const GUID& major,
                               const GUID& minor)
    : CBaseOutputPin("typed output", filter, lock, u"Out"), m_major(major), m_minor(minor) {}

HRESULT TypedOutputPin::CheckMediaType(const CMediaType* type) {
    return Takes(type, m_major, m_minor) ? S_OK : S_FALSE;
}

HRESULT TypedOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    type->InitMediaType();
    type->SetType(&m_major);
    type->SetSubtype(&m_minor);
    return S_OK;
}

HRESULT TypedOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    request->cBuffers = std::max<long>(request->cBuffers, 1);
    request->cbBuffer = std::max<long>(request->cbBuffer, 16);
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(request, &actual);
}

TestTransform::TestTransform(REFCLSID clsid, const GUID& in_major, const GUID& in_minor,
                             const GUID& out_major, const GUID& out_minor)
    : CBaseFilter("test transform", &m_filter_lock, clsid),
      m_input(this, &m_filter_lock, in_major, in_minor),
      m_output(this, &m_filter_lock, out_major, out_minor) {}

CBasePin* TestTransform::GetPin(int index) {
    if (index == 0) return &m_input;
    return index == 1 ? &m_output : nullptr;
}

TestFileSource::TestFileSource(REFCLSID clsid, const GUID& major, const GUID& minor)
    : CBaseFilter("test file source", &m_filter_lock, clsid),
      m_output(this, &m_filter_lock, major, minor) {}

HRESULT TestFileSource::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (iid == IID_IFileSourceFilter) {
        return GetInterface(static_cast<IFileSourceFilter*>(this), object);
    }
    return CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT TestFileSource::Load(LPCOLESTR file_name, const AM_MEDIA_TYPE* /*type*/) {
    if (!file_name) return E_POINTER;
    const std::u16string name(file_name);
    if (name.find(u"missing") != std::u16string::npos) {
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    CAutoLock lock(&m_filter_lock);
    m_file = name;
    return S_OK;
}

HRESULT TestFileSource::GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) {
    if (!file_name) return E_POINTER;
    CAutoLock lock(&m_filter_lock);
    *file_name = static_cast<LPOLESTR>(CoTaskMemAlloc((m_file.size() + 1) * sizeof(OLECHAR)));
    if (!*file_name) return E_OUTOFMEMORY;
    std::copy(m_file.begin(), m_file.end(), *file_name);
    (*file_name)[m_file.size()] = 0;
    if (type) *type = AM_MEDIA_TYPE{};
    return S_OK;
}
