#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/com/VfwErrors.h"
#include "platform/com/objbase.h"

namespace {

DEFINE_GUID(CLSID_TimeStretch, 0xC553F2C0, 0x1529, 0x11D0, 0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB,
            0xEA);

static_assert(MakeGuid("{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}") == CLSID_TimeStretch);
static_assert(MakeGuid("c553f2c0-1529-11d0-b4d1-00805f6cbbea") == CLSID_TimeStretch);
static_assert(!(CLSID_TimeStretch == GUID_NULL));
static_assert(IID_IUnknown.Data4[0] == 0xC0 && IID_IClassFactory.Data1 == 1);
static_assert(sizeof(OLECHAR) == 2);

std::u16string Wide(const char* text) {
    return std::u16string(text, text + std::strlen(text));
}

std::string Narrow(const OLECHAR* text) {
    std::string out;
    for (; *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

TEST(GuidTest, has_the_win32_layout) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&CLSID_TimeStretch);
    EXPECT_EQ(bytes[0], 0xC0);  // Data1 little-endian
    EXPECT_EQ(bytes[3], 0xC5);
    EXPECT_EQ(bytes[4], 0x29);
    EXPECT_EQ(bytes[6], 0xD0);
    EXPECT_EQ(bytes[8], 0xB4);
    EXPECT_EQ(bytes[15], 0xEA);
    EXPECT_TRUE(IsEqualGUID(CLSID_TimeStretch, MakeGuid("C553F2C0-1529-11D0-B4D1-00805F6CBBEA")));
    EXPECT_FALSE(IsEqualCLSID(CLSID_TimeStretch, CLSID_NULL));
}

TEST(GuidTest, text_round_trips_in_the_braced_upper_case_form) {
    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(CLSID_TimeStretch, &text), S_OK);
    EXPECT_EQ(Narrow(text), "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}");
    CLSID back = GUID_NULL;
    EXPECT_EQ(CLSIDFromString(text, &back), NOERROR);
    EXPECT_EQ(back, CLSID_TimeStretch);
    CoTaskMemFree(text);

    EXPECT_EQ(CLSIDFromString(Wide("{c553f2c0-1529-11d0-B4D1-00805f6cbbea}").c_str(), &back),
              NOERROR);
    EXPECT_EQ(back, CLSID_TimeStretch);
    IID iid = GUID_NULL;
    ASSERT_EQ(StringFromIID(IID_IClassFactory, &text), S_OK);
    EXPECT_EQ(Narrow(text), "{00000001-0000-0000-C000-000000000046}");
    EXPECT_EQ(IIDFromString(text, &iid), S_OK);
    EXPECT_EQ(iid, IID_IClassFactory);
    CoTaskMemFree(text);
}

TEST(GuidTest, bad_text_gives_co_e_classstring_and_the_null_class) {
    const char* bad[] = {
        "",
        "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA",    // no closing brace
        "C553F2C0-1529-11D0-B4D1-00805F6CBBEA",     // no braces
        "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}x",  // too long
        "{C553F2C0-1529-11D0-B4D1-00805F6CBBE}",    // too short
        "{C553F2C0-1529-11D0-B4D1-00805F6CBBEG}",   // not hexadecimal
        "{C553F2C0-1529-11D0-B4D1+00805F6CBBEA}",   // wrong separator
        "{C553F2C0-1529-11D0-B4D100805F6CBBEA-}",
        "{ Not available }",
        "Tarvik Time Stretcher",
    };
    for (const char* text : bad) {
        CLSID clsid = CLSID_TimeStretch;
        EXPECT_EQ(CLSIDFromString(Wide(text).c_str(), &clsid), CO_E_CLASSSTRING) << text;
        EXPECT_EQ(clsid, CLSID_NULL) << text;
        IID iid = CLSID_TimeStretch;
        EXPECT_EQ(IIDFromString(Wide(text).c_str(), &iid), E_INVALIDARG) << text;
    }
    std::u16string embedded = Wide("{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}");
    embedded[10] = 0;
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(CLSIDFromString(embedded.c_str(), &clsid), CO_E_CLASSSTRING);
    const std::u16string wide_digit = u"{C553F2C0-1529-11D0-B4D1-00805F6CBB\uFF25A}";
    EXPECT_EQ(CLSIDFromString(wide_digit.c_str(), &clsid), CO_E_CLASSSTRING);
    clsid = CLSID_TimeStretch;
    EXPECT_EQ(CLSIDFromString(nullptr, &clsid), NOERROR);  // as Windows: the null class
    EXPECT_EQ(clsid, CLSID_NULL);
    EXPECT_EQ(CLSIDFromString(Wide("{}").c_str(), nullptr), E_INVALIDARG);
    EXPECT_EQ(StringFromCLSID(CLSID_TimeStretch, nullptr), E_INVALIDARG);
}

TEST(GuidTest, string_from_guid2_needs_39_characters) {
    OLECHAR buffer[40];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(StringFromGUID2(CLSID_TimeStretch, buffer, 38), 0);
    EXPECT_EQ(buffer[0], u'#');  // nothing written
    EXPECT_EQ(StringFromGUID2(CLSID_TimeStretch, buffer, 0), 0);
    EXPECT_EQ(StringFromGUID2(CLSID_TimeStretch, nullptr, 39), 0);
    EXPECT_EQ(StringFromGUID2(CLSID_TimeStretch, buffer, 39), 39);
    EXPECT_EQ(Narrow(buffer), "{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}");
    EXPECT_EQ(buffer[39], u'#');
    EXPECT_EQ(StringFromGUID2(GUID_NULL, buffer, 40), CHARS_IN_GUID);
    EXPECT_EQ(Narrow(buffer), "{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidTest, hresults_have_the_windows_values) {
    EXPECT_EQ(E_POINTER, static_cast<HRESULT>(0x80004003));
    EXPECT_EQ(E_OUTOFMEMORY, HRESULT_FROM_WIN32(ERROR_OUTOFMEMORY));
    EXPECT_EQ(E_INVALIDARG, HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), static_cast<HRESULT>(0x80070002));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SUCCESS), S_OK);
    EXPECT_EQ(HRESULT_FROM_WIN32(static_cast<DWORD>(E_FAIL)), E_FAIL);
    EXPECT_EQ(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x201), SELFREG_E_CLASS);
    EXPECT_EQ(HRESULT_CODE(REGDB_E_CLASSNOTREG), 0x154u);
    EXPECT_EQ(HRESULT_FACILITY(E_ACCESSDENIED), FACILITY_WIN32);
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_TRUE(SUCCEEDED(VFW_S_NO_MORE_ITEMS));
    EXPECT_TRUE(FAILED(VFW_E_NO_TRANSPORT));
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, 0x00040103);
    EXPECT_EQ(VFW_E_NO_TRANSPORT, static_cast<HRESULT>(0x80040266));
    EXPECT_EQ(VFW_E_BADALIGN, static_cast<HRESULT>(0x8004020E));
    EXPECT_EQ(VFW_E_WRONG_STATE, static_cast<HRESULT>(0x80040227));
}

TEST(GuidTest, task_memory_blocks_can_grow_and_be_freed) {
    void* block = CoTaskMemAlloc(0);
    ASSERT_NE(block, nullptr);
    block = CoTaskMemRealloc(block, 64);
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, 64);
    EXPECT_EQ(CoTaskMemRealloc(block, 0), nullptr);  // freed
    CoTaskMemFree(nullptr);
}

}  // namespace
