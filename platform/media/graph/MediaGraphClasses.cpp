#include "platform/media/graph/MediaGraphClasses.h"

#include "platform/com/BuiltInClasses.h"
#include "platform/media/clock/CSystemClock.h"
#include "platform/media/graph/FilterGraph.h"
#include "platform/media/graph/FilterMapper.h"
#include "platform/media/uuids.h"

void RegisterMediaGraphClasses() {
    RegisterBuiltInCreator(CLSID_FilterGraph, &FilterGraph::CreateInstance);
    // The graph has no thread of its own in either case.
    RegisterBuiltInCreator(CLSID_FilterGraphNoThread, &FilterGraph::CreateInstance);
    RegisterBuiltInCreator(CLSID_FilterMapper2, &FilterMapper::CreateInstance);
    RegisterBuiltInCreator(CLSID_FilterMapper, &FilterMapper::CreateInstance);
    RegisterBuiltInCreator(CLSID_SystemClock, &CSystemClock::CreateInstance);
}
