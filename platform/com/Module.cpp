#include "platform/com/Module.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/com/LastError.h"

namespace {

constexpr const char* kSelf = "/proc/self/exe";

void* ExecutableHandle() {
    static void* const handle = dlopen(nullptr, RTLD_LAZY);  // the main program, never unloaded
    return handle;
}

std::string ExecutablePath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink(kSelf, error);
    return error ? std::string() : path.string();
}

bool IsExecutable(const char* path) {
    std::error_code error;
    return std::filesystem::equivalent(path, kSelf, error) && !error;
}

std::string ModulePath(HMODULE module) {
    void* handle = reinterpret_cast<void*>(module);
    if (!handle || handle == ExecutableHandle()) return ExecutablePath();
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name || !*map->l_name) {
        return std::string();
    }
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(map->l_name, error);
    return error ? std::string(map->l_name) : resolved.string();
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR file_name, DWORD size) {
    const std::string path = ModulePath(module);
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!file_name || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const size_t copied = std::min<size_t>(path.size(), size - 1);
    std::memcpy(file_name, path.data(), copied);
    file_name[copied] = '\0';
    if (copied < path.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return static_cast<DWORD>(copied);
}

HMODULE GetModuleHandleA(LPCSTR module_name) {
    if (!module_name || IsExecutable(module_name)) {
        return reinterpret_cast<HMODULE>(ExecutableHandle());
    }
    void* handle = dlopen(module_name, RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    dlclose(handle);  // RTLD_NOLOAD still counted a reference; the module stays loaded
    return reinterpret_cast<HMODULE>(handle);
}
