#include "platform/media/filters/AudioPlayback.h"

#include <chrono>
#include <cmath>
#include <future>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/media/filters/FilterTestFixture.h"
#include "tests/platform/media/filters/ScopedEnvironment.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

constexpr AudioDeviceFormat kStereo{8000, 2, 16};

std::vector<int16_t> Ramp(size_t frames, int channels) {
    std::vector<int16_t> samples(frames * channels);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i % 30000 + 1);
    return samples;
}

const uint8_t* BytesOf(const std::vector<int16_t>& samples) {
    return reinterpret_cast<const uint8_t*>(samples.data());
}

class AudioPlaybackTest : public ::testing::Test {
protected:
    // Plays into a file through SDL's disk driver.
    void UseDisk() {
        m_environment.Set("SDL_AUDIODRIVER", "disk");
        m_environment.Set("SDL_DISKAUDIOFILE", Capture());
    }
    void UseNoDevice() { m_environment.Set("SDL_AUDIODRIVER", "no-such-driver"); }
    std::string Capture() const { return m_dir.File("capture.raw"); }

    TempDir m_dir;
    ScopedEnvironment m_environment;
    AudioPlayback m_playback;
};

TEST_F(AudioPlaybackTest, refuses_a_format_it_cannot_play) {
    EXPECT_FALSE(m_playback.Open({44100, 2, 24}));
    EXPECT_FALSE(m_playback.IsOpen());
    EXPECT_FALSE(m_playback.Write(BytesOf(Ramp(10, 2)), 40));
}

TEST_F(AudioPlaybackTest, plays_exactly_the_bytes_written_in_order) {
    UseDisk();
    const std::vector<int16_t> samples = Ramp(5000, 2);  // more than the ring holds
    ASSERT_TRUE(m_playback.Open(kStereo));
    EXPECT_TRUE(m_playback.IsHardware());
    m_playback.Start(0);
    ASSERT_TRUE(m_playback.Write(BytesOf(samples), samples.size() * 2));
    ASSERT_TRUE(WaitUntil([&] { return m_playback.IsDrained(); }));
    EXPECT_EQ(m_playback.FramesPlayed(), 5000);
    m_playback.Close();
    EXPECT_EQ(NonSilentSamples(ReadFileBytes(Capture()), 2), samples);
}

TEST_F(AudioPlaybackTest, a_paused_device_takes_nothing_and_resumes_where_it_stopped) {
    UseDisk();
    const std::vector<int16_t> samples = Ramp(3000, 2);
    ASSERT_TRUE(m_playback.Open(kStereo));
    ASSERT_TRUE(m_playback.Write(BytesOf(samples), samples.size() * 2));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(m_playback.FramesPlayed(), 0);
    m_playback.Start(0);
    ASSERT_TRUE(WaitUntil([&] { return m_playback.FramesPlayed() > 0; }));
    m_playback.Pause();
    const int64_t played = m_playback.FramesPlayed();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(m_playback.FramesPlayed(), played);
    m_playback.Start(0);
    ASSERT_TRUE(WaitUntil([&] { return m_playback.IsDrained(); }));
    m_playback.Close();
    EXPECT_EQ(NonSilentSamples(ReadFileBytes(Capture()), 2), samples);
}

TEST_F(AudioPlaybackTest, lead_silence_is_played_before_the_first_sample) {
    UseNoDevice();
    ASSERT_TRUE(m_playback.Open(kStereo));
    EXPECT_FALSE(m_playback.IsHardware());
    const std::vector<int16_t> samples = Ramp(100, 2);
    ASSERT_TRUE(m_playback.Write(BytesOf(samples), samples.size() * 2));
    m_playback.Start(8000);  // a whole second of silence first
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_playback.FramesPlayed(), 0);
    EXPECT_FALSE(m_playback.IsDrained());
    m_playback.Pause();
    m_playback.Start(0);  // a new start with no lead plays at once
    EXPECT_TRUE(WaitUntil([&] { return m_playback.FramesPlayed() == 100; }));
}

TEST_F(AudioPlaybackTest, discard_drops_what_was_queued) {
    UseNoDevice();
    ASSERT_TRUE(m_playback.Open(kStereo));
    const std::vector<int16_t> samples = Ramp(2000, 2);
    ASSERT_TRUE(m_playback.Write(BytesOf(samples), samples.size() * 2));
    m_playback.CancelWrites();
    m_playback.Discard();
    m_playback.AllowWrites();
    m_playback.Start(0);
    ASSERT_TRUE(WaitUntil([&] { return m_playback.IsDrained(); }));
    EXPECT_EQ(m_playback.FramesPlayed(), 0);
}

TEST_F(AudioPlaybackTest, cancel_releases_a_write_waiting_for_room) {
    UseNoDevice();
    ASSERT_TRUE(m_playback.Open(kStereo));
    const std::vector<int16_t> samples = Ramp(20000, 2);  // far more than half a second
    auto writing = std::async(
        std::launch::async, [&] { return m_playback.Write(BytesOf(samples), samples.size() * 2); });
    EXPECT_EQ(writing.wait_for(50ms), std::future_status::timeout);  // paused: no room comes
    m_playback.CancelWrites();
    ASSERT_EQ(writing.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(writing.get());
    EXPECT_FALSE(m_playback.Write(BytesOf(samples), 4));
    m_playback.Discard();  // the ring is full: make room as a flush does
    m_playback.AllowWrites();
    EXPECT_TRUE(m_playback.Write(BytesOf(samples), 4));
}

TEST_F(AudioPlaybackTest, volume_and_balance_scale_the_channels) {
    UseDisk();
    std::vector<int16_t> samples(4000 * 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = (i % 2) ? -20000 : 20000;
    ASSERT_TRUE(m_playback.Open(kStereo));
    m_playback.SetVolume(-600);     // 6 dB down: about half
    m_playback.SetBalance(-10000);  // right side off
    EXPECT_EQ(m_playback.Volume(), -600);
    EXPECT_EQ(m_playback.Balance(), -10000);
    m_playback.Start(0);
    ASSERT_TRUE(m_playback.Write(BytesOf(samples), samples.size() * 2));
    ASSERT_TRUE(WaitUntil([&] { return m_playback.IsDrained(); }));
    m_playback.Close();
    const std::vector<int16_t> played = NonSilentSamples(ReadFileBytes(Capture()), 2);
    ASSERT_EQ(played.size(), samples.size());
    const int expected_left = static_cast<int>(20000 * std::pow(10.0, -600 / 2000.0));
    EXPECT_NEAR(played[0], expected_left, 2);
    EXPECT_EQ(played[1], 0);
}

TEST_F(AudioPlaybackTest, clock_never_goes_back_and_runs_while_paused) {
    UseNoDevice();
    ASSERT_TRUE(m_playback.Open(kStereo));
    int64_t last = m_playback.ClockTime();
    const int64_t first = last;
    for (int round = 0; round < 20; ++round) {
        if (round % 2) {
            m_playback.Pause();
        } else {
            m_playback.Start(0);
        }
        for (int i = 0; i < 50; ++i) {
            const int64_t now = m_playback.ClockTime();
            ASSERT_GE(now, last) << "round " << round;
            last = now;
        }
        std::this_thread::sleep_for(3ms);
    }
    m_playback.Pause();
    const int64_t paused = m_playback.ClockTime();
    std::this_thread::sleep_for(30ms);
    EXPECT_GE(m_playback.ClockTime() - paused, 200000);  // at least 20 of the 30 ms
    EXPECT_GT(last, first);
}

}  // namespace
