// Makes the media framework's classes creatable with CoCreateInstance, and has its stock
// filters written to the registry on the registry's first use, in every program that links
// the framework: this file is linked whole, so the registrar runs before main.
#include "platform/media/base/MediaBaseClasses.h"
#include "platform/media/detector/MediaDetectorClass.h"
#include "platform/media/dmowrapper/DmoWrapperClasses.h"
#include "platform/media/filters/StockFilters.h"
#include "platform/media/graph/MediaGraphClasses.h"
#include "platform/media/proppage/PropertyPageClasses.h"
#include "platform/media/splitter/MovieSplitterRegistration.h"
#include "platform/media/video/VideoRendererRegistration.h"
#include "platform/registry/RegistrySetup.h"

namespace {

struct MediaFrameworkRegistrar {
    MediaFrameworkRegistrar() {
        RegisterMediaBaseClasses();
        RegisterMediaGraphClasses();
        RegisterStockFilterClasses();
        RegisterMediaDetectorClass();
        RegisterDmoWrapperClasses();
        RegisterPropertyPageClasses();
        RegisterMovieSplitterClass();
        RegisterVideoRendererClass();
        RegisterFirstUseHook([] { WriteStockFilterRegistrations(); });
        RegisterFirstUseHook([] { WriteDmoRegistrations(); });
        RegisterFirstUseHook([] { WriteMovieSplitterRegistration(); });
        RegisterFirstUseHook([] { WriteVideoRendererRegistration(); });
    }
};

const MediaFrameworkRegistrar g_registrar;

}  // namespace
