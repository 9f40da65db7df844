// Every registry test works on its own fresh store folder.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry/RegistrySetup.h"
#include "platform/registry/winreg.h"
#include "tests/support/TempDir.h"

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RegistrySetFolder(dir.Path().string()); }

    // Makes the process forget its cached trees, as a new process would start.
    void Reload() {
        RegistrySetFolder(dir.File("elsewhere"));
        RegistrySetFolder(dir.Path().string());
    }

    std::string StoreText(const std::string& name = "HKEY_LOCAL_MACHINE") const;

    static HKEY Create(HKEY parent, const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << path;
        return key;
    }

    static LONG SetString(HKEY key, const char* name, const std::string& text) {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1));
    }

    // The value's bytes, or an empty vector with `status` set.
    static std::vector<BYTE> Query(HKEY key, const char* name, DWORD* type = nullptr,
                                   LONG* status = nullptr);

    static std::string QueryString(HKEY key, const char* name);

    TempDir dir;
};
