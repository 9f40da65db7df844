#include "platform/media/graph/FilterRegistration.h"

#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/graph/RegKey.h"

HRESULT WriteClassKey(const CLSID& clsid, const std::string& name) {
    RegKey key;
    LONG status = key.Create(HKEY_CLASSES_ROOT, "CLSID\\" + FilterRegistry::GuidText(clsid));
    if (status == ERROR_SUCCESS) status = key.SetString(nullptr, name);
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

RegisteredPin MakeRegisteredPin(const char16_t* name, bool output, bool rendered,
                                std::vector<RegisteredMediaType> types) {
    RegisteredPin pin;
    pin.name = name;
    pin.output = output;
    pin.rendered = rendered;
    pin.types = std::move(types);
    return pin;
}

HRESULT WriteFilterRegistration(const CLSID& category, const std::string& instance,
                                const CLSID& clsid, const std::string& name,
                                const FilterRecord& record) {
    const HRESULT hr = WriteClassKey(clsid, name);
    if (FAILED(hr)) return hr;
    return FilterRegistry::Write(category, instance, clsid, name, record);
}
