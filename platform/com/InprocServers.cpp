#include "platform/com/InprocServers.h"

#include <chrono>

#include <dlfcn.h>

namespace {

template <typename Function>
Function Symbol(void* handle, const char* name) {
    return reinterpret_cast<Function>(dlsym(handle, name));
}

}  // namespace

InprocServers::~InprocServers() = default;

HRESULT InprocServers::Load(const std::string& path, Server** server) {
    auto found = m_servers.find(path);
    if (found != m_servers.end()) {
        *server = &found->second;
        return S_OK;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    Server loaded;
    loaded.handle = handle;
    loaded.get_class_object = Symbol<LPFNGETCLASSOBJECT>(handle, "DllGetClassObject");
    loaded.can_unload_now = Symbol<LPFNCANUNLOADNOW>(handle, "DllCanUnloadNow");
    if (!loaded.get_class_object) {
        dlclose(handle);
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    *server = &m_servers.emplace(path, loaded).first->second;
    return S_OK;
}

HRESULT InprocServers::GetClassObject(const std::string& path, REFCLSID clsid, REFIID iid,
                                      void** object) {
    Server* server = nullptr;
    LPFNGETCLASSOBJECT get_class_object = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const HRESULT hr = Load(path, &server);
        if (FAILED(hr)) return hr;
        ++server->busy;
        server->unused_since_ns = -1;
        get_class_object = server->get_class_object;
    }
    // Unlocked: a server may create other objects while making its class object.
    const HRESULT hr = get_class_object(clsid, iid, object);
    std::lock_guard<std::mutex> lock(m_mutex);
    --server->busy;
    return hr;
}

void InprocServers::FreeUnused(int64_t delay_ns) {
    const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_servers.begin(); it != m_servers.end();) {
        Server& server = it->second;
        const bool unused =
            server.busy == 0 && server.can_unload_now && server.can_unload_now() == S_OK;
        if (!unused) {
            server.unused_since_ns = -1;
        } else if (server.unused_since_ns < 0 && delay_ns != kAtOnce) {
            server.unused_since_ns = now;
        } else if (delay_ns == kAtOnce || now - server.unused_since_ns >= delay_ns) {
            dlclose(server.handle);
            it = m_servers.erase(it);
            continue;
        }
        ++it;
    }
}
