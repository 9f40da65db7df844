#include "platform/media/filters/AudioRingBuffer.h"

#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Counting(size_t count, uint8_t first = 0) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

TEST(AudioRingBuffer, refuses_nonsense_sizes) {
    AudioRingBuffer ring;
    EXPECT_FALSE(ring.Allocate(0, 4));
    EXPECT_FALSE(ring.Allocate(16, 0));
    EXPECT_FALSE(ring.Allocate(2, 4));
    EXPECT_EQ(ring.Write(Counting(4).data(), 4), 0u);
}

TEST(AudioRingBuffer, capacity_rounds_up_to_whole_frames) {
    AudioRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(10, 4));
    EXPECT_EQ(ring.Capacity(), 12u);
}

TEST(AudioRingBuffer, takes_only_what_fits_and_keeps_order_across_the_wrap) {
    AudioRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(8, 1));
    const auto first = Counting(6);
    EXPECT_EQ(ring.Write(first.data(), first.size()), 6u);
    uint8_t out[8] = {};
    ASSERT_EQ(ring.Read(out, 4), 4u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), Counting(4));

    const auto second = Counting(10, 6);
    EXPECT_EQ(ring.Write(second.data(), second.size()), 6u);  // 2 queued, 6 free
    EXPECT_EQ(ring.Free(), 0u);
    ASSERT_EQ(ring.Read(out, 8), 8u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 8), Counting(8, 4));
    EXPECT_EQ(ring.Queued(), 0u);
}

TEST(AudioRingBuffer, reads_whole_frames_only) {
    AudioRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(16, 4));
    const auto bytes = Counting(6);
    ASSERT_EQ(ring.Write(bytes.data(), bytes.size()), 6u);
    uint8_t out[16] = {};
    EXPECT_EQ(ring.Read(out, 16), 4u);
    EXPECT_EQ(ring.Read(out, 16), 0u);  // two bytes of a frame wait for the rest
    const auto rest = Counting(2, 6);
    ASSERT_EQ(ring.Write(rest.data(), rest.size()), 2u);
    ASSERT_EQ(ring.Read(out, 16), 4u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), Counting(4, 4));
}

TEST(AudioRingBuffer, clear_drops_everything_queued) {
    AudioRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(8, 2));
    const auto bytes = Counting(6);
    ring.Write(bytes.data(), bytes.size());
    ring.Clear();
    EXPECT_EQ(ring.Queued(), 0u);
    uint8_t out[8];
    EXPECT_EQ(ring.Read(out, 8), 0u);
    EXPECT_EQ(ring.Write(bytes.data(), bytes.size()), 6u);
}

TEST(AudioRingBuffer, producer_and_consumer_threads_pass_every_byte_in_order) {
    AudioRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(1000, 4));
    constexpr size_t kTotal = 1 << 20;
    std::vector<uint8_t> source(kTotal);
    for (size_t i = 0; i < kTotal; ++i)
        source[i] = static_cast<uint8_t>(i * 7 + (i >> 9));

    std::thread producer([&] {
        size_t sent = 0;
        while (sent < kTotal) {
            sent += ring.Write(source.data() + sent, std::min<size_t>(333, kTotal - sent));
            if (ring.Free() == 0) std::this_thread::yield();
        }
    });
    std::vector<uint8_t> received;
    received.reserve(kTotal);
    uint8_t chunk[512];
    while (received.size() < kTotal) {
        const size_t got = ring.Read(chunk, sizeof chunk);
        received.insert(received.end(), chunk, chunk + got);
        if (got == 0) std::this_thread::yield();
    }
    producer.join();
    EXPECT_EQ(received, source);
}

}  // namespace
