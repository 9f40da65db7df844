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

const CFactoryTemplate kTemplates[] = {
    {u"Movie Splitter", &CLSID_MovieSplitter, &MovieSplitterFilter::CreateInstance, nullptr,
     nullptr},
};

FilterRecord MovieSplitterRecord() {
    RegisteredPin video =
        MakeRegisteredPin(u"Video", true, false, {{MEDIATYPE_Video, MEDIASUBTYPE_RGB32}});
    RegisteredPin audio =
        MakeRegisteredPin(u"Audio", true, false, {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}});
    video.zero = audio.zero = true;
    video.many = audio.many = true;
    return {MERIT_NORMAL,
            {MakeRegisteredPin(u"Input", false, false,
                               {{MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1System},
                                {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM},
                                {MEDIATYPE_Stream, MEDIASUBTYPE_Avi}}),
             video, audio}};
}

}  // namespace

void RegisterMovieSplitterClass() {
    CClassFactory::RegisterBuiltIn(kTemplates, static_cast<int>(std::size(kTemplates)));
}

HRESULT WriteMovieSplitterRegistration() {
    return WriteFilterRegistration(CLSID_LegacyAmFilterCategory,
                                   FilterRegistry::GuidText(CLSID_MovieSplitter),
                                   CLSID_MovieSplitter, kName, MovieSplitterRecord());
}
