#include "platform/media/filters/TimerAudioDevice.h"

#include <algorithm>

namespace {

constexpr auto kTick = std::chrono::milliseconds(10);
// Frames handed over per call at most: 40 ms, so a late tick catches up in a few calls.
constexpr int kMaxTicksPerCall = 4;

}  // namespace

std::unique_ptr<TimerAudioDevice> TimerAudioDevice::Open(const AudioDeviceFormat& format,
                                                         FillFunction fill, void* context) {
    std::unique_ptr<TimerAudioDevice> device(new TimerAudioDevice);
    device->m_fill = fill;
    device->m_context = context;
    device->m_rate = format.rate;
    device->m_frame_bytes = format.channels * format.bits / 8;
    const int frames_per_call = std::max(1, format.rate / 100) * kMaxTicksPerCall;
    device->m_buffer.resize(static_cast<size_t>(frames_per_call * device->m_frame_bytes));
    device->m_thread = std::thread(&TimerAudioDevice::Run, device.get());
    return device;
}

TimerAudioDevice::~TimerAudioDevice() {
    {
        std::lock_guard<std::mutex> lock(m_state_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void TimerAudioDevice::Start() {
    {
        std::lock_guard<std::mutex> lock(m_state_mutex);
        if (m_playing) return;
        m_playing = true;
        m_started = Clock::now();
        m_frames_done = 0;
    }
    m_wake.notify_all();
}

void TimerAudioDevice::Pause() {
    {
        std::lock_guard<std::mutex> lock(m_state_mutex);
        m_playing = false;
    }
    // As with SDL: once Pause returns, the fill function is not running.
    std::lock_guard<std::mutex> fill(m_fill_mutex);
}

void TimerAudioDevice::Lock() {
    m_fill_mutex.lock();
}

void TimerAudioDevice::Unlock() {
    m_fill_mutex.unlock();
}

int TimerAudioDevice::FramesDue(Clock::time_point now) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - m_started);
    const int64_t due = elapsed.count() * m_rate / 1000000 - m_frames_done;
    const int64_t most = static_cast<int64_t>(m_buffer.size()) / m_frame_bytes;
    const int frames = static_cast<int>(std::clamp<int64_t>(due, 0, most));
    m_frames_done += frames;
    return frames;
}

void TimerAudioDevice::Run() {
    std::unique_lock<std::mutex> state(m_state_mutex);
    while (!m_quit) {
        if (!m_playing) {
            m_wake.wait(state, [this] { return m_quit || m_playing; });
            continue;
        }
        const int frames = FramesDue(Clock::now());
        if (frames > 0) {
            state.unlock();
            {
                std::lock_guard<std::mutex> fill(m_fill_mutex);
                m_fill(m_context, m_buffer.data(), frames * m_frame_bytes);
            }
            state.lock();
            continue;
        }
        m_wake.wait_for(state, kTick, [this] { return m_quit || !m_playing; });
    }
}
