// COM tests run with COM initialised and a fresh registry folder of their own.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/registry/RegistrySetup.h"
#include "platform/registry/winreg.h"
#include "tests/support/TempDir.h"

class ComTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegistrySetFolder(dir.Path().string());
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    void TearDown() override {
        CoFreeUnusedLibraries();
        CoUninitialize();
    }

    // Registers `clsid` under HKEY_CLASSES_ROOT with `path` as its in-process server.
    static void RegisterServer(REFCLSID clsid, const std::string& path) {
        char text[CHARS_IN_GUID];
        FormatGuidText(clsid, text);
        const std::string key = std::string("CLSID\\") + text + "\\InprocServer32";
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, path.c_str(), 0),
                  ERROR_SUCCESS);
    }

    TempDir dir;
};
