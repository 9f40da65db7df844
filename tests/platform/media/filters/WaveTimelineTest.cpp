#include "platform/media/filters/WaveTimeline.h"

#include <gtest/gtest.h>

namespace {

// 16-bit stereo at 44,100 Hz, samples starting at byte 44, ten seconds of them.
WaveTimeline CdTimeline() {
    return WaveTimeline(44, 1764000, 176400, 4);
}

TEST(WaveTimeline, duration_comes_from_the_data_size_and_byte_rate) {
    EXPECT_EQ(CdTimeline().Duration(), 100000000);
    EXPECT_EQ(WaveTimeline(0, 3, 8000, 1).Duration(), 3750);  // 3 bytes at 8 kB/s
}

TEST(WaveTimeline, start_byte_falls_on_the_block_grid_at_or_before_the_time) {
    const WaveTimeline timeline = CdTimeline();
    EXPECT_EQ(timeline.StartByte(15000000), 44 + 264600);
    // 1 ms is 176.4 bytes: block 44 (176 bytes) holds it.
    EXPECT_EQ(timeline.StartByte(10000), 44 + 176);
    EXPECT_EQ(timeline.StartByte(-5), 44);
    EXPECT_EQ(timeline.StartByte(500000000), timeline.DataEnd());
}

TEST(WaveTimeline, stop_byte_rounds_up_to_the_grid_and_stays_in_the_data) {
    const WaveTimeline timeline = CdTimeline();
    EXPECT_EQ(timeline.StopByte(10000), 44 + 180);
    EXPECT_EQ(timeline.StopByte(15000000), 44 + 264600);
    EXPECT_EQ(timeline.StopByte(INT64_MAX), timeline.DataEnd());
}

TEST(WaveTimeline, a_data_size_off_the_grid_ends_at_the_data_end) {
    const WaveTimeline timeline(10, 1003, 4000, 4);  // a torn last block
    EXPECT_EQ(timeline.StopByte(timeline.Duration()), 1013);
    EXPECT_EQ(timeline.StartByte(timeline.Duration()), 1010);  // the last whole block
    EXPECT_EQ(timeline.StartByte(2500000), 10 + 1000);
}

TEST(WaveTimeline, time_of_bytes_is_exact_for_long_files) {
    // Three hours of 24-bit 8-channel 96 kHz audio: no overflow on the way.
    const int64_t rate = 96000LL * 24;
    const WaveTimeline timeline(0, rate * 3 * 3600, static_cast<uint32_t>(rate), 24);
    EXPECT_EQ(timeline.TimeOfBytes(rate * 3 * 3600), 3LL * 3600 * 10000000);
    EXPECT_EQ(timeline.StartByte(3LL * 3600 * 10000000 - 10000000), rate * (3 * 3600 - 1));
}

TEST(WaveTimeline, chunks_are_about_a_quarter_second_of_whole_blocks) {
    EXPECT_EQ(CdTimeline().ChunkBytes(), 44100);
    EXPECT_EQ(WaveTimeline(0, 100, 22050, 2).ChunkBytes() % 2, 0);
    // A block bigger than a quarter second still makes one whole block per chunk.
    EXPECT_EQ(WaveTimeline(0, 100, 1000, 2048).ChunkBytes(), 2048);
}

TEST(WaveTimeline, an_empty_timeline_is_invalid_and_answers_zero) {
    const WaveTimeline timeline;
    EXPECT_FALSE(timeline.IsValid());
    EXPECT_EQ(timeline.Duration(), 0);
    EXPECT_EQ(timeline.ChunkBytes(), 0);
}

}  // namespace
