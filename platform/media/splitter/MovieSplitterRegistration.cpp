#include "platform/media/splitter/MovieSplitterRegistration.h"

#include <iterator>

#include "platform/media/base/CClassFactory.h"
#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/graph/FilterRegistration.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/splitter/MovieSplitterFilter.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kName[] = "Movie Splitter";
constexpr char kOtherFormatsName[] = "Movie Splitter (Other Formats)";

const CFactoryTemplate kTemplates[] = {
    {u"Movie Splitter", &CLSID_MovieSplitter, &MovieSplitterFilter::CreateInstance, nullptr,
     nullptr},
    {u"Movie Splitter (Other Formats)", &CLSID_MovieSplitterOtherFormats,
     &MovieSplitterFilter::CreateOtherFormatsInstance, nullptr, nullptr},
};

FilterRecord SplitterRecord(DWORD merit, std::vector<RegisteredMediaType> inputs) {
    RegisteredPin video =
        MakeRegisteredPin(u"Video", true, false, {{MEDIATYPE_Video, MEDIASUBTYPE_RGB32}});
    RegisteredPin audio =
        MakeRegisteredPin(u"Audio", true, false, {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}});
    video.zero = audio.zero = true;
    video.many = audio.many = true;
    return {merit, {MakeRegisteredPin(u"Input", false, false, std::move(inputs)), video, audio}};
}

std::vector<RegisteredMediaType> KnownContainers() {
    std::vector<RegisteredMediaType> types;
    for (const GUID* subtype : MovieSplitterFilter::KnownContainers())
        types.push_back({MEDIATYPE_Stream, *subtype});
    return types;
}

}  // namespace

void RegisterMovieSplitterClass() {
    CClassFactory::RegisterBuiltIn(kTemplates, static_cast<int>(std::size(kTemplates)));
}

HRESULT WriteMovieSplitterRegistration() {
    const HRESULT known = WriteFilterRegistration(
        CLSID_LegacyAmFilterCategory, FilterRegistry::GuidText(CLSID_MovieSplitter),
        CLSID_MovieSplitter, kName, SplitterRecord(MERIT_NORMAL, KnownContainers()));
    if (FAILED(known)) return known;
    // GUID_NULL as the subtype: any byte stream matches.
    return WriteFilterRegistration(
        CLSID_LegacyAmFilterCategory, FilterRegistry::GuidText(CLSID_MovieSplitterOtherFormats),
        CLSID_MovieSplitterOtherFormats, kOtherFormatsName,
        SplitterRecord(MERIT_DO_NOT_USE + 1, {{MEDIATYPE_Stream, GUID_NULL}}));
}
