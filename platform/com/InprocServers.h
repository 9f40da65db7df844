// The in-process servers (shared libraries) loaded for registered classes, by the path that
// the registry names. A library is loaded on first need (dlopen, local symbols) and kept;
// FreeUnused unloads one whose DllCanUnloadNow has answered S_OK at an earlier call at least
// the given delay ago, and again now, with no class object handed out in between: the thread
// that released its last object may still be running the end of that Release inside the
// library when the count first reaches 0. A library without DllCanUnloadNow stays loaded.
// Threading: any thread; DllGetClassObject is called without the table's lock.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "platform/com/objbase.h"

class InprocServers {
public:
    InprocServers() = default;
    ~InprocServers();  // unloads nothing: objects may outlive the table at process exit
    InprocServers(const InprocServers&) = delete;
    InprocServers& operator=(const InprocServers&) = delete;

    // The class object from the library at `path`: HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)
    // when it cannot be loaded, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND) without
    // DllGetClassObject, else what DllGetClassObject answers.
    HRESULT GetClassObject(const std::string& path, REFCLSID clsid, REFIID iid, void** object);
    // kAtOnce unloads at the first S_OK, for the end of COM's use in the process.
    static constexpr int64_t kAtOnce = -1;
    void FreeUnused(int64_t delay_ns);

private:
    struct Server {
        void* handle = nullptr;
        LPFNGETCLASSOBJECT get_class_object = nullptr;
        LPFNCANUNLOADNOW can_unload_now = nullptr;
        int busy = 0;                  // calls into get_class_object in progress
        int64_t unused_since_ns = -1;  // DllCanUnloadNow first said S_OK then; -1: in use
    };

    HRESULT Load(const std::string& path, Server** server);

    std::mutex m_mutex;
    std::map<std::string, Server> m_servers;  // node addresses are stable while busy
};
