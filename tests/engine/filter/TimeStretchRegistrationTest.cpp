// Registration on and off in a registry folder of the test's own, and the program's COM
// server entry points: the class key, the mapper's record, registering twice, unregistering
// (subkeys included), creating the class through the registered program, and what
// DllGetClassObject and DllCanUnloadNow answer.
#include "engine/TimeStretchRegistration.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/TimeStretchSource.h"
#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/uuids.h"
#include "platform/registry/RegistrySetup.h"
#include "platform/registry/winreg.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kClassKey = "CLSID\\{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}";
const std::string kInstanceName = "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}";

class TimeStretchRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegistrySetFolder(m_registry.Path().string());
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    void TearDown() override {
        CoUninitialize();
        RegistrySetFolder("");
    }

    static bool KeyExists(const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    static std::optional<std::string> ReadString(const std::string& path, const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        char value[4096] = {};
        DWORD size = sizeof value;
        DWORD type = 0;
        const LONG status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        return std::string(value);
    }

    static std::vector<std::string> Subkeys(const std::string& path) {
        std::vector<std::string> names;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return names;
        }
        char name[256];
        for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
            names.emplace_back(name);
        }
        RegCloseKey(key);
        return names;
    }

    static bool InMapper(RegisteredFilter* found = nullptr) {
        RegisteredFilter filter;
        const bool there =
            FilterRegistry::Read(CLSID_LegacyAmFilterCategory, kInstanceName, &filter);
        if (found) *found = filter;
        return there;
    }

    TempDir m_registry;
};

TEST_F(TimeStretchRegistrationTest, registering_writes_the_class_key_naming_this_program) {
    ASSERT_EQ(TimeStretchRegistration::Register(nullptr), S_OK);
    EXPECT_EQ(ReadString(kClassKey, nullptr), "Tarvik Time Stretcher");
    const std::string server = kClassKey + "\\InprocServer32";
    const std::optional<std::string> path = ReadString(server, nullptr);
    ASSERT_TRUE(path);
    EXPECT_TRUE(std::filesystem::equivalent(*path, "/proc/self/exe"));
    EXPECT_EQ(ReadString(server, "ThreadingModel"), "Both");
}

TEST_F(TimeStretchRegistrationTest, registering_gives_the_mapper_the_filters_record) {
    ASSERT_EQ(TimeStretchRegistration::Register(nullptr), S_OK);
    RegisteredFilter filter;
    ASSERT_TRUE(InMapper(&filter));
    EXPECT_EQ(filter.clsid, CLSID_TimeStretchSource);
    EXPECT_EQ(filter.friendly_name, "Tarvik Time Stretcher");
    ASSERT_TRUE(filter.has_record);
    EXPECT_EQ(filter.record.merit, static_cast<DWORD>(MERIT_UNLIKELY));
    ASSERT_EQ(filter.record.pins.size(), 1u);
    const RegisteredPin& pin = filter.record.pins[0];
    EXPECT_EQ(pin.name, u"Output");
    EXPECT_TRUE(pin.output);
    EXPECT_FALSE(pin.rendered);
    EXPECT_FALSE(pin.zero);
    EXPECT_FALSE(pin.many);
    EXPECT_EQ(pin.connects_to_filter, CLSID_NULL);
    EXPECT_EQ(pin.connects_to_pin, u"Input");
    ASSERT_EQ(pin.types.size(), 1u);
    EXPECT_EQ(pin.types[0].major, MEDIATYPE_Stream);
    EXPECT_EQ(pin.types[0].minor, MEDIASUBTYPE_WAVE);
}

TEST_F(TimeStretchRegistrationTest, registering_twice_leaves_one_registration) {
    ASSERT_EQ(TimeStretchRegistration::Register(nullptr), S_OK);
    ASSERT_EQ(TimeStretchRegistration::Register(nullptr), S_OK);
    EXPECT_EQ(Subkeys(kClassKey), std::vector<std::string>{"InprocServer32"});
    int ours = 0;
    for (const RegisteredFilter& filter :
         FilterRegistry::ReadCategory(CLSID_LegacyAmFilterCategory)) {
        if (filter.clsid == CLSID_TimeStretchSource) ++ours;
    }
    EXPECT_EQ(ours, 1);
}

TEST_F(TimeStretchRegistrationTest, unregistering_removes_the_class_key_with_all_its_subkeys) {
    ASSERT_EQ(TimeStretchRegistration::Register(nullptr), S_OK);
    HKEY deeper = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (kClassKey + "\\InprocServer32\\a\\b").c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &deeper, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(deeper);
    ASSERT_EQ(TimeStretchRegistration::Unregister(nullptr), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_TRUE(KeyExists("CLSID"));
    EXPECT_FALSE(InMapper());
}

TEST_F(TimeStretchRegistrationTest, unregistering_what_was_never_registered_succeeds) {
    EXPECT_EQ(TimeStretchRegistration::Unregister(nullptr), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
}

// ---- the entry points ------------------------------------------------------------------------

TEST_F(TimeStretchRegistrationTest, the_class_is_created_through_the_program_it_names) {
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(CoCreateInstance(CLSID_TimeStretchSource, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(filter.GetAddressOf())),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(DllRegisterServer(), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_TimeStretchSource, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(filter.GetAddressOf())),
              S_OK);
    CLSID clsid{};
    ASSERT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TimeStretchSource);
    filter = nullptr;
    ASSERT_EQ(DllUnregisterServer(), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_EQ(CoCreateInstance(CLSID_TimeStretchSource, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(filter.GetAddressOf())),
              REGDB_E_CLASSNOTREG);
}

TEST_F(TimeStretchRegistrationTest, get_class_object_hands_out_only_factories_of_its_class) {
    void* object = nullptr;
    EXPECT_EQ(DllGetClassObject(CLSID_TimeStretchSource, IID_IBaseFilter, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(DllGetClassObject(CLSID_WAVEParser, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(DllGetClassObject(CLSID_TimeStretchSource, IID_IClassFactory, nullptr), E_POINTER);

    ComPtr<IUnknown> unknown;
    ASSERT_EQ(DllGetClassObject(CLSID_TimeStretchSource, IID_IUnknown,
                                reinterpret_cast<void**>(unknown.GetAddressOf())),
              S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(DllGetClassObject(CLSID_TimeStretchSource, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    ComPtr<IFileSourceFilter> file;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IFileSourceFilter,
                                      reinterpret_cast<void**>(file.GetAddressOf())),
              S_OK);
    EXPECT_EQ(factory->CreateInstance(unknown.Get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
}

TEST_F(TimeStretchRegistrationTest, the_program_can_unload_only_when_nothing_is_left) {
    ASSERT_EQ(CUnknown::ObjectsActive(), 0) << "an object of an earlier test is still alive";
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(DllGetClassObject(CLSID_TimeStretchSource, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter,
                                      reinterpret_cast<void**>(filter.GetAddressOf())),
              S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory = nullptr;
    filter = nullptr;
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // still locked
    ComPtr<IClassFactory> again;
    ASSERT_EQ(DllGetClassObject(CLSID_TimeStretchSource, IID_IClassFactory,
                                reinterpret_cast<void**>(again.GetAddressOf())),
              S_OK);
    ASSERT_EQ(again->LockServer(FALSE), S_OK);
    again = nullptr;
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

}  // namespace
