// A stretched stream over a test signal written to a temporary WAV, with its own event list
// installed as the process's list for the test's duration.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "tests/support/BareStretch.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

class StreamFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kRate = 44100;
    static constexpr uint16_t kChannels = 2;
    static constexpr uint32_t kFrameBytes = 4;
    static constexpr uint32_t kBytesPerSecond = kRate * kFrameBytes;

    void SetUp() override {
        m_previous_list = CurrentEventList();
        SetCurrentEventList(&head);
    }

    void TearDown() override {
        delete head;
        head = nullptr;
        SetCurrentEventList(m_previous_list);
    }

    // Writes `seconds` of test signal and opens the stream on it.
    void OpenSignal(double seconds, uint16_t channels = kChannels) {
        samples = TestSignal(static_cast<uint32_t>(seconds * kRate), channels, kRate);
        path = dir.File("source.wav");
        WavFileBuilder().Channels(channels).Rate(kRate).Samples(samples).Write(path);
        ASSERT_TRUE(stream.Open(path.c_str()));
    }

    StretchEvent* AddEvent(float movie_pos, float stretch) {
        return new StretchEvent(movie_pos, stretch, &head);
    }

    // Everything the stream yields from its current position until the source ends.
    std::vector<uint8_t> ReadToEnd(uint32_t piece = 1 << 20) {
        std::vector<uint8_t> all;
        std::vector<uint8_t> buffer(piece);
        for (;;) {
            const uint32_t got = stream.Read(buffer.data(), piece);
            all.insert(all.end(), buffer.begin(), buffer.begin() + got);
            if (got < piece) return all;
        }
    }

    // The reference output for the signal from `first_frame` on, at one stretch.
    std::vector<uint8_t> Bare(float stretch, size_t first_frame = 0,
                              uint16_t channels = kChannels) {
        std::vector<int16_t> tail(samples.begin() + static_cast<ptrdiff_t>(first_frame * channels),
                                  samples.end());
        return BareStretch(tail, channels, kRate, stretch);
    }

    TempDir dir;
    std::string path;
    std::vector<int16_t> samples;
    StretchEvent* head = nullptr;
    StretchedWaveStream stream;

private:
    StretchEvent** m_previous_list = nullptr;
};
