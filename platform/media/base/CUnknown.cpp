#include "platform/media/base/CUnknown.h"

namespace {

std::atomic<long> g_objects_active{0};

}  // namespace

CUnknown::CUnknown(LPCSTR object_name) : m_object_name(object_name ? object_name : "") {
    ++g_objects_active;
}

CUnknown::~CUnknown() {
    --g_objects_active;
}

HRESULT CUnknown::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) return GetInterface(static_cast<IUnknown*>(this), object);
    return E_NOINTERFACE;
}

ULONG CUnknown::NonDelegatingAddRef() {
    return ++m_cRef;
}

ULONG CUnknown::NonDelegatingRelease() {
    const ULONG count = --m_cRef;
    if (count == 0) {
        // Guard against a destructor that hands itself out and releases again.
        m_cRef = 1;
        delete this;
    }
    return count;
}

long CUnknown::ObjectsActive() {
    return g_objects_active.load();
}

HRESULT GetInterface(IUnknown* unknown, void** object) {
    if (!object) return E_POINTER;
    *object = unknown;
    if (unknown) unknown->AddRef();
    return S_OK;
}
