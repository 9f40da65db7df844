#include "platform/media/base/CEnumPins.h"

#include <new>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBasePin.h"
#include "platform/sync/CAutoLock.h"

CEnumPins::CEnumPins(CBaseFilter* filter, const CEnumPins* copy)
    : CUnknown("pin enumerator"),
      m_filter(filter),
      m_filter_reference(static_cast<IBaseFilter*>(filter)),
      m_position(copy ? copy->m_position : 0),
      m_version(copy ? copy->m_version : filter->GetPinVersion()) {}

CEnumPins::~CEnumPins() = default;

HRESULT CEnumPins::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IEnumPins)) return GetInterface(static_cast<IEnumPins*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

bool CEnumPins::OutOfSync() const {
    return m_version != m_filter->GetPinVersion();
}

HRESULT CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (!pins) return E_POINTER;
    if (!fetched && count > 1) return E_INVALIDARG;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    CAutoLock lock(m_filter->FilterLock());
    ULONG got = 0;
    const int total = m_filter->GetPinCount();
    while (got < count && m_position < total) {
        CBasePin* pin = m_filter->GetPin(m_position++);
        if (!pin) continue;
        pin->AddRef();
        pins[got++] = pin;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

HRESULT CEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    const int total = m_filter->GetPinCount();
    const int left = total - m_position;
    if (left < 0 || count > static_cast<ULONG>(left)) {
        m_position = total;
        return S_FALSE;
    }
    m_position += static_cast<int>(count);
    return S_OK;
}

HRESULT CEnumPins::Reset() {
    m_version = m_filter->GetPinVersion();
    m_position = 0;
    return S_OK;
}

HRESULT CEnumPins::Clone(IEnumPins** clone) {
    if (!clone) return E_POINTER;
    *clone = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    auto* copy = new (std::nothrow) CEnumPins(m_filter, this);
    if (!copy) return E_OUTOFMEMORY;
    copy->AddRef();
    *clone = copy;
    return S_OK;
}
