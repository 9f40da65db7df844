#include "engine/WaveFileWriter.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(WaveFileWriter, writes_an_18_byte_format_chunk_and_fixes_up_the_sizes) {
    TempDir dir;
    const std::string path = dir.File("out.wav");
    WaveFileWriter writer;
    ASSERT_TRUE(writer.Create(path.c_str(), 2, 48000, 16));
    const uint8_t samples[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(writer.Write(samples, 8));
    EXPECT_TRUE(writer.Write(samples, 4));
    ASSERT_TRUE(writer.Close());

    const std::vector<uint8_t> b = ReadFileBytes(path);
    ASSERT_EQ(b.size(), 46u + 12);
    EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(Le32(b, 16), 18u);
    EXPECT_EQ(Le16(b, 20), 1);       // PCM
    EXPECT_EQ(Le16(b, 22), 2);       // channels
    EXPECT_EQ(Le32(b, 24), 48000u);  // rate
    EXPECT_EQ(Le32(b, 28), 192000u);
    EXPECT_EQ(Le16(b, 32), 4);   // block align
    EXPECT_EQ(Le16(b, 34), 16);  // bits
    EXPECT_EQ(Le16(b, 36), 18);  // extra size
    EXPECT_EQ(std::memcmp(b.data() + 38, "data", 4), 0);
    EXPECT_EQ(Le32(b, 42), 12u);
    EXPECT_EQ(b[46 + 8], 1);
}

TEST(WaveFileWriter, an_odd_data_chunk_is_padded_and_counted_in_the_riff_size) {
    TempDir dir;
    const std::string path = dir.File("odd.wav");
    WaveFileWriter writer;
    ASSERT_TRUE(writer.Create(path.c_str(), 1, 8000, 8));
    EXPECT_TRUE(writer.Write("abc", 3));
    ASSERT_TRUE(writer.Close());
    const std::vector<uint8_t> b = ReadFileBytes(path);
    ASSERT_EQ(b.size(), 46u + 4);
    EXPECT_EQ(Le32(b, 42), 3u);
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
}

TEST(WaveFileWriter, a_file_that_cannot_be_created_fails_cleanly) {
    TempDir dir;
    WaveFileWriter writer;
    EXPECT_FALSE(writer.Create(dir.File("missing/out.wav").c_str(), 2, 44100, 16));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.Write("ab", 2));
    EXPECT_TRUE(writer.Close());
}

}  // namespace
