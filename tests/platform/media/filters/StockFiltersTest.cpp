#include "platform/media/filters/StockFilters.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"
#include "platform/registry/winreg.h"
#include "tests/platform/media/filters/FilterTestFixture.h"

namespace {

constexpr char kFilterInstances[] =
    "SOFTWARE\\Classes\\CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\";
constexpr char kUserAudioRenderers[] =
    "Software\\Microsoft\\ActiveMovie\\devenum\\{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\";

// A string value, or "<missing>".
std::string ReadString(HKEY root, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<missing>";
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    const LONG status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : "<missing>";
}

int CountSubkeys(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    char name[1024];
    int count = 0;
    while (RegEnumKeyA(key, static_cast<DWORD>(count), name, sizeof name) == ERROR_SUCCESS)
        ++count;
    RegCloseKey(key);
    return count;
}

class StockFiltersTest : public FilterTest {};

TEST_F(StockFiltersTest, every_stock_filter_is_creatable_by_its_class) {
    for (const CLSID& clsid : {CLSID_AsyncReader, CLSID_WAVEParser, CLSID_NullRenderer,
                               CLSID_DSoundRender, CLSID_FileWriter}) {
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(filter.GetAddressOf())),
                  S_OK);
        CLSID reported{};
        EXPECT_EQ(filter->GetClassID(&reported), S_OK);
        EXPECT_EQ(reported, clsid);
    }
}

TEST_F(StockFiltersTest, filters_are_listed_by_friendly_name_under_the_filter_category) {
    ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
    const struct {
        const char* clsid;
        const char* name;
    } listed[] = {
        {"{E436EBB5-524F-11CE-9F53-0020AF0BA770}", "File Source (Async.)"},
        {"{D51BD5A1-7548-11CF-A520-0080C77EF58A}", "Wave Parser"},
        {"{C1F400A4-3F08-11D3-9F0B-006008039E37}", "Null Renderer"},
        {"{8596E5F0-0DA5-11D0-BD21-00A0C911CE86}", "File Writer"},
    };
    for (const auto& filter : listed) {
        const std::string instance = std::string(kFilterInstances) + filter.clsid;
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, instance, "FriendlyName"), filter.name);
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, instance, "CLSID"), filter.clsid);
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::string("CLSID\\") + filter.clsid, nullptr),
                  filter.name);
    }
}

TEST_F(StockFiltersTest, the_audio_renderer_is_listed_in_the_users_audio_renderers) {
    ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
    const std::string user = std::string(kUserAudioRenderers) + "Default DirectSound Device";
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, user, "CLSID"),
              "{79376820-07D0-11CF-A24D-0020AFD79767}");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, user, "FriendlyName"), "Default DirectSound Device");
    const std::string instance =
        "CLSID\\{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Instance\\Default DirectSound Device";
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, instance, "CLSID"),
              "{79376820-07D0-11CF-A24D-0020AFD79767}");
    EXPECT_EQ(
        ReadString(HKEY_CLASSES_ROOT, "CLSID\\{79376820-07D0-11CF-A24D-0020AFD79767}", nullptr),
        "Default DirectSound Device");
}

TEST_F(StockFiltersTest, writing_again_adds_nothing) {
    ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
    const int filters = CountSubkeys(HKEY_LOCAL_MACHINE, kFilterInstances);
    const int renderers = CountSubkeys(HKEY_CURRENT_USER, kUserAudioRenderers);
    EXPECT_EQ(filters, 4);
    EXPECT_EQ(renderers, 1);
    ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
    EXPECT_EQ(CountSubkeys(HKEY_LOCAL_MACHINE, kFilterInstances), filters);
    EXPECT_EQ(CountSubkeys(HKEY_CURRENT_USER, kUserAudioRenderers), renderers);
}

TEST_F(StockFiltersTest, records_tell_the_graph_what_each_filter_takes) {
    ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
    RegisteredFilter parser;
    ASSERT_TRUE(FilterRegistry::Read(CLSID_LegacyAmFilterCategory,
                                     FilterRegistry::GuidText(CLSID_WAVEParser), &parser));
    ASSERT_TRUE(parser.has_record);
    EXPECT_EQ(parser.record.merit, static_cast<DWORD>(MERIT_UNLIKELY));
    ASSERT_EQ(parser.record.pins.size(), 2u);
    EXPECT_EQ(parser.record.pins[0].types.at(0).minor, MEDIASUBTYPE_WAVE);

    RegisteredFilter null;
    ASSERT_TRUE(FilterRegistry::Read(CLSID_LegacyAmFilterCategory,
                                     FilterRegistry::GuidText(CLSID_NullRenderer), &null));
    // The graph never picks it to render a stream on its own.
    EXPECT_EQ(null.record.merit, static_cast<DWORD>(MERIT_DO_NOT_USE));

    FilterCriteria audio;
    audio.min_merit = MERIT_DO_NOT_USE + 1;
    audio.input_needed = true;
    audio.input_types = {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}};
    const auto found = FilterRegistry::Find(audio);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front().clsid, CLSID_DSoundRender);
}

}  // namespace
