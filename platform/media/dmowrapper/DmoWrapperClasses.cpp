#include "platform/media/dmowrapper/DmoWrapperClasses.h"

#include <iterator>

#include "platform/media/base/CClassFactory.h"
#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/dmoreg.h"
#include "platform/media/dmowrapper/DmoWrapperFilter.h"
#include "platform/media/dmowrapper/GainMediaObject.h"
#include "platform/media/graph/FilterRegistration.h"
#include "platform/media/uuids.h"

namespace {

const CFactoryTemplate kTemplates[] = {
    {u"DMO Wrapper Filter", &CLSID_DMOWrapperFilter, &DmoWrapperFilter::CreateInstance, nullptr,
     nullptr},
    {u"Gain", &CLSID_GainDmo, &GainMediaObject::CreateInstance, nullptr, nullptr},
};

}  // namespace

void RegisterDmoWrapperClasses() {
    CClassFactory::RegisterBuiltIn(kTemplates, static_cast<int>(std::size(kTemplates)));
}

HRESULT WriteDmoRegistrations() {
    const DMO_PARTIAL_MEDIATYPE pcm{MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    const HRESULT hr =
        DMORegister(u"Gain", CLSID_GainDmo, DMOCATEGORY_AUDIO_EFFECT, 0, 1, &pcm, 1, &pcm);
    if (FAILED(hr)) return hr;
    return WriteClassKey(CLSID_GainDmo, "Gain");
}
