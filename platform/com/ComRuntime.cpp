#include "platform/com/ComRuntime.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/registry/winreg.h"

namespace {

bool IsRunningExecutable(const std::string& path) {
    std::error_code error;
    return std::filesystem::equivalent(path, "/proc/self/exe", error) && !error;
}

HRESULT ExecutableClassObject(REFCLSID clsid, REFIID iid, void** object) {
    // The executable's exports are in the global scope; libraries loaded for other servers
    // are not (RTLD_LOCAL), so this finds the executable's own entry point.
    auto get_class_object =
        reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(RTLD_DEFAULT, "DllGetClassObject"));
    if (!get_class_object) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return get_class_object(clsid, iid, object);
}

// Registry text: drops the terminators and surrounding quotes ("C:\Program Files\...").
std::string CleanPath(const std::vector<BYTE>& data) {
    std::string path(data.begin(), data.end());
    path.erase(std::find(path.begin(), path.end(), '\0'), path.end());
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    return path;
}

}  // namespace

ComRuntime& ComRuntime::Instance() {
    // Never destroyed: objects released during static destruction may still call in.
    static ComRuntime* const runtime = new ComRuntime();
    return *runtime;
}

HRESULT ComRuntime::Initialize() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return ++m_initialized == 1 ? S_OK : S_FALSE;
}

void ComRuntime::Uninitialize() {
    bool last = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_initialized == 0) return;
        last = --m_initialized == 0;
    }
    // Nothing may use COM from here on: no need to wait for a second answer.
    if (last) m_servers.FreeUnused(InprocServers::kAtOnce);
}

bool ComRuntime::IsInitialized() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_initialized > 0;
}

HRESULT ComRuntime::GetClassObject(REFCLSID clsid, DWORD cls_context, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsInitialized()) return CO_E_NOTINITIALIZED;
    if (!(cls_context & CLSCTX_INPROC)) return REGDB_E_CLASSNOTREG;
    const HRESULT hr = m_built_ins.GetClassObject(clsid, iid, object);
    if (hr != REGDB_E_CLASSNOTREG) return hr;
    return GetRegisteredClassObject(clsid, iid, object);
}

HRESULT ComRuntime::GetRegisteredClassObject(REFCLSID clsid, REFIID iid, void** object) {
    std::string path;
    const HRESULT hr = InprocServerPath(clsid, &path);
    if (FAILED(hr)) return hr;
    if (IsRunningExecutable(path)) return ExecutableClassObject(clsid, iid, object);
    return m_servers.GetClassObject(path, clsid, iid, object);
}

HRESULT InprocServerPath(REFCLSID clsid, std::string* path) {
    char text[CHARS_IN_GUID];
    FormatGuidText(clsid, text);
    const std::string key_path = std::string("CLSID\\") + text + "\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key_path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return REGDB_E_CLASSNOTREG;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (status == ERROR_SUCCESS) {
        status = RegQueryValueExA(key, nullptr, nullptr, &type, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return REGDB_E_CLASSNOTREG;
    }
    *path = CleanPath(data);
    return path->empty() ? REGDB_E_CLASSNOTREG : S_OK;
}
