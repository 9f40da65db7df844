// CoInitialize and class objects: the functions of objbase.h that reach the COM runtime.
#include "platform/com/objbase.h"

#include "platform/com/ComRuntime.h"

HRESULT CoInitialize(LPVOID /*reserved*/) {
    return ComRuntime::Instance().Initialize();
}

HRESULT CoInitializeEx(LPVOID /*reserved*/, DWORD /*co_init*/) {
    return ComRuntime::Instance().Initialize();
}

void CoUninitialize() {
    ComRuntime::Instance().Uninitialize();
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD cls_context, LPVOID /*server_info*/, REFIID iid,
                         LPVOID* object) {
    return ComRuntime::Instance().GetClassObject(clsid, cls_context, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD cls_context, REFIID iid,
                         LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    void* raw = nullptr;
    HRESULT hr = CoGetClassObject(clsid, cls_context, nullptr, IID_IClassFactory, &raw);
    if (FAILED(hr)) return hr;
    auto* factory = static_cast<IClassFactory*>(raw);
    hr = factory->CreateInstance(outer, iid, object);
    factory->Release();
    if (FAILED(hr)) *object = nullptr;
    return hr;
}

void CoFreeUnusedLibraries() {
    ComRuntime::Instance().FreeUnusedLibraries();
}
