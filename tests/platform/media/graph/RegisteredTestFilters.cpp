#include "tests/platform/media/graph/RegisteredTestFilters.h"

#include <gtest/gtest.h>

#include "platform/com/BuiltInClasses.h"
#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/AMovieSetup.h"
#include "platform/media/graph/RegKey.h"
#include "platform/media/uuids.h"
#include "tests/platform/media/graph/TestSink.h"
#include "tests/platform/media/graph/TestTransform.h"

namespace test_filters {
namespace {

// A CUnknown made with no reference handed out as `iid`.
HRESULT HandOut(CUnknown* object, REFIID iid, void** out) {
    object->NonDelegatingAddRef();
    const HRESULT hr = object->NonDelegatingQueryInterface(iid, out);
    object->NonDelegatingRelease();
    return hr;
}

template <typename Make>
void Creatable(REFCLSID clsid, Make make) {
    RegisterBuiltInCreator(clsid, [make](IUnknown* outer, REFIID iid, void** object) {
        if (outer) return CLASS_E_NOAGGREGATION;
        return HandOut(make(), iid, object);
    });
}

TestSink* MakeSink(const GUID& major) {
    TestSink::Options options;
    options.major = major;
    return new TestSink(options);
}

const REGPINTYPES kClipType = {&MEDIATYPE_Stream, &kClipSubtype};
const REGPINTYPES kPcmType = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
const REGPINTYPES kAudioType = {&MEDIATYPE_Audio, &GUID_NULL};
const REGPINTYPES kAnyType = {&GUID_NULL, &GUID_NULL};

const REGFILTERPINS kParserPins[] = {
    {const_cast<LPWSTR>(u"In"), FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, u"Out", 1, &kClipType},
    {const_cast<LPWSTR>(u"Out"), FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"In", 1, &kPcmType}};
const REGFILTERPINS kRendererPins[] = {
    {const_cast<LPWSTR>(u"In"), TRUE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAudioType}};
const REGFILTERPINS kAnyPins[] = {
    {const_cast<LPWSTR>(u"In"), TRUE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyType}};

const AMOVIESETUP_FILTER kSetups[] = {
    {&kParser, kParserName, MERIT_NORMAL, 2, kParserPins},
    {&kRenderer, kRendererName, MERIT_PREFERRED, 1, kRendererPins},
    {&kLowRenderer, kLowRendererName, MERIT_UNLIKELY, 1, kRendererPins},
    // Takes anything, like a null renderer: never to be chosen by the graph.
    {&kAnyRenderer, kAnyRendererName, MERIT_DO_NOT_USE, 1, kAnyPins}};

void SourceForExtension(const char* extension, REFCLSID source) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, std::string("Media Type\\Extensions\\") + extension),
              ERROR_SUCCESS);
    char text[CHARS_IN_GUID];
    FormatGuidText(source, text);
    ASSERT_EQ(key.SetString("Source Filter", text), ERROR_SUCCESS);
}

}  // namespace

void RegisterAll() {
    Creatable(kParser, [] {
        return new TestTransform(kParser, MEDIATYPE_Stream, kClipSubtype, MEDIATYPE_Audio,
                                 MEDIASUBTYPE_PCM);
    });
    Creatable(kRenderer, [] { return MakeSink(MEDIATYPE_Audio); });
    Creatable(kLowRenderer, [] { return MakeSink(MEDIATYPE_Audio); });
    Creatable(kAnyRenderer, [] { return MakeSink(GUID_NULL); });
    Creatable(kClipSource,
              [] { return new TestFileSource(kClipSource, MEDIATYPE_Stream, kClipSubtype); });
    Creatable(kOddSource,
              [] { return new TestFileSource(kOddSource, MEDIATYPE_Stream, kOddSubtype); });

    ComPtr<IFilterMapper2> mapper;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(mapper.GetAddressOf())),
              S_OK);
    for (const AMOVIESETUP_FILTER& setup : kSetups) {
        ASSERT_EQ(AMovieSetupRegisterFilter2(&setup, mapper.Get(), TRUE), S_OK);
    }
    SourceForExtension(".clip", kClipSource);
    SourceForExtension(".odd", kOddSource);
}

void UnregisterClasses() {
    for (const GUID& clsid :
         {kParser, kRenderer, kLowRenderer, kAnyRenderer, kClipSource, kOddSource}) {
        UnregisterBuiltInClass(clsid);
    }
}

}  // namespace test_filters
