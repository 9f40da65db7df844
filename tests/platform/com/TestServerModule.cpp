// A tiny in-process server, built as a loadable module: serves CLSID_TestInModule, whose
// objects answer ITestValue with 99, and can be unloaded when no object or lock is left.
// Only the two entry points are exported, so nothing here mixes with the test executable.
#include <atomic>
#include <new>

#include "tests/platform/com/TestInterfaces.h"

#define TKV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

template <typename Interface>
class Counted : public Interface {
public:
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

protected:
    Counted() { ++g_objects; }
    ~Counted() override { --g_objects; }

    HRESULT Answer(bool known, void** object) {
        if (!object) return E_POINTER;
        *object = known ? static_cast<Interface*>(this) : nullptr;
        if (!known) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

private:
    std::atomic<ULONG> m_references{1};
};

class ModuleObject : public Counted<ITestValue> {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        return Answer(iid == IID_IUnknown || iid == IID_ITestValue, object);
    }
    int Value() override { return 99; }
};

class ModuleFactory : public Counted<IClassFactory> {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        return Answer(iid == IID_IUnknown || iid == IID_IClassFactory, object);
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* made = new (std::nothrow) ModuleObject();
        if (!made) return E_OUTOFMEMORY;
        const HRESULT hr = made->QueryInterface(iid, object);
        made->Release();
        return hr;
    }
    HRESULT LockServer(BOOL lock) override {
        g_locks += lock ? 1 : -1;
        return S_OK;
    }
};

}  // namespace

TKV_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_TestInModule) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) ModuleFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

TKV_EXPORT HRESULT DllCanUnloadNow() {
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}
