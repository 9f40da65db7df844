// What the filter catalogue and the graph editor rely on, over every filter the framework
// ships: each one names its class through IPersist, and the registrations written at the
// registry's first use are where the catalogue reads them, read the way it reads them.
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dmowrapper/IAudioGain.h"
#include "platform/media/splitter/MovieSplitterRegistration.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"
#include "platform/registry/winreg.h"
#include "tests/platform/media/filters/FilterTestFixture.h"

namespace {

// The catalogue's own spelling of the key, lower-case "d" and trailing backslash included.
constexpr char kFilterInstances[] =
    "SOFTWARE\\Classes\\CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\";
constexpr char kUserAudioRenderers[] =
    "Software\\Microsoft\\ActiveMovie\\devenum\\{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\";

// The braced upper-case text StringFromCLSID gives.
std::string Text(const CLSID& clsid) {
    LPOLESTR wide = nullptr;
    if (FAILED(StringFromCLSID(clsid, &wide))) return "{ Not available }";
    std::string narrow;
    for (const WCHAR* unit = wide; *unit; ++unit)
        narrow += static_cast<char>(*unit);
    CoTaskMemFree(wide);
    return narrow;
}

// A string value, or "<missing>".
std::string ReadString(HKEY root, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<missing>";
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    const LONG status =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(buffer) : "<missing>";
}

// Subkey name -> value `name`, for every subkey of `path` that has the value.
std::map<std::string, std::string> ReadSubkeys(HKEY root, const std::string& path,
                                               const char* name) {
    std::map<std::string, std::string> found;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return found;
    char subkey[1024];
    for (DWORD i = 0; RegEnumKeyA(key, i, subkey, sizeof subkey) == ERROR_SUCCESS; ++i) {
        const std::string value = ReadString(key, subkey, name);
        if (value != "<missing>") found[subkey] = value;
    }
    RegCloseKey(key);
    return found;
}

struct StockFilter {
    const char* name;
    CLSID clsid;
};

// Every filter a user may insert from the catalogue.
const StockFilter kInsertable[] = {
    {"File Source (Async.)", CLSID_AsyncReader},
    {"Wave Parser", CLSID_WAVEParser},
    {"Null Renderer", CLSID_NullRenderer},
    {"Video Renderer", CLSID_VideoRenderer},
    {"Movie Splitter", CLSID_MovieSplitter},
    {"File Writer", CLSID_FileWriter},
    {"Movie Splitter (Other Formats)", CLSID_MovieSplitterOtherFormats},
};

class StockFilterConformanceTest : public FilterTest {};

TEST_F(StockFilterConformanceTest, every_stock_filter_names_its_class_through_ipersist) {
    std::vector<StockFilter> all(std::begin(kInsertable), std::end(kInsertable));
    all.push_back({"Default DirectSound Device", CLSID_DSoundRender});
    all.push_back({"DMO wrapper", CLSID_DMOWrapperFilter});
    for (const StockFilter& filter : all) {
        SCOPED_TRACE(filter.name);
        ComPtr<IUnknown> made;
        ASSERT_EQ(CoCreateInstance(filter.clsid, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(made.GetAddressOf())),
                  S_OK);
        ComPtr<IPersist> persist;
        ASSERT_EQ(made.As(&persist), S_OK);
        CLSID clsid{};
        EXPECT_EQ(persist->GetClassID(&clsid), 0);
        EXPECT_EQ(clsid, filter.clsid);
        EXPECT_EQ(persist->GetClassID(nullptr), E_POINTER);
    }
}

TEST_F(StockFilterConformanceTest, insertable_filters_are_listed_under_the_filter_category) {
    const std::map<std::string, std::string> listed =
        ReadSubkeys(HKEY_LOCAL_MACHINE, kFilterInstances, "FriendlyName");
    for (const StockFilter& filter : kInsertable) {
        SCOPED_TRACE(filter.name);
        const std::string clsid = Text(filter.clsid);
        // The catalogue takes the key's name, upper-cased, as the class identifier.
        ASSERT_EQ(listed.count(clsid), 1u);
        EXPECT_EQ(listed.at(clsid), filter.name);
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kFilterInstances + clsid, "CLSID"), clsid);
        // Where a look-up by class finds the name of a filter it has not listed.
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid, nullptr), filter.name);
    }
}

TEST_F(StockFilterConformanceTest, the_audio_renderer_is_in_the_users_cache_by_its_friendly_name) {
    const std::map<std::string, std::string> cached =
        ReadSubkeys(HKEY_CURRENT_USER, kUserAudioRenderers, "CLSID");
    ASSERT_EQ(cached.count("Default DirectSound Device"), 1u);
    // Stored exactly as the catalogue compares it: braced, upper case.
    EXPECT_EQ(cached.at("Default DirectSound Device"), "{79376820-07D0-11CF-A24D-0020AFD79767}");
}

// The classes the catalogue finds elsewhere (the users' cache, the DMO enumeration) are named
// by their class keys too, for a look-up by class.
TEST_F(StockFilterConformanceTest, the_other_stock_classes_are_named_by_their_class_keys) {
    for (const StockFilter& other : {StockFilter{"Default DirectSound Device", CLSID_DSoundRender},
                                     StockFilter{"Gain", CLSID_GainDmo}}) {
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + Text(other.clsid), nullptr),
                  other.name);
    }
}

TEST_F(StockFilterConformanceTest, key_and_value_names_match_without_regard_to_case) {
    const size_t listed = ReadSubkeys(HKEY_LOCAL_MACHINE, kFilterInstances, "FriendlyName").size();
    ASSERT_GE(listed, std::size(kInsertable));
    for (const char* path :
         {"SOFTWARE\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance",
          "software\\classes\\clsid\\{083863f1-70de-11d0-bd40-00a0c911ce86}\\instance\\",
          "Software\\CLASSES\\Clsid\\{083863f1-70DE-11d0-bd40-00A0C911CE86}\\INSTANCE"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ReadSubkeys(HKEY_LOCAL_MACHINE, path, "friendlyname").size(), listed);
    }
    EXPECT_EQ(
        ReadString(HKEY_CLASSES_ROOT, "clsid\\{e436ebb5-524f-11ce-9f53-0020af0ba770}", nullptr),
        "File Source (Async.)");
}

}  // namespace
