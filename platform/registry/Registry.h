// The process's registry: the two store files, the table of open key handles, the
// first-use hooks. The Reg* functions run under Mutex(), after RunFirstUseHooks().
// A handle names a root store and a path inside it (HKEY_CLASSES_ROOT is the local machine
// store with the path SOFTWARE\Classes), never a tree node, so handles survive reloads.
// Threading: everything is guarded by Mutex() except the hook functions, which have their own.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry/RegistryFile.h"
#include "platform/registry/winreg.h"

class Registry {
public:
    // What a handle names. `always_exists`: a predefined root, which reads as an empty key
    // when its path is missing from the file and is made when something is written under it.
    struct KeyRef {
        RegistryFile* file = nullptr;
        int store = 0;
        std::vector<std::string> path;
        REGSAM access = 0;
        bool always_exists = false;
    };

    static Registry& Instance();

    void AddFirstUseHook(std::function<void()> hook);
    void RunFirstUseHooks();
    void SetFolder(const std::string& folder);  // takes Mutex() itself
    std::string Folder();                       // takes Mutex() itself

    std::mutex& Mutex() { return m_mutex; }

    // Under Mutex():
    LONG Resolve(HKEY key, KeyRef* ref);
    HKEY AddHandle(const KeyRef& ref);
    LONG CloseHandle(HKEY key);

private:
    Registry() = default;
    RegistryFile& Store(int store);
    void ResetStores();

    std::mutex m_mutex;
    std::string m_folder;  // "" until first needed
    std::unique_ptr<RegistryFile> m_stores[2];
    std::unordered_map<uintptr_t, KeyRef> m_handles;  // KeyRef::file is not used here
    uintptr_t m_next_handle = 0x10000;

    std::recursive_mutex m_hook_mutex;
    std::vector<std::function<void()>> m_hooks;
    std::atomic<bool> m_hooks_done{false};
    bool m_hooks_running = false;  // only ever seen by the thread running them
};
