// Filter registration from setup records, through both mappers: what reaches the mapper and
// how a missing registration is treated.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media/base/AMovieSetup.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/uuids.h"

namespace {

constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002);
constexpr GUID kFilterClass = MakeGuid("C0DE0001-1111-2222-3333-444455556666");

const AMOVIESETUP_MEDIATYPE kTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_WAVE}};
const AMOVIESETUP_PIN kPins[] = {
    {u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"Input", 1, kTypes}};
const AMOVIESETUP_FILTER kFilter = {&kFilterClass, u"Setup Test", MERIT_UNLIKELY, 1, kPins};

// Records what the registration helpers ask of a mapper.
class RecordingMapper : public CUnknown, public IFilterMapper2, public IFilterMapper {
public:
    RecordingMapper() : CUnknown("recording mapper") {}
    DECLARE_IUNKNOWN

    HRESULT answer_unregister = S_OK;
    std::vector<std::string> calls;
    REGFILTER2 registration{};
    const CLSID* category = nullptr;
    LPCOLESTR instance = reinterpret_cast<LPCOLESTR>(1);
    std::u16string name;

    // IFilterMapper2
    HRESULT CreateCategory(REFCLSID, DWORD, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT UnregisterFilter(const CLSID* in_category, LPCOLESTR in_instance,
                             REFCLSID filter) override {
        calls.push_back(IsEqualCLSID(filter, kFilterClass) ? "unregister2" : "unregister2?");
        category = in_category;
        instance = in_instance;
        return answer_unregister;
    }
    HRESULT RegisterFilter(REFCLSID filter, LPCWSTR in_name, IMoniker** moniker,
                           const CLSID* in_category, LPCOLESTR in_instance,
                           const REGFILTER2* in_registration) override {
        calls.push_back(IsEqualCLSID(filter, kFilterClass) && !moniker ? "register2"
                                                                       : "register2?");
        name = in_name;
        category = in_category;
        instance = in_instance;
        registration = *in_registration;
        return S_OK;
    }
    HRESULT EnumMatchingFilters(IEnumMoniker**, DWORD, BOOL, DWORD, BOOL, DWORD, const GUID*,
                                const REGPINMEDIUM*, const CLSID*, BOOL, BOOL, DWORD, const GUID*,
                                const REGPINMEDIUM*, const CLSID*) override {
        return E_NOTIMPL;
    }

    // IFilterMapper
    HRESULT RegisterFilter(CLSID, LPCWSTR in_name, DWORD merit) override {
        calls.push_back("filter " + std::to_string(merit));
        name = in_name;
        return S_OK;
    }
    HRESULT RegisterFilterInstance(CLSID, LPCWSTR, CLSID*) override { return E_NOTIMPL; }
    HRESULT RegisterPin(CLSID, LPCWSTR pin, BOOL, BOOL output, BOOL, BOOL, CLSID,
                        LPCWSTR connects_to) override {
        calls.push_back(std::string("pin ") + (output ? "out " : "in ") +
                        (std::u16string(pin) == u"Output" ? "Output" : "?") +
                        (std::u16string(connects_to) == u"Input" ? " Input" : " ?"));
        return S_OK;
    }
    HRESULT RegisterPinType(CLSID, LPCWSTR, CLSID major, CLSID sub) override {
        calls.push_back(IsEqualGUID(major, MEDIATYPE_Stream) && IsEqualGUID(sub, MEDIASUBTYPE_WAVE)
                            ? "type stream wave"
                            : "type ?");
        return S_OK;
    }
    HRESULT UnregisterFilter(CLSID) override {
        calls.push_back("unregister");
        return answer_unregister;
    }
    HRESULT UnregisterFilterInstance(CLSID) override { return E_NOTIMPL; }
    HRESULT UnregisterPin(CLSID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT EnumMatchingFilters(IEnumRegFilters**, DWORD, BOOL, CLSID, CLSID, BOOL, BOOL, CLSID,
                                CLSID) override {
        return E_NOTIMPL;
    }
};

TEST(AMovieSetup, registers_a_version_one_record_in_the_default_category) {
    RecordingMapper mapper;
    ASSERT_EQ(AMovieSetupRegisterFilter2(&kFilter, &mapper, TRUE), S_OK);
    EXPECT_EQ(mapper.calls, std::vector<std::string>{"register2"});
    EXPECT_EQ(mapper.name, u"Setup Test");
    ASSERT_NE(mapper.category, nullptr);
    EXPECT_TRUE(IsEqualCLSID(*mapper.category, CLSID_LegacyAmFilterCategory));
    EXPECT_EQ(mapper.instance, nullptr);  // the class identifier's text names the instance
    EXPECT_EQ(mapper.registration.dwVersion, 1u);
    EXPECT_EQ(mapper.registration.dwMerit, 0x400000u);
    EXPECT_EQ(mapper.registration.cPins, 1u);
    EXPECT_EQ(mapper.registration.rgPins, kPins);
}

TEST(AMovieSetup, unregistering_what_was_never_registered_succeeds) {
    RecordingMapper mapper;
    mapper.answer_unregister = kFileNotFound;
    EXPECT_EQ(AMovieSetupRegisterFilter2(&kFilter, &mapper, FALSE), S_OK);
    EXPECT_EQ(mapper.calls, std::vector<std::string>{"unregister2"});
    EXPECT_TRUE(IsEqualCLSID(*mapper.category, CLSID_LegacyAmFilterCategory));
    mapper.answer_unregister = E_ACCESSDENIED;
    EXPECT_EQ(AMovieSetupRegisterFilter2(&kFilter, &mapper, FALSE), E_ACCESSDENIED);
}

TEST(AMovieSetup, the_older_mapper_gets_the_filter_then_each_pin_and_type) {
    RecordingMapper mapper;
    mapper.answer_unregister = kFileNotFound;
    ASSERT_EQ(AMovieSetupRegisterFilter(&kFilter, &mapper, TRUE), S_OK);
    EXPECT_EQ(mapper.calls, (std::vector<std::string>{"unregister", "filter 4194304",
                                                      "pin out Output Input", "type stream wave"}));
    mapper.calls.clear();
    ASSERT_EQ(AMovieSetupRegisterFilter(&kFilter, &mapper, FALSE), S_OK);
    EXPECT_EQ(mapper.calls, std::vector<std::string>{"unregister"});
}

TEST(AMovieSetup, missing_records_are_refused) {
    RecordingMapper mapper;
    EXPECT_EQ(AMovieSetupRegisterFilter2(nullptr, &mapper, TRUE), E_POINTER);
    EXPECT_EQ(AMovieSetupRegisterFilter2(&kFilter, nullptr, TRUE), E_POINTER);
    EXPECT_EQ(AMovieSetupRegisterFilter(&kFilter, nullptr, TRUE), E_POINTER);
    EXPECT_TRUE(mapper.calls.empty());
}

}  // namespace
