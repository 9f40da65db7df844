#include "platform/media/detector/MediaDetectorClass.h"

#include "platform/com/BuiltInClasses.h"
#include "platform/media/detector/MediaDetector.h"
#include "platform/media/uuids.h"

void RegisterMediaDetectorClass() {
    RegisterBuiltInCreator(CLSID_MediaDet, &MediaDetector::CreateInstance);
}
