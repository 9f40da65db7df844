#include "platform/registry/Registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/registry/RegistrySetup.h"

namespace {

constexpr int kLocalMachine = 0;
constexpr int kCurrentUser = 1;
constexpr const char* kStoreNames[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"};

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) == 0 && found &&
        found->pw_dir) {
        return found->pw_dir;
    }
    return "/tmp";
}

std::string DefaultFolder() {
    const char* chosen = std::getenv("TKV_REGISTRY_DIR");
    if (chosen && *chosen) return chosen;
    const char* data_home = std::getenv("XDG_DATA_HOME");
    if (data_home && data_home[0] == '/') return std::string(data_home) + "/tkv/registry";
    return HomeFolder() + "/.local/share/tkv/registry";
}

}  // namespace

Registry& Registry::Instance() {
    // Never destroyed: objects released during static destruction may still call in.
    static Registry* const registry = new Registry();
    return *registry;
}

void Registry::AddFirstUseHook(std::function<void()> hook) {
    std::lock_guard<std::recursive_mutex> lock(m_hook_mutex);
    if (m_hooks_done.load(std::memory_order_acquire)) {
        m_hooks.push_back(hook);
        hook();
        return;
    }
    m_hooks.push_back(std::move(hook));  // picked up by a run in progress on this thread too
}

void Registry::RunFirstUseHooks() {
    if (m_hooks_done.load(std::memory_order_acquire)) return;
    std::lock_guard<std::recursive_mutex> lock(m_hook_mutex);
    if (m_hooks_done.load(std::memory_order_relaxed) || m_hooks_running) return;
    m_hooks_running = true;
    for (size_t i = 0; i < m_hooks.size(); ++i) {
        const std::function<void()> hook = m_hooks[i];  // the vector may grow meanwhile
        hook();
    }
    m_hooks_running = false;
    m_hooks_done.store(true, std::memory_order_release);
}

void Registry::SetFolder(const std::string& folder) {
    std::lock_guard<std::recursive_mutex> hooks(m_hook_mutex);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folder = folder;
    ResetStores();
    m_hooks_done.store(false, std::memory_order_release);
}

std::string Registry::Folder() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_folder.empty()) m_folder = DefaultFolder();
    return m_folder;
}

void Registry::ResetStores() {
    for (auto& store : m_stores)
        store.reset();
}

RegistryFile& Registry::Store(int store) {
    if (!m_stores[store]) {
        if (m_folder.empty()) m_folder = DefaultFolder();
        m_stores[store] = std::make_unique<RegistryFile>(m_folder, kStoreNames[store]);
    }
    return *m_stores[store];
}

LONG Registry::Resolve(HKEY key, KeyRef* ref) {
    const auto value = reinterpret_cast<uintptr_t>(key);
    if (key == HKEY_CLASSES_ROOT || key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) {
        *ref = KeyRef();
        ref->store = key == HKEY_CURRENT_USER ? kCurrentUser : kLocalMachine;
        if (key == HKEY_CLASSES_ROOT) ref->path = {"SOFTWARE", "Classes"};
        ref->access = KEY_ALL_ACCESS;
        ref->always_exists = true;
    } else {
        auto it = m_handles.find(value);
        if (it == m_handles.end()) return ERROR_INVALID_HANDLE;
        *ref = it->second;
    }
    ref->file = &Store(ref->store);
    return ERROR_SUCCESS;
}

HKEY Registry::AddHandle(const KeyRef& ref) {
    // Handle numbers are never reused (short of 2^62 opens), so a closed handle stays invalid.
    uintptr_t value = m_next_handle;
    m_next_handle += 4;
    KeyRef& stored = m_handles[value];
    stored = ref;
    stored.file = nullptr;
    return reinterpret_cast<HKEY>(value);
}

LONG Registry::CloseHandle(HKEY key) {
    if (key == HKEY_CLASSES_ROOT || key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) {
        return ERROR_SUCCESS;
    }
    return m_handles.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

void RegisterFirstUseHook(std::function<void()> hook) {
    Registry::Instance().AddFirstUseHook(std::move(hook));
}

void RegistrySetFolder(const std::string& folder) {
    Registry::Instance().SetFolder(folder);
}

std::string RegistryFolder() {
    return Registry::Instance().Folder();
}
