#include "platform/com/SimpleClassFactory.h"

#include <new>

HRESULT SimpleClassFactory::Create(CreateFunction create, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!create) return E_INVALIDARG;
    auto* factory = new (std::nothrow) SimpleClassFactory(std::move(create));
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

HRESULT SimpleClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SimpleClassFactory::AddRef() {
    return ++m_references;
}

ULONG SimpleClassFactory::Release() {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

HRESULT SimpleClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return m_create(outer, iid, object);
}

HRESULT SimpleClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ++m_locks;
    } else {
        --m_locks;
    }
    return S_OK;
}
