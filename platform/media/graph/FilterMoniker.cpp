#include "platform/media/graph/FilterMoniker.h"

#include <new>

#include "platform/com/objbase.h"

HRESULT FilterMoniker::Create(REFCLSID clsid, IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = new (std::nothrow) FilterMoniker(clsid);
    return *moniker ? S_OK : E_OUTOFMEMORY;
}

HRESULT FilterMoniker::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMoniker) {
        *object = static_cast<IMoniker*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FilterMoniker::AddRef() {
    return ++m_references;
}

ULONG FilterMoniker::Release() {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

HRESULT FilterMoniker::BindToObject(IBindCtx* /*context*/, IMoniker* /*left*/, REFIID iid,
                                    void** object) {
    if (!object) return E_POINTER;
    return CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

HRESULT FilterMoniker::BindToStorage(IBindCtx* /*context*/, IMoniker* /*left*/, REFIID /*iid*/,
                                     void** object) {
    if (object) *object = nullptr;
    return E_NOTIMPL;
}
