#include "platform/media/base/MediaBaseClasses.h"

#include "platform/com/BuiltInClasses.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/uuids.h"

void RegisterMediaBaseClasses() {
    RegisterBuiltInCreator(CLSID_MemoryAllocator, &CMemAllocator::CreateInstance);
}
