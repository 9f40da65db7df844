#include "tests/platform/com/TestObject.h"

HRESULT TestObject::Create(IUnknown* outer, REFIID iid, void** object) {
    if (outer) return CLASS_E_NOAGGREGATION;
    TestObject* made = Make(42);
    const HRESULT hr = made->QueryInterface(iid, object);
    made->Release();
    return hr;
}

HRESULT TestObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITestValue) {
        *object = static_cast<ITestValue*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TestObject::Release() {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}
