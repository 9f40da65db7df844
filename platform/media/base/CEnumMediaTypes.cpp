#include "platform/media/base/CEnumMediaTypes.h"

#include <new>

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/base/CBasePin.h"

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* copy)
    : CUnknown("media type enumerator"),
      m_pin(pin),
      m_pin_reference(static_cast<IPin*>(pin)),
      m_position(copy ? copy->m_position : 0),
      m_version(copy ? copy->m_version : pin->GetMediaTypeVersion()) {}

CEnumMediaTypes::~CEnumMediaTypes() = default;

HRESULT CEnumMediaTypes::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IEnumMediaTypes)) {
        return GetInterface(static_cast<IEnumMediaTypes*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

bool CEnumMediaTypes::OutOfSync() const {
    return m_version != m_pin->GetMediaTypeVersion();
}

HRESULT CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    if (!types) return E_POINTER;
    if (!fetched && count > 1) return E_INVALIDARG;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG got = 0;
    while (got < count) {
        CMediaType type;
        if (m_pin->GetMediaType(m_position, &type) != S_OK) break;
        AM_MEDIA_TYPE* copy = CreateMediaType(&type);
        if (!copy) break;
        ++m_position;
        types[got++] = copy;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

HRESULT CEnumMediaTypes::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    for (ULONG i = 0; i < count; ++i) {
        CMediaType type;
        if (m_pin->GetMediaType(m_position, &type) != S_OK) return S_FALSE;
        ++m_position;
    }
    return S_OK;
}

HRESULT CEnumMediaTypes::Reset() {
    m_version = m_pin->GetMediaTypeVersion();
    m_position = 0;
    return S_OK;
}

HRESULT CEnumMediaTypes::Clone(IEnumMediaTypes** clone) {
    if (!clone) return E_POINTER;
    *clone = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    auto* copy = new (std::nothrow) CEnumMediaTypes(m_pin, this);
    if (!copy) return E_OUTOFMEMORY;
    copy->AddRef();
    *clone = copy;
    return S_OK;
}
