// SdlAudioDevice: the default output device of SDL's audio subsystem, fed by a callback.
// The subsystem is brought up for each device and taken down with the last one, so the
// driver named by SDL_AUDIODRIVER (dummy, disk, a real one) is read again on every first open.
// Order of use: Open, Start / Pause, Lock / Unlock, destroy.
// Threading: see AudioDevice; opening and closing are serialised process-wide.
#pragma once

#include <memory>

#include <SDL2/SDL_audio.h>

#include "platform/media/filters/AudioDevice.h"

class SdlAudioDevice final : public AudioDevice {
public:
    // Null when SDL has no usable driver or device for the format.
    static std::unique_ptr<SdlAudioDevice> Open(const AudioDeviceFormat& format, FillFunction fill,
                                                void* context);
    ~SdlAudioDevice() override;

    void Start() override;
    void Pause() override;
    void Lock() override;
    void Unlock() override;
    bool IsHardware() const override { return true; }

private:
    SdlAudioDevice() = default;
    static void Callback(void* self, Uint8* stream, int len);

    SDL_AudioDeviceID m_device = 0;
    FillFunction m_fill = nullptr;
    void* m_context = nullptr;
};
