// TimerAudioDevice: stands in for a sound card when none can be opened. Its thread calls the
// fill function every 10 ms with the frames that real time says a device would have played,
// so the renderer, its clock and end of stream behave as with hardware; the sound is dropped.
// Order of use: Open, Start / Pause, Lock / Unlock, destroy (joins the thread).
// Threading: see AudioDevice.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/media/filters/AudioDevice.h"

class TimerAudioDevice final : public AudioDevice {
public:
    static std::unique_ptr<TimerAudioDevice> Open(const AudioDeviceFormat& format,
                                                  FillFunction fill, void* context);
    ~TimerAudioDevice() override;

    void Start() override;
    void Pause() override;
    void Lock() override;
    void Unlock() override;
    bool IsHardware() const override { return false; }

private:
    using Clock = std::chrono::steady_clock;

    TimerAudioDevice() = default;
    void Run();
    // Under m_state_mutex: the frames due since the last tick, at most one buffer.
    int FramesDue(Clock::time_point now);

    FillFunction m_fill = nullptr;
    void* m_context = nullptr;
    int m_rate = 0;
    int m_frame_bytes = 0;
    std::vector<uint8_t> m_buffer;  // one tick's worth, made at Open

    // Held around every call of the fill function.
    std::mutex m_fill_mutex;

    std::mutex m_state_mutex;
    std::condition_variable m_wake;
    bool m_playing = false;
    bool m_quit = false;
    Clock::time_point m_started;
    int64_t m_frames_done = 0;  // since m_started

    std::thread m_thread;
};
