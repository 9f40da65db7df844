#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/registry/RegistryFixture.h"
#include "tests/support/WavFileBuilder.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> DamagedCopies(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".damaged-") != std::string::npos) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// Runs `work` in a child process; returns the child's pid. The child exits 0 when `work`
// returns true.
template <typename Work>
pid_t Spawn(Work work) {
    const pid_t pid = fork();
    if (pid == 0) _exit(work() ? 0 : 1);
    return pid;
}

bool ExitedCleanly(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WriteKeys(const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string path = "Software\\Race\\" + prefix + std::to_string(i);
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS) return false;
        const DWORD number = static_cast<DWORD>(i);
        const LONG status =
            RegSetValueExA(key, "n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return false;
    }
    return true;
}

TEST_F(RegistryTest, keys_and_values_persist_across_a_reload) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Persist\\Empty");
    RegCloseKey(key);
    key = Create(HKEY_CURRENT_USER, "Software\\Persist");
    SetString(key, nullptr, "default");
    const BYTE multi[] = {'a', 0, 'b', 0, 0};
    RegSetValueExA(key, "Multi", 0, REG_MULTI_SZ, multi, sizeof(multi));
    RegCloseKey(key);

    Reload();
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Persist", &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, nullptr), "default");
    DWORD type = 0;
    EXPECT_EQ(Query(key, "multi", &type), std::vector<BYTE>(multi, multi + sizeof(multi)));
    EXPECT_EQ(type, REG_MULTI_SZ);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Persist\\Empty", &key), ERROR_SUCCESS);
    RegCloseKey(key);

    const std::string text = StoreText("HKEY_CURRENT_USER");
    EXPECT_NE(text.find("[Software\\Persist]\n@=\"default\"\n\"Multi\"=hex(7):61,00,62,00,00\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[Software\\Persist\\Empty]\n"), std::string::npos);
}

TEST_F(RegistryTest, any_byte_sequence_round_trips_through_the_file) {
    std::string every_byte;
    for (int c = 1; c < 256; ++c)
        every_byte += static_cast<char>(c);
    std::string key_name;  // every byte allowed in a key name
    for (int c = 1; c < 128; ++c) {
        if (c != '\\') key_name += static_cast<char>(c);
    }
    const std::string path = "Software\\" + key_name + "\\%41]";
    HKEY key = Create(HKEY_CURRENT_USER, path.c_str());
    std::vector<BYTE> binary;
    for (int c = 0; c < 256; ++c)
        binary.push_back(static_cast<BYTE>(c));
    ASSERT_EQ(RegSetValueExA(key, every_byte.c_str(), 0, REG_SZ, binary.data(),
                             static_cast<DWORD>(binary.size())),
              ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "text", every_byte), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "odd dword", 0, REG_DWORD, binary.data(), 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "empty", 0, 0x12345678, nullptr, 0), ERROR_SUCCESS);
    RegCloseKey(key);

    Reload();
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(Query(key, every_byte.c_str(), &type), binary);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(QueryString(key, "text"), every_byte);
    EXPECT_EQ(Query(key, "odd dword", &type), std::vector<BYTE>({0, 1, 2}));
    EXPECT_EQ(type, REG_DWORD);
    LONG status = ERROR_MORE_DATA;
    EXPECT_TRUE(Query(key, "empty", &type, &status).empty());
    EXPECT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(type, 0x12345678u);
    RegCloseKey(key);
    char name[300];
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software", &software), ERROR_SUCCESS);
    ASSERT_EQ(RegEnumKeyA(software, 0, name, sizeof(name)), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name), key_name);
    RegCloseKey(software);
}

TEST_F(RegistryTest, a_damaged_store_is_set_aside_and_the_store_starts_empty) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Before");
    RegCloseKey(key);
    const std::string garbage = "[SOFTWARE\\Before]\nthis is not a value line\n";
    std::ofstream(dir.File("HKEY_LOCAL_MACHINE.reg"), std::ios::binary | std::ios::trunc)
        << garbage;

    testing::internal::CaptureStderr();
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Before", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Before", &key), ERROR_FILE_NOT_FOUND);
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("damaged"), std::string::npos);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;  // once

    const std::vector<fs::path> copies = DamagedCopies(dir.Path());
    ASSERT_EQ(copies.size(), 1u);
    const std::vector<uint8_t> kept = ReadFileBytes(copies[0].string());
    EXPECT_EQ(std::string(kept.begin(), kept.end()), garbage);

    key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\After");
    EXPECT_EQ(SetString(key, "ok", "yes"), ERROR_SUCCESS);
    RegCloseKey(key);
    Reload();
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\After", &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, "ok"), "yes");
    RegCloseKey(key);
}

TEST_F(RegistryTest, reads_see_what_another_process_committed) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Shared");  // this process has read the file
    const pid_t child = Spawn([] { return WriteKeys("child", 1); });
    ASSERT_TRUE(ExitedCleanly(child));
    HKEY written = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Race\\child0", &written), ERROR_SUCCESS);
    RegCloseKey(written);
    EXPECT_EQ(SetString(key, "still", "valid"), ERROR_SUCCESS);  // the handle outlived the reload
    RegCloseKey(key);
}

TEST_F(RegistryTest, two_processes_writing_at_once_keep_all_their_keys) {
    constexpr int kKeys = 120;
    const pid_t first = Spawn([] { return WriteKeys("a", kKeys); });
    const pid_t second = Spawn([] { return WriteKeys("b", kKeys); });
    ASSERT_TRUE(ExitedCleanly(first));
    ASSERT_TRUE(ExitedCleanly(second));
    Reload();
    HKEY race = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Race", &race), ERROR_SUCCESS);
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < kKeys; ++i) {
            const std::string name = prefix + std::to_string(i);
            HKEY key = nullptr;
            ASSERT_EQ(RegOpenKeyA(race, name.c_str(), &key), ERROR_SUCCESS) << name;
            EXPECT_EQ(Query(key, "n"), std::vector<BYTE>({static_cast<BYTE>(i), 0, 0, 0}));
            RegCloseKey(key);
        }
    }
    RegCloseKey(race);
    EXPECT_TRUE(DamagedCopies(dir.Path()).empty());
}

TEST_F(RegistryTest, first_use_hooks_run_once_per_folder_and_may_use_the_registry) {
    // Hooks stay registered for the rest of the process: only this run's hook counts.
    static int generation = 0;
    static int runs = 0;
    const int mine = ++generation;
    runs = 0;
    RegisterFirstUseHook([mine] {
        if (mine != generation) return;
        ++runs;
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\FromHook", &key) == ERROR_SUCCESS) {
            RegCloseKey(key);
        }
    });
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\FromHook", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\FromHook", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(runs, 1);  // SetUp pointed the registry at a new folder: not used there yet

    TempDir other;
    RegistrySetFolder(other.Path().string());
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\FromHook", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(RegistryFolder(), other.Path().string());
    RegistrySetFolder(dir.Path().string());
    ++generation;
}

TEST_F(RegistryTest, a_hook_registered_after_first_use_runs_at_once) {
    static int generation = 0;
    static int runs = 0;
    const int mine = ++generation;
    runs = 0;
    HKEY key = nullptr;
    RegOpenKeyA(HKEY_CURRENT_USER, "Software", &key);  // the first use
    RegisterFirstUseHook([mine] {
        if (mine == generation) ++runs;
    });
    EXPECT_EQ(runs, 1);
    ++generation;
}

TEST_F(RegistryTest, the_folder_comes_from_tkv_registry_dir_by_default) {
    const char* before = std::getenv("TKV_REGISTRY_DIR");
    const std::string saved = before ? before : "";
    setenv("TKV_REGISTRY_DIR", dir.File("from-environment").c_str(), 1);
    RegistrySetFolder("");
    EXPECT_EQ(RegistryFolder(), dir.File("from-environment"));
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Env");
    RegCloseKey(key);
    EXPECT_TRUE(fs::exists(dir.File("from-environment/HKEY_CURRENT_USER.reg")));
    if (before) {
        setenv("TKV_REGISTRY_DIR", saved.c_str(), 1);
    } else {
        unsetenv("TKV_REGISTRY_DIR");
    }
    RegistrySetFolder(dir.Path().string());
}

}  // namespace
