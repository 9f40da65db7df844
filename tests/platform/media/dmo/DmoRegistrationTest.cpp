// DMO registration, enumeration by category and the enumerator's contract. Each test works in
// categories of its own, so registrations of other tests never show.
#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/dmoreg.h"
#include "platform/registry/winreg.h"

namespace {

std::atomic<DWORD> g_next_guid{0x6A000000};

// A GUID no other test uses.
GUID FreshGuid() {
    return GUID{g_next_guid++, 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78}};
}

std::string Text(const GUID& guid) {
    char text[39];
    FormatGuidText(guid, text);
    return text;
}

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

struct Listed {
    CLSID clsid;
    std::u16string name;
};

constexpr DMO_PARTIAL_MEDIATYPE kPcmAudio = {MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
constexpr DMO_PARTIAL_MEDIATYPE kRgbVideo = {MEDIATYPE_Video, MEDIASUBTYPE_RGB32};

class DmoRegistrationTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(CUnknown::ObjectsActive(), m_objects_before) << "enumerator left behind";
    }

    static HRESULT Register(const char16_t* name, const CLSID& clsid, const GUID& category,
                            DWORD flags = 0) {
        return DMORegister(name, clsid, category, flags, 1, &kPcmAudio, 1, &kPcmAudio);
    }

    // Everything an enumeration lists, one Next at a time, as the catalogue reads it.
    static std::vector<Listed> List(const GUID& category, DWORD flags = 0, DWORD in_count = 0,
                                    const DMO_PARTIAL_MEDIATYPE* in = nullptr, DWORD out_count = 0,
                                    const DMO_PARTIAL_MEDIATYPE* out = nullptr) {
        std::vector<Listed> listed;
        ComPtr<IEnumDMO> enumerator;
        EXPECT_EQ(DMOEnum(category, flags, in_count, in, out_count, out, enumerator.GetAddressOf()),
                  S_OK);
        if (!enumerator) return listed;
        CLSID clsid{};
        WCHAR* name = nullptr;
        while (enumerator->Next(1, &clsid, &name, nullptr) == S_OK) {
            listed.push_back({clsid, name});
            CoTaskMemFree(name);
        }
        return listed;
    }

    const long m_objects_before = CUnknown::ObjectsActive();
};

// ---- registration and the registry ----------------------------------------------------------

TEST_F(DmoRegistrationTest, registered_object_is_listed_in_its_category_with_its_name) {
    const GUID category = FreshGuid();
    const CLSID clsid = FreshGuid();
    ASSERT_EQ(Register(u"Echo", clsid, category), S_OK);
    const std::vector<Listed> listed = List(category);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].clsid, clsid);
    EXPECT_EQ(listed[0].name, u"Echo");
    EXPECT_TRUE(List(FreshGuid()).empty()) << "another category lists nothing";
}

TEST_F(DmoRegistrationTest, registration_keys_sit_where_windows_puts_them) {
    const GUID category = FreshGuid();
    const CLSID clsid = FreshGuid();
    ASSERT_EQ(Register(u"Chorus", clsid, category), S_OK);
    const std::string object = "DirectShow\\MediaObjects\\" + Text(clsid);
    char name[64] = {};
    LONG size = sizeof(name);
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, object.c_str(), name, &size), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Chorus");
    EXPECT_TRUE(
        KeyExists("DirectShow\\MediaObjects\\Categories\\" + Text(category) + "\\" + Text(clsid)));
}

TEST_F(DmoRegistrationTest, object_in_two_categories_is_listed_in_each) {
    const GUID first = FreshGuid();
    const GUID second = FreshGuid();
    const CLSID clsid = FreshGuid();
    ASSERT_EQ(Register(u"Flanger", clsid, first), S_OK);
    ASSERT_EQ(Register(u"Flanger", clsid, second), S_OK);
    EXPECT_EQ(List(first).size(), 1u);
    EXPECT_EQ(List(second).size(), 1u);
}

TEST_F(DmoRegistrationTest, null_category_lists_every_object) {
    const CLSID a = FreshGuid();
    const CLSID b = FreshGuid();
    ASSERT_EQ(Register(u"A", a, FreshGuid()), S_OK);
    ASSERT_EQ(Register(u"B", b, FreshGuid()), S_OK);
    int found = 0;
    for (const Listed& item : List(GUID_NULL))
        found += item.clsid == a || item.clsid == b;
    EXPECT_EQ(found, 2);
}

TEST_F(DmoRegistrationTest, name_reads_back_wide_and_cut_to_79_units) {
    const CLSID accented = FreshGuid();
    const CLSID longer = FreshGuid();
    ASSERT_EQ(Register(u"Réverbération ♪", accented, FreshGuid()), S_OK);
    const std::u16string long_name(100, u'x');
    ASSERT_EQ(Register(long_name.c_str(), longer, FreshGuid()), S_OK);
    WCHAR name[kDmoNameUnits];
    ASSERT_EQ(DMOGetName(accented, name), S_OK);
    EXPECT_EQ(std::u16string(name), u"Réverbération ♪");
    ASSERT_EQ(DMOGetName(longer, name), S_OK);
    EXPECT_EQ(std::u16string(name), long_name.substr(0, 79));
    EXPECT_TRUE(FAILED(DMOGetName(FreshGuid(), name)));
}

TEST_F(DmoRegistrationTest, registered_types_read_back) {
    const CLSID clsid = FreshGuid();
    const DMO_PARTIAL_MEDIATYPE outputs[] = {kPcmAudio, kRgbVideo};
    ASSERT_EQ(DMORegister(u"Types", clsid, FreshGuid(), 0, 1, &kPcmAudio, 2, outputs), S_OK);
    DMO_PARTIAL_MEDIATYPE in[4] = {};
    DMO_PARTIAL_MEDIATYPE out[1] = {};
    ULONG in_count = 0;
    ULONG out_count = 0;
    ASSERT_EQ(DMOGetTypes(clsid, 4, &in_count, in, 1, &out_count, out), S_OK);
    EXPECT_EQ(in_count, 1u);
    EXPECT_EQ(in[0].subtype, MEDIASUBTYPE_PCM);
    EXPECT_EQ(out_count, 1u) << "no more than the room given";
    EXPECT_EQ(out[0].type, MEDIATYPE_Audio);
}

TEST_F(DmoRegistrationTest, missing_pointers_are_refused) {
    IEnumDMO* enumerator = nullptr;
    EXPECT_EQ(DMORegister(nullptr, FreshGuid(), FreshGuid(), 0, 0, nullptr, 0, nullptr), E_POINTER);
    EXPECT_EQ(DMORegister(u"X", FreshGuid(), FreshGuid(), 0, 2, nullptr, 0, nullptr), E_POINTER);
    EXPECT_EQ(DMOEnum(GUID_NULL, 0, 0, nullptr, 0, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(DMOEnum(GUID_NULL, 0, 1, nullptr, 0, nullptr, &enumerator), E_POINTER);
    EXPECT_EQ(enumerator, nullptr);
}

// ---- unregistration -------------------------------------------------------------------------

TEST_F(DmoRegistrationTest, unregister_from_one_category_keeps_the_other) {
    const GUID first = FreshGuid();
    const GUID second = FreshGuid();
    const CLSID clsid = FreshGuid();
    ASSERT_EQ(Register(u"Gargle", clsid, first), S_OK);
    ASSERT_EQ(Register(u"Gargle", clsid, second), S_OK);
    ASSERT_EQ(DMOUnregister(clsid, first), S_OK);
    EXPECT_TRUE(List(first).empty());
    EXPECT_EQ(List(second).size(), 1u);
    WCHAR name[kDmoNameUnits];
    EXPECT_EQ(DMOGetName(clsid, name), S_OK);
}

TEST_F(DmoRegistrationTest, unregister_from_last_category_removes_the_object) {
    const GUID category = FreshGuid();
    const CLSID clsid = FreshGuid();
    ASSERT_EQ(Register(u"Distortion", clsid, category), S_OK);
    ASSERT_EQ(DMOUnregister(clsid, category), S_OK);
    EXPECT_TRUE(List(category).empty());
    EXPECT_FALSE(KeyExists("DirectShow\\MediaObjects\\" + Text(clsid)));
    WCHAR name[kDmoNameUnits];
    EXPECT_TRUE(FAILED(DMOGetName(clsid, name)));
}

TEST_F(DmoRegistrationTest, unregister_with_null_category_removes_it_everywhere) {
    const GUID first = FreshGuid();
    const GUID second = FreshGuid();
    const CLSID clsid = FreshGuid();
    ASSERT_EQ(Register(u"Compressor", clsid, first), S_OK);
    ASSERT_EQ(Register(u"Compressor", clsid, second), S_OK);
    ASSERT_EQ(DMOUnregister(clsid, GUID_NULL), S_OK);
    EXPECT_TRUE(List(first).empty());
    EXPECT_TRUE(List(second).empty());
    EXPECT_FALSE(KeyExists("DirectShow\\MediaObjects\\" + Text(clsid)));
}

TEST_F(DmoRegistrationTest, unregister_of_unknown_object_is_s_false) {
    EXPECT_EQ(DMOUnregister(FreshGuid(), FreshGuid()), S_FALSE);
    EXPECT_EQ(DMOUnregister(FreshGuid(), GUID_NULL), S_FALSE);
}

// ---- what an enumeration asks ---------------------------------------------------------------

TEST_F(DmoRegistrationTest, keyed_objects_need_the_include_keyed_flag) {
    const GUID category = FreshGuid();
    ASSERT_EQ(Register(u"Keyed", FreshGuid(), category, DMO_REGISTERF_IS_KEYED), S_OK);
    ASSERT_EQ(Register(u"Open", FreshGuid(), category), S_OK);
    const std::vector<Listed> plain = List(category);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].name, u"Open");
    EXPECT_EQ(List(category, DMO_ENUMF_INCLUDE_KEYED).size(), 2u);
}

TEST_F(DmoRegistrationTest, keyed_objects_stay_out_of_the_listing_of_every_category_too) {
    const CLSID keyed = FreshGuid();
    ASSERT_EQ(Register(u"Keyed", keyed, FreshGuid(), DMO_REGISTERF_IS_KEYED), S_OK);
    const auto lists_keyed = [&](const std::vector<Listed>& listed) {
        for (const Listed& item : listed) {
            if (item.clsid == keyed) return true;
        }
        return false;
    };
    EXPECT_FALSE(lists_keyed(List(GUID_NULL)));
    EXPECT_TRUE(lists_keyed(List(GUID_NULL, DMO_ENUMF_INCLUDE_KEYED)));
}

TEST_F(DmoRegistrationTest, registering_again_without_key_flag_unkeys_the_object) {
    const GUID category = FreshGuid();
    const CLSID clsid = FreshGuid();
    ASSERT_EQ(Register(u"Once keyed", clsid, category, DMO_REGISTERF_IS_KEYED), S_OK);
    ASSERT_EQ(Register(u"Once keyed", clsid, category), S_OK);
    EXPECT_EQ(List(category).size(), 1u);
}

TEST_F(DmoRegistrationTest, type_conditions_select_objects) {
    const GUID category = FreshGuid();
    const CLSID audio = FreshGuid();
    const CLSID video = FreshGuid();
    ASSERT_EQ(DMORegister(u"Audio", audio, category, 0, 1, &kPcmAudio, 1, &kPcmAudio), S_OK);
    ASSERT_EQ(DMORegister(u"Video", video, category, 0, 1, &kRgbVideo, 1, &kRgbVideo), S_OK);

    const std::vector<Listed> takes_pcm = List(category, 0, 1, &kPcmAudio);
    ASSERT_EQ(takes_pcm.size(), 1u);
    EXPECT_EQ(takes_pcm[0].clsid, audio);

    const DMO_PARTIAL_MEDIATYPE any_video = {MEDIATYPE_Video, GUID_NULL};
    const std::vector<Listed> gives_video = List(category, 0, 0, nullptr, 1, &any_video);
    ASSERT_EQ(gives_video.size(), 1u);
    EXPECT_EQ(gives_video[0].clsid, video);

    const DMO_PARTIAL_MEDIATYPE midi = {MEDIATYPE_Midi, GUID_NULL};
    EXPECT_TRUE(List(category, 0, 1, &midi).empty());
    // Both conditions must hold.
    EXPECT_TRUE(List(category, 0, 1, &kPcmAudio, 1, &kRgbVideo).empty());
}

// ---- the enumerator -------------------------------------------------------------------------

class DmoEnumeratorTest : public DmoRegistrationTest {
protected:
    void SetUp() override {
        for (const char16_t* name : {u"One", u"Two", u"Three"}) {
            ASSERT_EQ(Register(name, FreshGuid(), m_category), S_OK);
        }
        ASSERT_EQ(DMOEnum(m_category, 0, 0, nullptr, 0, nullptr, m_enum.GetAddressOf()), S_OK);
    }
    void TearDown() override {
        m_enum.Reset();
        DmoRegistrationTest::TearDown();
    }

    static void FreeNames(WCHAR** names, DWORD count) {
        for (DWORD i = 0; i < count; ++i)
            CoTaskMemFree(names[i]);
    }

    const GUID m_category = FreshGuid();
    ComPtr<IEnumDMO> m_enum;
};

TEST_F(DmoEnumeratorTest, next_is_s_ok_only_when_all_asked_were_fetched) {
    CLSID clsids[2] = {};
    WCHAR* names[2] = {};
    DWORD fetched = 99;
    EXPECT_EQ(m_enum->Next(2, clsids, names, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    FreeNames(names, fetched);
    EXPECT_EQ(m_enum->Next(2, clsids, names, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    FreeNames(names, fetched);
    EXPECT_EQ(m_enum->Next(1, clsids, names, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST_F(DmoEnumeratorTest, next_lists_in_class_identifier_order) {
    CLSID clsids[3] = {};
    DWORD fetched = 0;
    ASSERT_EQ(m_enum->Next(3, clsids, nullptr, &fetched), S_OK);
    EXPECT_LT(Text(clsids[0]), Text(clsids[1]));
    EXPECT_LT(Text(clsids[1]), Text(clsids[2]));
}

TEST_F(DmoEnumeratorTest, names_are_optional_and_fetched_only_for_one) {
    CLSID clsids[2] = {};
    DWORD fetched = 0;
    EXPECT_EQ(m_enum->Next(1, clsids, nullptr, nullptr), S_OK);
    EXPECT_EQ(m_enum->Next(2, clsids, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(m_enum->Next(1, nullptr, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(m_enum->Next(2, clsids, nullptr, &fetched), S_OK) << "refusals moved nothing";
}

TEST_F(DmoEnumeratorTest, skip_and_reset_move_through_the_same_list) {
    CLSID first{};
    ASSERT_EQ(m_enum->Next(1, &first, nullptr, nullptr), S_OK);
    EXPECT_EQ(m_enum->Skip(2), S_OK);
    EXPECT_EQ(m_enum->Skip(1), S_FALSE);
    CLSID clsid{};
    EXPECT_EQ(m_enum->Next(1, &clsid, nullptr, nullptr), S_FALSE);
    ASSERT_EQ(m_enum->Reset(), S_OK);
    ASSERT_EQ(m_enum->Next(1, &clsid, nullptr, nullptr), S_OK);
    EXPECT_EQ(clsid, first);
}

TEST_F(DmoEnumeratorTest, clone_continues_from_the_same_place_on_its_own) {
    ASSERT_EQ(m_enum->Skip(1), S_OK);
    ComPtr<IEnumDMO> clone;
    ASSERT_EQ(m_enum->Clone(clone.GetAddressOf()), S_OK);
    CLSID original{};
    CLSID copied{};
    ASSERT_EQ(m_enum->Next(1, &original, nullptr, nullptr), S_OK);
    ASSERT_EQ(clone->Next(1, &copied, nullptr, nullptr), S_OK);
    EXPECT_EQ(original, copied);
    ASSERT_EQ(m_enum->Skip(1), S_OK);
    EXPECT_EQ(clone->Skip(1), S_OK) << "the clone did not move with the original";
}

TEST_F(DmoEnumeratorTest, later_registration_shows_only_in_a_new_enumeration) {
    ASSERT_EQ(Register(u"Four", FreshGuid(), m_category), S_OK);
    ASSERT_EQ(m_enum->Reset(), S_OK);
    EXPECT_EQ(m_enum->Skip(4), S_FALSE);
    EXPECT_EQ(List(m_category).size(), 4u);
}

TEST_F(DmoEnumeratorTest, enumerator_answers_only_its_interfaces) {
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(
        m_enum->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())),
        S_OK);
    void* other = nullptr;
    EXPECT_EQ(m_enum->QueryInterface(IID_IMediaObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

}  // namespace
