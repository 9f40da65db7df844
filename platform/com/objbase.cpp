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
    CoFreeUnusedLibrariesEx(0xFFFFFFFF, 0);  // the default delay
}

void CoFreeUnusedLibrariesEx(DWORD unload_delay_ms, DWORD /*reserved*/) {
    constexpr DWORD kDefaultDelay = 0xFFFFFFFF;  // INFINITE
    constexpr int64_t kDefaultDelayMs = 10 * 60 * 1000;
    const int64_t delay_ms = unload_delay_ms == kDefaultDelay ? kDefaultDelayMs : unload_delay_ms;
    ComRuntime::Instance().FreeUnusedLibraries(delay_ms * 1'000'000);
}
