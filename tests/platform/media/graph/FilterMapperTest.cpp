// The filter mappers write and remove registrations where the catalogue reads them, and find
// filters by media type and merit.
#include <string>

#include "platform/com/objbase.h"
#include "platform/media/base/AMovieSetup.h"
#include "platform/media/graph/FilterData.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/graph/RegKey.h"
#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/platform/media/graph/RegisteredTestFilters.h"

namespace {

constexpr GUID kFilter = MakeGuid("C553F2C0-1529-11D0-B4D1-00805F6CBBEA");
constexpr char kFilterText[] = "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}";
constexpr char kDefaultInstances[] = "CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\";
const HRESULT kNotRegistered = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

const REGPINTYPES kWaveStream = {&MEDIATYPE_Stream, &MEDIASUBTYPE_WAVE};
const REGFILTERPINS kOutputPin = {const_cast<LPWSTR>(u"Output"),
                                  FALSE,
                                  TRUE,
                                  FALSE,
                                  FALSE,
                                  &CLSID_NULL,
                                  u"Input",
                                  1,
                                  &kWaveStream};

REGFILTER2 VersionOne(DWORD merit) {
    REGFILTER2 registration{};
    registration.dwVersion = 1;
    registration.dwMerit = merit;
    registration.cPins = 1;
    registration.rgPins = &kOutputPin;
    return registration;
}

class FilterMapperTest : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(m_mapper.GetAddressOf())),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(m_old_mapper.GetAddressOf())),
                  S_OK);
    }
    void TearDown() override {
        m_mapper = nullptr;
        m_old_mapper = nullptr;
        GraphTest::TearDown();
    }

    static bool KeyExists(HKEY root, const std::string& path) {
        RegKey key;
        return key.Open(root, path) == ERROR_SUCCESS;
    }
    static std::string StringValue(HKEY root, const std::string& path, const char* name) {
        RegKey key;
        std::string value = "(missing)";
        if (key.Open(root, path) == ERROR_SUCCESS) key.GetString(name, &value);
        return value;
    }
    static FilterRecord Record(const std::string& path) {
        RegKey key;
        std::vector<BYTE> data;
        FilterRecord record;
        EXPECT_EQ(key.Open(HKEY_CLASSES_ROOT, path), ERROR_SUCCESS);
        EXPECT_TRUE(key.GetBinary("FilterData", &data));
        EXPECT_TRUE(FilterData::Decode(data.data(), data.size(), &record));
        return record;
    }

    ComPtr<IFilterMapper2> m_mapper;
    ComPtr<IFilterMapper> m_old_mapper;
};

TEST_F(FilterMapperTest, register_writes_name_class_and_record_under_the_default_category) {
    const REGFILTER2 registration = VersionOne(MERIT_UNLIKELY);
    ASSERT_EQ(m_mapper->RegisterFilter(kFilter, u"Tarvik Time Stretcher", nullptr, nullptr, nullptr,
                                       &registration),
              S_OK);
    const std::string path = std::string(kDefaultInstances) + kFilterText;
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, path, "FriendlyName"), "Tarvik Time Stretcher");
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, path, "CLSID"), kFilterText);
    // The catalogue reads the same key through the machine root.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + path));
    const FilterRecord record = Record(path);
    EXPECT_EQ(record.merit, static_cast<DWORD>(MERIT_UNLIKELY));
    ASSERT_EQ(record.pins.size(), 1u);
    EXPECT_EQ(record.pins[0].name, u"Output");
    EXPECT_TRUE(record.pins[0].output);
    EXPECT_EQ(record.pins[0].connects_to_pin, u"Input");
    ASSERT_EQ(record.pins[0].types.size(), 1u);
    EXPECT_EQ(record.pins[0].types[0].minor, MEDIASUBTYPE_WAVE);
}

TEST_F(FilterMapperTest, unregister_removes_it_and_a_second_time_reports_file_not_found) {
    const REGFILTER2 registration = VersionOne(MERIT_UNLIKELY);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(
            m_mapper->RegisterFilter(kFilter, u"Twice", nullptr, nullptr, nullptr, &registration),
            S_OK);
    }
    RegKey instances;
    ASSERT_EQ(instances.Open(HKEY_CLASSES_ROOT, kDefaultInstances), ERROR_SUCCESS);
    EXPECT_EQ(instances.SubkeyNames(), std::vector<std::string>{kFilterText});
    EXPECT_EQ(m_mapper->UnregisterFilter(nullptr, nullptr, kFilter), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kDefaultInstances) + kFilterText));
    EXPECT_EQ(m_mapper->UnregisterFilter(nullptr, nullptr, kFilter), kNotRegistered);
    EXPECT_EQ(static_cast<DWORD>(kNotRegistered), 0x80070002u);
}

TEST_F(FilterMapperTest, another_category_and_an_instance_name_choose_the_key) {
    const REGFILTER2 registration = VersionOne(MERIT_PREFERRED);
    ASSERT_EQ(
        m_mapper->RegisterFilter(CLSID_DSoundRender, u"Default DirectSound Device", nullptr,
                                 &CLSID_AudioRendererCategory, u"Default Device", &registration),
        S_OK);
    const std::string machine =
        "CLSID\\{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Instance\\Default Device";
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, machine, "FriendlyName"),
              "Default DirectSound Device");
    // Audio renderers are listed per user as well, under their friendly name.
    const std::string user =
        "Software\\Microsoft\\ActiveMovie\\devenum\\{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\"
        "Default DirectSound Device";
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, user, "CLSID"),
              FilterRegistry::GuidText(CLSID_DSoundRender));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kDefaultInstances) +
                                                  FilterRegistry::GuidText(CLSID_DSoundRender)));

    EXPECT_EQ(m_mapper->UnregisterFilter(&CLSID_AudioRendererCategory, u"Default Device",
                                         CLSID_DSoundRender),
              S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, machine));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, user));
}

TEST_F(FilterMapperTest, version_two_records_keep_their_pin_flags) {
    const REGPINTYPES audio = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
    REGFILTERPINS2 pin{};
    pin.dwFlags = REG_PINFLAG_B_RENDERER | REG_PINFLAG_B_MANY;
    pin.nMediaTypes = 1;
    pin.lpMediaType = &audio;
    REGFILTER2 registration{};
    registration.dwVersion = 2;
    registration.dwMerit = MERIT_NORMAL;
    registration.cPins2 = 1;
    registration.rgPins2 = &pin;
    ASSERT_EQ(m_mapper->RegisterFilter(kFilter, u"Two", nullptr, nullptr, nullptr, &registration),
              S_OK);
    const FilterRecord record = Record(std::string(kDefaultInstances) + kFilterText);
    ASSERT_EQ(record.pins.size(), 1u);
    EXPECT_TRUE(record.pins[0].rendered);
    EXPECT_TRUE(record.pins[0].many);
    EXPECT_FALSE(record.pins[0].output);
    EXPECT_FALSE(record.pins[0].zero);
}

TEST_F(FilterMapperTest, bad_registrations_are_refused_without_writing) {
    REGFILTER2 registration = VersionOne(MERIT_NORMAL);
    registration.dwVersion = 3;
    EXPECT_EQ(m_mapper->RegisterFilter(kFilter, u"Bad", nullptr, nullptr, nullptr, &registration),
              E_INVALIDARG);
    registration = VersionOne(MERIT_NORMAL);
    registration.rgPins = nullptr;
    EXPECT_EQ(m_mapper->RegisterFilter(kFilter, u"Bad", nullptr, nullptr, nullptr, &registration),
              E_INVALIDARG);
    EXPECT_EQ(m_mapper->RegisterFilter(kFilter, nullptr, nullptr, nullptr, nullptr, &registration),
              E_POINTER);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kDefaultInstances) + kFilterText));
}

TEST_F(FilterMapperTest, the_older_mapper_names_the_class_and_builds_the_record_pin_by_pin) {
    ASSERT_EQ(m_old_mapper->RegisterFilter(kFilter, u"Old Style", MERIT_NORMAL), S_OK);
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kFilterText, nullptr),
              "Old Style");
    ASSERT_EQ(
        m_old_mapper->RegisterPin(kFilter, u"In", TRUE, FALSE, FALSE, FALSE, CLSID_NULL, nullptr),
        S_OK);
    ASSERT_EQ(m_old_mapper->RegisterPinType(kFilter, u"In", MEDIATYPE_Audio, GUID_NULL), S_OK);
    EXPECT_EQ(m_old_mapper->RegisterPinType(kFilter, u"Nowhere", MEDIATYPE_Audio, GUID_NULL),
              VFW_E_NOT_FOUND);
    FilterRecord record = Record(std::string(kDefaultInstances) + kFilterText);
    EXPECT_EQ(record.merit, static_cast<DWORD>(MERIT_NORMAL));
    ASSERT_EQ(record.pins.size(), 1u);
    EXPECT_TRUE(record.pins[0].rendered);
    ASSERT_EQ(record.pins[0].types.size(), 1u);
    EXPECT_EQ(record.pins[0].types[0].major, MEDIATYPE_Audio);

    // Registering the filter again keeps its pins; unregistering a pin drops it.
    ASSERT_EQ(m_old_mapper->RegisterFilter(kFilter, u"Old Style", MERIT_PREFERRED), S_OK);
    EXPECT_EQ(Record(std::string(kDefaultInstances) + kFilterText).pins.size(), 1u);
    ASSERT_EQ(m_old_mapper->UnregisterPin(kFilter, u"In"), S_OK);
    EXPECT_EQ(m_old_mapper->UnregisterPin(kFilter, u"In"), VFW_E_NOT_FOUND);
    EXPECT_TRUE(Record(std::string(kDefaultInstances) + kFilterText).pins.empty());

    EXPECT_EQ(m_old_mapper->UnregisterFilter(kFilter), S_OK);
    EXPECT_EQ(m_old_mapper->UnregisterFilter(kFilter), kNotRegistered);
    EXPECT_EQ(
        m_old_mapper->RegisterPin(kFilter, u"In", FALSE, FALSE, FALSE, FALSE, CLSID_NULL, nullptr),
        kNotRegistered);
}

TEST_F(FilterMapperTest, the_setup_helpers_register_and_unregister_through_both_mappers) {
    const AMOVIESETUP_FILTER setup = {&kFilter, u"Tarvik Time Stretcher", MERIT_UNLIKELY, 1,
                                      &kOutputPin};
    ASSERT_EQ(AMovieSetupRegisterFilter2(&setup, m_mapper.Get(), TRUE), S_OK);
    EXPECT_EQ(Record(std::string(kDefaultInstances) + kFilterText).pins.size(), 1u);
    ASSERT_EQ(AMovieSetupRegisterFilter2(&setup, m_mapper.Get(), FALSE), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kDefaultInstances) + kFilterText));

    ASSERT_EQ(AMovieSetupRegisterFilter(&setup, m_old_mapper.Get(), TRUE), S_OK);
    EXPECT_EQ(Record(std::string(kDefaultInstances) + kFilterText).pins.size(), 1u);
    ASSERT_EQ(AMovieSetupRegisterFilter(&setup, m_old_mapper.Get(), FALSE), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kDefaultInstances) + kFilterText));
}

class FilterMapperSearch : public FilterMapperTest {
protected:
    void SetUp() override {
        FilterMapperTest::SetUp();
        test_filters::RegisterAll();
    }
    void TearDown() override {
        FilterMapperTest::TearDown();
        test_filters::UnregisterClasses();
    }
};

TEST_F(FilterMapperSearch, matching_filters_come_highest_merit_first_and_bind_to_objects) {
    const GUID audio[] = {MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    ComPtr<IEnumMoniker> found;
    ASSERT_EQ(m_mapper->EnumMatchingFilters(found.GetAddressOf(), 0, FALSE, MERIT_UNLIKELY, TRUE, 1,
                                            audio, nullptr, nullptr, TRUE, FALSE, 0, nullptr,
                                            nullptr, nullptr),
              S_OK);
    IMoniker* monikers[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(found->Next(4, monikers, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);  // the do-not-use renderer is below the merit asked for
    ComPtr<IBaseFilter> made;
    ASSERT_EQ(monikers[0]->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                        reinterpret_cast<void**>(made.GetAddressOf())),
              S_OK);
    ComPtr<IPin> input;
    EXPECT_EQ(made->FindPin(u"In", input.GetAddressOf()), S_OK);
    for (ULONG i = 0; i < fetched; ++i)
        monikers[i]->Release();
}

TEST_F(FilterMapperSearch, exact_matching_leaves_out_filters_that_take_anything) {
    const GUID audio[] = {MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    ComPtr<IEnumMoniker> loose;
    ComPtr<IEnumMoniker> exact;
    ASSERT_EQ(
        m_mapper->EnumMatchingFilters(loose.GetAddressOf(), 0, FALSE, 0, TRUE, 1, audio, nullptr,
                                      nullptr, FALSE, FALSE, 0, nullptr, nullptr, nullptr),
        S_OK);
    ASSERT_EQ(
        m_mapper->EnumMatchingFilters(exact.GetAddressOf(), 0, TRUE, 0, TRUE, 1, audio, nullptr,
                                      nullptr, FALSE, FALSE, 0, nullptr, nullptr, nullptr),
        S_OK);
    auto count = [](IEnumMoniker* monikers) {
        ULONG total = 0;
        IMoniker* moniker = nullptr;
        while (monikers->Next(1, &moniker, nullptr) == S_OK) {
            moniker->Release();
            ++total;
        }
        return total;
    };
    EXPECT_EQ(count(loose.Get()), 3u);  // the three renderers; the parser takes a stream
    EXPECT_EQ(count(exact.Get()), 0u);  // each registered a wildcard subtype
}

TEST_F(FilterMapperSearch, the_older_search_gives_renderers_in_merit_order) {
    ComPtr<IEnumRegFilters> found;
    ASSERT_EQ(
        m_old_mapper->EnumMatchingFilters(found.GetAddressOf(), 0, TRUE, MEDIATYPE_Audio,
                                          MEDIASUBTYPE_PCM, TRUE, FALSE, GUID_NULL, GUID_NULL),
        S_OK);
    REGFILTER* filters[3] = {};
    ULONG fetched = 0;
    ASSERT_EQ(found->Next(3, filters, &fetched), S_OK);
    EXPECT_EQ(filters[0]->Clsid, test_filters::kRenderer);
    EXPECT_EQ(filters[1]->Clsid, test_filters::kLowRenderer);
    EXPECT_EQ(filters[2]->Clsid, test_filters::kAnyRenderer);
    for (REGFILTER* filter : filters)
        CoTaskMemFree(filter);
}

TEST_F(FilterMapperSearch, the_older_search_hands_out_names_and_classes) {
    ComPtr<IEnumRegFilters> found;
    ASSERT_EQ(m_old_mapper->EnumMatchingFilters(found.GetAddressOf(), MERIT_NORMAL, TRUE,
                                                MEDIATYPE_Stream, test_filters::kClipSubtype, FALSE,
                                                TRUE, MEDIATYPE_Audio, GUID_NULL),
              S_OK);
    REGFILTER* filter = nullptr;
    ASSERT_EQ(found->Next(1, &filter, nullptr), S_OK);
    EXPECT_EQ(filter->Clsid, test_filters::kParser);
    EXPECT_EQ(std::u16string(filter->Name), test_filters::kParserName);
    CoTaskMemFree(filter);
    EXPECT_EQ(found->Next(1, &filter, nullptr), S_FALSE);
}

}  // namespace
