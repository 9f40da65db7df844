#include "platform/media/base/CClassFactory.h"

#include <new>

#include "platform/com/BuiltInClasses.h"

namespace {

std::atomic<long> g_server_locks{0};

}  // namespace

CClassFactory::CClassFactory(const CFactoryTemplate* factory_template)
    : CUnknown("class factory"), m_template(factory_template) {}

CClassFactory::~CClassFactory() = default;

HRESULT CClassFactory::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IClassFactory)) {
        return GetInterface(static_cast<IClassFactory*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    HRESULT hr = S_OK;
    CUnknown* created = m_template->CreateInstance(nullptr, &hr);
    if (!created) return FAILED(hr) ? hr : E_OUTOFMEMORY;
    // The count goes to 1 and back, so an object that refuses the interface is deleted.
    created->NonDelegatingAddRef();
    if (SUCCEEDED(hr)) hr = created->NonDelegatingQueryInterface(iid, object);
    created->NonDelegatingRelease();
    return hr;
}

HRESULT CClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ++g_server_locks;
    } else if (g_server_locks.load() > 0) {
        --g_server_locks;
    }
    return S_OK;
}

bool CClassFactory::IsLocked() {
    return g_server_locks.load() > 0;
}

HRESULT CClassFactory::CanUnloadNow() {
    return IsLocked() || CUnknown::ObjectsActive() > 0 ? S_FALSE : S_OK;
}

HRESULT CClassFactory::GetClassObject(const CFactoryTemplate* templates, int count, REFCLSID clsid,
                                      REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    for (int i = 0; templates && i < count; ++i) {
        if (!templates[i].IsClassID(clsid)) continue;
        auto* factory = new (std::nothrow) CClassFactory(&templates[i]);
        if (!factory) return E_OUTOFMEMORY;
        factory->NonDelegatingAddRef();
        const HRESULT hr = factory->NonDelegatingQueryInterface(iid, object);
        factory->NonDelegatingRelease();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

void CClassFactory::RegisterBuiltIn(const CFactoryTemplate* templates, int count) {
    for (int i = 0; templates && i < count; ++i) {
        const CFactoryTemplate* entry = &templates[i];
        if (!entry->m_ClsID) continue;
        RegisterBuiltInClass(*entry->m_ClsID, [entry](REFIID iid, void** object) {
            return GetClassObject(entry, 1, *entry->m_ClsID, iid, object);
        });
    }
}
