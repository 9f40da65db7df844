#include "engine/TimeStretchRegistration.h"

#include <cstring>
#include <string>
#include <vector>

#include "engine/TimeStretchSource.h"
#include "platform/com/ComPtr.h"
#include "platform/com/LastError.h"
#include "platform/com/objbase.h"
#include "platform/media/base/AMovieSetup.h"
#include "platform/media/uuids.h"
#include "platform/registry/winreg.h"

namespace {

constexpr char kClassName[] = "Tarvik Time Stretcher";
constexpr char kThreadingModel[] = "Both";
// Longer paths than MAX_PATH are common on Linux; a cut path would name another file.
constexpr DWORD kPathBuffer = 4096;
constexpr DWORD kKeyNameBuffer = 256;  // a key name has at most 255 characters

const AMOVIESETUP_MEDIATYPE kPinTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_WAVE}};
const AMOVIESETUP_PIN kPins[] = {
    {u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"Input", 1, kPinTypes}};
const AMOVIESETUP_FILTER kSetup = {&CLSID_TimeStretchSource, TimeStretchSource::kName,
                                   MERIT_UNLIKELY, 1, kPins};
const CFactoryTemplate kTemplates[] = {{TimeStretchSource::kName, &CLSID_TimeStretchSource,
                                        &TimeStretchSource::CreateInstance, nullptr, &kSetup}};

// An open registry key, closed when it goes.
class ScopedKey {
public:
    ScopedKey() = default;
    ~ScopedKey() {
        if (m_key) RegCloseKey(m_key);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    HKEY Get() const { return m_key; }
    HKEY* Out() { return &m_key; }

private:
    HKEY m_key = nullptr;
};

// COM initialised for one scope.
class ComScope {
public:
    ComScope() : m_initialized(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (m_initialized) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    const bool m_initialized;
};

std::string ClassKeyPath() {
    char text[CHARS_IN_GUID];
    FormatGuidText(CLSID_TimeStretchSource, text);
    return std::string("CLSID\\") + text;
}

HRESULT ModulePath(HMODULE module, std::string* path) {
    std::vector<char> buffer(kPathBuffer);
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameA(module, buffer.data(), kPathBuffer);
    const DWORD error = GetLastError();
    if (length == 0 || length >= kPathBuffer) {
        return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_MOD_NOT_FOUND);
    }
    path->assign(buffer.data(), length);
    return S_OK;
}

LONG SetString(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

LONG WriteClassKey(const std::string& module_path) {
    ScopedKey class_key;
    LONG status =
        RegCreateKeyExA(HKEY_CLASSES_ROOT, ClassKeyPath().c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, class_key.Out(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = SetString(class_key.Get(), nullptr, kClassName);
    if (status != ERROR_SUCCESS) return status;
    ScopedKey server;
    status = RegCreateKeyExA(class_key.Get(), "InprocServer32", 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, server.Out(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = SetString(server.Get(), nullptr, module_path);
    if (status != ERROR_SUCCESS) return status;
    return SetString(server.Get(), "ThreadingModel", kThreadingModel);
}

// Deletes `sub_key` of `parent` and everything under it, children first.
LONG DeleteKeyTree(HKEY parent, const char* sub_key) {
    LONG status = ERROR_SUCCESS;
    {
        ScopedKey key;
        status = RegOpenKeyExA(parent, sub_key, 0, KEY_ALL_ACCESS, key.Out());
        if (status != ERROR_SUCCESS) return status;
        char child[kKeyNameBuffer];
        // Index 0 each time: deleting a child moves the next one up.
        while ((status = RegEnumKeyA(key.Get(), 0, child, kKeyNameBuffer)) == ERROR_SUCCESS) {
            status = DeleteKeyTree(key.Get(), child);
            if (status != ERROR_SUCCESS) return status;
        }
        if (status != ERROR_NO_MORE_ITEMS) return status;
    }
    return RegDeleteKeyA(parent, sub_key);
}

// Takes the filter out of the mapper and, when `add`, puts it back in with its setup record.
HRESULT UpdateMapper(bool add) {
    ComScope com;
    HRESULT hr = S_OK;
    {
        ComPtr<IFilterMapper2> mapper;
        hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFilterMapper2, reinterpret_cast<void**>(mapper.GetAddressOf()));
        if (SUCCEEDED(hr)) {
            hr = AMovieSetupRegisterFilter2(&kSetup, mapper.Get(), FALSE);
            if (SUCCEEDED(hr) && add) hr = AMovieSetupRegisterFilter2(&kSetup, mapper.Get(), TRUE);
        } else {
            ComPtr<IFilterMapper> older;
            hr =
                CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IFilterMapper, reinterpret_cast<void**>(older.GetAddressOf()));
            // The older helper unregisters before it registers.
            if (SUCCEEDED(hr)) hr = AMovieSetupRegisterFilter(&kSetup, older.Get(), add);
        }
    }
    CoFreeUnusedLibraries();
    return hr;
}

}  // namespace

HRESULT TimeStretchRegistration::Register(HMODULE module) {
    std::string path;
    HRESULT hr = ModulePath(module, &path);
    if (FAILED(hr)) return hr;
    const LONG status = WriteClassKey(path);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    return UpdateMapper(true);
}

HRESULT TimeStretchRegistration::Unregister(HMODULE module) {
    std::string path;
    HRESULT hr = ModulePath(module, &path);
    if (FAILED(hr)) return hr;
    hr = UpdateMapper(false);
    if (FAILED(hr)) return hr;
    const LONG status = DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKeyPath().c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return S_OK;
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

const AMOVIESETUP_FILTER& TimeStretchRegistration::SetupRecord() {
    return kSetup;
}

const CFactoryTemplate* TimeStretchRegistration::Templates() {
    return kTemplates;
}

int TimeStretchRegistration::TemplateCount() {
    return static_cast<int>(sizeof kTemplates / sizeof kTemplates[0]);
}
