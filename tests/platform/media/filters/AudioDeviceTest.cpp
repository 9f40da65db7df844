#include "platform/media/filters/AudioDevice.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media/filters/TimerAudioDevice.h"

namespace {

using namespace std::chrono_literals;

// Plays the values 1, 2, 3, ... as 16-bit mono frames, then silence.
struct CountingSource {
    std::atomic<int> frames_given{0};
    std::atomic<int> calls{0};
    int limit = 0;

    static void Fill(void* context, uint8_t* buffer, int bytes) {
        auto* self = static_cast<CountingSource*>(context);
        self->calls.fetch_add(1);
        auto* out = reinterpret_cast<int16_t*>(buffer);
        for (int i = 0; i < bytes / 2; ++i) {
            const int next = self->frames_given.load();
            if (next < self->limit) {
                out[i] = static_cast<int16_t>(next + 1);
                self->frames_given.store(next + 1);
            } else {
                out[i] = 0;
            }
        }
    }
};

constexpr AudioDeviceFormat kMono16{8000, 1, 16};

// Polls until `done` holds, for at most five seconds.
template <typename Predicate>
bool WaitFor(Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

TEST(AudioDevice, refuses_formats_it_cannot_play) {
    CountingSource source;
    EXPECT_EQ(AudioDevice::Open({44100, 2, 24}, &CountingSource::Fill, &source), nullptr);
    EXPECT_EQ(AudioDevice::Open({44100, 9, 16}, &CountingSource::Fill, &source), nullptr);
    EXPECT_EQ(AudioDevice::Open({0, 2, 16}, &CountingSource::Fill, &source), nullptr);
    EXPECT_EQ(AudioDevice::Open(kMono16, nullptr, &source), nullptr);
}

TEST(TimerAudioDevice, consumes_while_started_and_stops_on_pause) {
    CountingSource source;
    source.limit = 1 << 30;
    auto device = TimerAudioDevice::Open(kMono16, &CountingSource::Fill, &source);
    ASSERT_NE(device, nullptr);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(source.calls.load(), 0);
    device->Start();
    ASSERT_TRUE(WaitFor([&] { return source.frames_given.load() >= 400; }));
    device->Pause();
    std::this_thread::sleep_for(20ms);  // a call under way may still end
    const int after_pause = source.frames_given.load();
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(source.frames_given.load(), after_pause);
}

TEST(TimerAudioDevice, lock_holds_off_the_fill_function) {
    CountingSource source;
    source.limit = 1 << 30;
    auto device = TimerAudioDevice::Open(kMono16, &CountingSource::Fill, &source);
    ASSERT_NE(device, nullptr);
    device->Start();
    ASSERT_TRUE(WaitFor([&] { return source.calls.load() >= 1; }));
    device->Lock();
    const int calls = source.calls.load();
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(source.calls.load(), calls);
    device->Unlock();
    EXPECT_TRUE(WaitFor([&] { return source.calls.load() > calls; }));
}

}  // namespace
