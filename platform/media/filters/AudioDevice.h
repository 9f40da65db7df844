// AudioDevice: the output the audio renderer plays into. The device pulls: its thread calls
// the fill function with a buffer to fill completely (silence where nothing is queued).
// Open picks the default SDL output device, and falls back to a timer that consumes at the
// same real-time pace when no device can be opened, so a graph never waits on missing
// hardware.
// Order of use: Open (starts paused), then Start / Pause any number of times, Lock / Unlock
// around anything the fill function must not see half done; destroying closes the device
// after its thread has left the fill function.
// Threading: control calls from one thread at a time; the fill function runs on the device's
// own thread and must not allocate, block or log.
#pragma once

#include <cstdint>
#include <memory>

struct AudioDeviceFormat {
    int rate = 0;      // frames per second
    int channels = 0;  // 1..8
    int bits = 0;      // 8 (unsigned) or 16 (signed little-endian)
};

class AudioDevice {
public:
    using FillFunction = void (*)(void* context, uint8_t* buffer, int bytes);

    virtual ~AudioDevice() = default;

    // The SDL device, or the timer when none opens; null only for a format neither takes.
    static std::unique_ptr<AudioDevice> Open(const AudioDeviceFormat& format, FillFunction fill,
                                             void* context);

    virtual void Start() = 0;
    // Returns once the fill function has stopped running.
    virtual void Pause() = 0;
    // Keeps the fill function from running until Unlock.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Whether real hardware (or an SDL driver) plays the sound, rather than the timer.
    virtual bool IsHardware() const = 0;

protected:
    AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;
};

// True for a format both devices can play.
bool IsPlayableAudioFormat(const AudioDeviceFormat& format);
