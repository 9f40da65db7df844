#include "platform/media/filters/AudioDevice.h"

#include "platform/media/filters/SdlAudioDevice.h"
#include "platform/media/filters/TimerAudioDevice.h"

bool IsPlayableAudioFormat(const AudioDeviceFormat& format) {
    return format.rate >= 1000 && format.rate <= 384000 && format.channels >= 1 &&
           format.channels <= 8 && (format.bits == 8 || format.bits == 16);
}

std::unique_ptr<AudioDevice> AudioDevice::Open(const AudioDeviceFormat& format, FillFunction fill,
                                               void* context) {
    if (!IsPlayableAudioFormat(format) || !fill) return nullptr;
    if (auto device = SdlAudioDevice::Open(format, fill, context)) return device;
    return TimerAudioDevice::Open(format, fill, context);
}
