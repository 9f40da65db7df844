// The process's COM state behind objbase.h: the initialisation count, the built-in classes
// and the loaded in-process servers, and the class look-up that CoGetClassObject performs
// (built-in classes, then the registry's InprocServer32 path: the executable itself, or a
// library).
// Threading: any thread; nothing here holds a lock while calling into a class.
#pragma once

#include <mutex>
#include <string>

#include "platform/com/BuiltInClasses.h"
#include "platform/com/InprocServers.h"
#include "platform/com/objbase.h"

class ComRuntime {
public:
    static ComRuntime& Instance();

    HRESULT Initialize();  // S_OK the first time, S_FALSE after
    void Uninitialize();   // the last one frees the libraries that can go
    bool IsInitialized();

    HRESULT GetClassObject(REFCLSID clsid, DWORD cls_context, REFIID iid, void** object);
    void FreeUnusedLibraries(int64_t delay_ns) { m_servers.FreeUnused(delay_ns); }
    BuiltInClasses& BuiltIns() { return m_built_ins; }

private:
    ComRuntime() = default;
    HRESULT GetRegisteredClassObject(REFCLSID clsid, REFIID iid, void** object);

    std::mutex m_mutex;
    int m_initialized = 0;  // guarded by m_mutex
    BuiltInClasses m_built_ins;
    InprocServers m_servers;
};

// The InprocServer32 path registered for `clsid`; REGDB_E_CLASSNOTREG when there is none.
HRESULT InprocServerPath(REFCLSID clsid, std::string* path);
