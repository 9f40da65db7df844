#include "platform/media/filters/SdlAudioDevice.h"

#include <mutex>

#include <SDL2/SDL.h>

namespace {

// SDL's init and quit counts are not thread-safe.
std::mutex& SubsystemMutex() {
    static std::mutex mutex;
    return mutex;
}

// About 20 ms of frames, a power of two as SDL prefers.
Uint16 BufferFrames(int rate) {
    Uint16 frames = 256;
    while (frames < 4096 && frames < rate / 50)
        frames = static_cast<Uint16>(frames * 2);
    return frames;
}

}  // namespace

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::Open(const AudioDeviceFormat& format,
                                                     FillFunction fill, void* context) {
    std::unique_ptr<SdlAudioDevice> device(new SdlAudioDevice);
    device->m_fill = fill;
    device->m_context = context;

    SDL_AudioSpec wanted{};
    wanted.freq = format.rate;
    wanted.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = BufferFrames(format.rate);
    wanted.callback = &SdlAudioDevice::Callback;
    wanted.userdata = device.get();

    std::lock_guard<std::mutex> lock(SubsystemMutex());
    // The application keeps its own signal handling.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the device wants behind the callback.
    device->m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device->m_device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    return device;
}

SdlAudioDevice::~SdlAudioDevice() {
    if (m_device == 0) return;
    std::lock_guard<std::mutex> lock(SubsystemMutex());
    SDL_CloseAudioDevice(m_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::Start() {
    SDL_PauseAudioDevice(m_device, 0);
}

void SdlAudioDevice::Pause() {
    SDL_PauseAudioDevice(m_device, 1);
}

void SdlAudioDevice::Lock() {
    SDL_LockAudioDevice(m_device);
}

void SdlAudioDevice::Unlock() {
    SDL_UnlockAudioDevice(m_device);
}

void SdlAudioDevice::Callback(void* self, Uint8* stream, int len) {
    auto* device = static_cast<SdlAudioDevice*>(self);
    device->m_fill(device->m_context, stream, len);
}
