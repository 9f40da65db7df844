#include "platform/media/video/VideoRendererRegistration.h"

#include <iterator>

#include "platform/media/base/CClassFactory.h"
#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/graph/FilterRegistration.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/uuids.h"
#include "platform/media/video/VideoRendererFilter.h"

namespace {

constexpr char kVideoRendererName[] = "Video Renderer";

const CFactoryTemplate kTemplates[] = {
    {u"Video Renderer", &CLSID_VideoRenderer, &VideoRendererFilter::CreateInstance, nullptr,
     nullptr},
};

FilterRecord VideoRendererRecord() {
    return {MERIT_PREFERRED,
            {MakeRegisteredPin(u"Input", false, true, {{MEDIATYPE_Video, MEDIASUBTYPE_RGB32}})}};
}

}  // namespace

void RegisterVideoRendererClass() {
    CClassFactory::RegisterBuiltIn(kTemplates, static_cast<int>(std::size(kTemplates)));
}

HRESULT WriteVideoRendererRegistration() {
    return WriteFilterRegistration(CLSID_LegacyAmFilterCategory,
                                   FilterRegistry::GuidText(CLSID_VideoRenderer),
                                   CLSID_VideoRenderer, kVideoRendererName, VideoRendererRecord());
}
