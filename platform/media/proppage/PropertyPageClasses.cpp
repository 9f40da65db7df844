#include "platform/media/proppage/PropertyPageClasses.h"

#include <iterator>

#include "platform/media/base/CClassFactory.h"
#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/proppage/AudioPropertiesPage.h"
#include "platform/media/uuids.h"

namespace {

const CFactoryTemplate kTemplates[] = {
    {u"Audio Renderer Property Page", &CLSID_AudioProperties, &AudioPropertiesPage::CreateInstance,
     nullptr, nullptr},
};

}  // namespace

void RegisterPropertyPageClasses() {
    CClassFactory::RegisterBuiltIn(kTemplates, static_cast<int>(std::size(kTemplates)));
}
