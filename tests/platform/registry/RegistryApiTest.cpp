#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/registry/RegistryFixture.h"

namespace {

TEST_F(RegistryTest, create_open_set_query_round_trip) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvik\\TKV", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(SetString(key, "Name", "Tarvik Time Stretcher"), ERROR_SUCCESS);
    const DWORD merit = 0x00400000;
    EXPECT_EQ(RegSetValueExA(key, "Merit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&merit), 4),
              ERROR_SUCCESS);
    const BYTE blob[] = {0, 1, 2, 0xFF};
    EXPECT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, sizeof(blob)), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "software\\TARVIK\\tkv\\", 0, nullptr, 0,
                              KEY_READ, nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(QueryString(again, "name"), "Tarvik Time Stretcher");
    DWORD type = 0;
    EXPECT_EQ(Query(again, "MERIT", &type), std::vector<BYTE>({0, 0, 0x40, 0}));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(Query(again, "Blob", &type), std::vector<BYTE>(blob, blob + sizeof(blob)));
    EXPECT_EQ(type, REG_BINARY);
    LONG status = ERROR_SUCCESS;
    Query(again, "Missing", nullptr, &status);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    RegCloseKey(again);

    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Tarvik", 0, KEY_READ, &parent),
              ERROR_SUCCESS);
    char name[16];
    ASSERT_EQ(RegEnumKeyA(parent, 0, name, sizeof(name)), ERROR_SUCCESS);
    EXPECT_STREQ(name, "TKV");  // the case it was created with
    EXPECT_EQ(RegEnumKeyA(parent, 1, name, sizeof(name)), ERROR_NO_MORE_ITEMS);
    RegCloseKey(parent);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Nobody", 0, KEY_READ, &parent),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(parent, nullptr);
}

TEST_F(RegistryTest, classes_root_is_a_view_of_local_machine_software_classes) {
    HKEY through_root = Create(HKEY_CLASSES_ROOT, "CLSID\\{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}");
    EXPECT_EQ(SetString(through_root, nullptr, "Tarvik Time Stretcher"), ERROR_SUCCESS);
    HKEY through_machine = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\Classes\\CLSID\\{c553f2c0-1529-11d0-b4d1-00805f6cbbea}", 0,
                            KEY_ALL_ACCESS, &through_machine),
              ERROR_SUCCESS);
    EXPECT_EQ(QueryString(through_machine, ""), "Tarvik Time Stretcher");
    EXPECT_EQ(SetString(through_machine, "ThreadingModel", "Both"), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(through_root, "ThreadingModel"), "Both");
    RegCloseKey(through_root);
    RegCloseKey(through_machine);
    EXPECT_NE(
        StoreText().find("[SOFTWARE\\Classes\\CLSID\\{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}]"),
        std::string::npos);

    HKEY user = nullptr;  // the user store is a different tree
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Classes\\CLSID", 0, KEY_READ, &user),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, small_buffers_get_more_data_and_the_size_needed) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\TKV");
    ASSERT_EQ(SetString(key, "Path", "/usr/bin/tkv"), ERROR_SUCCESS);
    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 13u);
    EXPECT_EQ(type, REG_SZ);
    char small[4] = {'x', 'x', 'x', 'x'};
    size = sizeof(small);
    EXPECT_EQ(
        RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 13u);
    char exact[13];
    size = sizeof(exact);
    EXPECT_EQ(
        RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(exact, "/usr/bin/tkv");
    EXPECT_EQ(
        RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), nullptr),
        ERROR_INVALID_PARAMETER);

    HKEY child = Create(key, "LongerName");
    RegCloseKey(child);
    char name[5];
    EXPECT_EQ(RegEnumKeyA(key, 0, name, sizeof(name)), ERROR_MORE_DATA);
    DWORD name_size = sizeof(name);
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &name_size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    char value_name[4];
    DWORD value_name_size = sizeof(value_name);
    EXPECT_EQ(
        RegEnumValueA(key, 0, value_name, &value_name_size, nullptr, nullptr, nullptr, nullptr),
        ERROR_MORE_DATA);
    RegCloseKey(key);
}

TEST_F(RegistryTest, enumeration_by_index_gives_keys_in_name_order_and_values_in_set_order) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Enum");
    for (const char* sub : {"charlie", "Alpha", "bravo"})
        RegCloseKey(Create(key, sub));
    SetString(key, "z", "last letter");
    SetString(key, "a", "first letter");
    std::vector<std::string> names;
    char name[32];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof(name)) == ERROR_SUCCESS; ++i) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "bravo", "charlie"}));
    DWORD size = sizeof(name);
    FILETIME written;
    ASSERT_EQ(RegEnumKeyExA(key, 2, name, &size, nullptr, nullptr, nullptr, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 7u);
    EXPECT_STREQ(name, "charlie");

    size = sizeof(name);
    DWORD type = 0;
    BYTE data[32];
    DWORD data_size = sizeof(data);
    ASSERT_EQ(RegEnumValueA(key, 0, name, &size, nullptr, &type, data, &data_size), ERROR_SUCCESS);
    EXPECT_STREQ(name, "z");
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(data_size, 12u);
    EXPECT_STREQ(reinterpret_cast<char*>(data), "last letter");
    size = sizeof(name);
    data_size = 2;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &size, nullptr, nullptr, data, &data_size),
              ERROR_MORE_DATA);
    EXPECT_EQ(data_size, 13u);
    size = sizeof(name);
    EXPECT_EQ(RegEnumValueA(key, 2, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, a_key_with_subkeys_cannot_be_deleted) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone\\Child");
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone\\child"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone\\Child"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, values_are_deleted_by_name) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Values");
    SetString(key, "One", "1");
    EXPECT_EQ(RegDeleteValueA(key, "ONE"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "One"), ERROR_FILE_NOT_FOUND);
    LONG status = ERROR_SUCCESS;
    Query(key, "One", nullptr, &status);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, a_handle_to_a_deleted_key_reports_it) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Doomed");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "x", "y"), ERROR_KEY_DELETED);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "x", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    char name[8];
    EXPECT_EQ(RegEnumKeyA(key, 0, name, sizeof(name)), ERROR_KEY_DELETED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyA(key, "Child", &child), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetString(key, "x", "y"), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, access_rights_given_at_open_are_checked) {
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\ReadOnly"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ReadOnly", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, "x", "y"), ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(
        RegCreateKeyExA(key, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
        ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ReadOnly", 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    char name[8];
    EXPECT_EQ(RegEnumKeyA(key, 0, name, sizeof(name)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(SetString(key, "x", "y"), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, bad_paths_and_arguments_are_refused) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "\\Leading", &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Double\\\\Slash", &key), ERROR_BAD_PATHNAME);
    const std::string too_long(256, 'k');
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, too_long.c_str(), &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyA(reinterpret_cast<HKEY>(uintptr_t{0x1234}), "x", &key),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "v", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
}

TEST_F(RegistryTest, legacy_default_value_functions) {
    EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "CLSID\\{X}", REG_SZ, "Name", 0), ERROR_SUCCESS);
    char text[16];
    LONG size = sizeof(text);
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "CLSID\\{X}", text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "Name");
    EXPECT_EQ(size, 5);
    size = sizeof(text);
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "CLSID", text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "");  // a key without a default value reads as empty
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "CLSID\\{Y}", text, &size), ERROR_FILE_NOT_FOUND);
    HKEY same = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, nullptr, &same), ERROR_SUCCESS);
    EXPECT_EQ(same, HKEY_CLASSES_ROOT);
    EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "x", REG_DWORD, "1", 0), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, threads_writing_at_once_keep_all_their_keys) {
    constexpr int kThreads = 4;
    constexpr int kKeys = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int k = 0; k < kKeys; ++k) {
                const std::string path =
                    "Software\\Threads\\T" + std::to_string(t) + "K" + std::to_string(k);
                HKEY key = nullptr;
                if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) == ERROR_SUCCESS) {
                    SetString(key, "v", path);
                    RegCloseKey(key);
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    Reload();
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeys; ++k) {
            const std::string path =
                "Software\\Threads\\T" + std::to_string(t) + "K" + std::to_string(k);
            HKEY key = nullptr;
            ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS) << path;
            EXPECT_EQ(QueryString(key, "v"), path);
            RegCloseKey(key);
        }
    }
}

}  // namespace
