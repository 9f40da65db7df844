#include "platform/com/Module.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/com/LastError.h"

namespace {

std::string Executable() {
    return std::filesystem::canonical("/proc/self/exe").string();
}

TEST(ModuleTest, the_executable_file_name) {
    char path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    EXPECT_EQ(std::string(path), Executable());
    EXPECT_EQ(length, Executable().size());
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof(path)), length);
    EXPECT_EQ(GetModuleHandleA(path), GetModuleHandleA(nullptr));
}

TEST(ModuleTest, a_small_buffer_gets_the_name_cut_and_terminated) {
    char path[5] = {'x', 'x', 'x', 'x', 'x'};
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof(path)), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(path), Executable().substr(0, 4));
}

TEST(ModuleTest, a_loaded_library_by_its_handle) {
    void* library = dlopen(TKV_TEST_SERVER_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    const HMODULE module = GetModuleHandleA(TKV_TEST_SERVER_MODULE);
    EXPECT_EQ(reinterpret_cast<void*>(module), library);
    char path[MAX_PATH * 4];
    ASSERT_GT(GetModuleFileNameA(module, path, sizeof(path)), 0u);
    EXPECT_EQ(std::string(path), std::filesystem::canonical(TKV_TEST_SERVER_MODULE).string());
    dlclose(library);
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("/nonexistent/library.so"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
