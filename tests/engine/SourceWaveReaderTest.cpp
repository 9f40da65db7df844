#include "engine/SourceWaveReader.h"

#include <vector>

#include <gtest/gtest.h>

#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

class SourceWaveReaderTest : public ::testing::Test {
protected:
    // Writes the file and opens it; the prompt records any message instead of showing it.
    bool OpenBuilt(const WavFileBuilder& builder) {
        const std::string path = dir.File("source.wav");
        builder.Write(path);
        return reader.Open(path.c_str());
    }

    TempDir dir;
    RecordingUserPrompt prompt;
    SourceWaveReader reader;
};

TEST_F(SourceWaveReaderTest, canonical_file_starts_its_samples_at_byte_44) {
    ASSERT_TRUE(OpenBuilt(WavFileBuilder().Samples(TestSignal(100, 2, 44100))));
    EXPECT_EQ(reader.DataOffset(), 44u);
    EXPECT_EQ(reader.DataLength(), 400u);
    EXPECT_EQ(reader.Position(), 44);
    EXPECT_EQ(reader.Format().nChannels, 2);
    EXPECT_EQ(reader.Format().nSamplesPerSec, 44100u);
    EXPECT_EQ(reader.Format().nBlockAlign, 4);
    EXPECT_EQ(reader.Format().cbSize, 18);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(SourceWaveReaderTest, chunks_between_format_and_data_are_skipped) {
    ASSERT_TRUE(OpenBuilt(WavFileBuilder()
                              .ChunkBeforeData("LIST", std::vector<uint8_t>(13, 'x'))
                              .ChunkBeforeData("fact", {1, 2, 3, 4})
                              .Samples({1, 2, 3, 4})));
    EXPECT_EQ(reader.DataOffset(), 44u + 8 + 14 + 8 + 4);  // the odd chunk is padded
    int16_t samples[4] = {};
    EXPECT_EQ(reader.Read(samples, sizeof samples), 8);
    EXPECT_EQ(samples[3], 4);
}

TEST_F(SourceWaveReaderTest, files_that_are_not_wave_fail_without_a_message) {
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().FormType("AVI ").Samples({1, 2})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().OmitFormat().Samples({1, 2})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().OmitData()));
    EXPECT_FALSE(reader.Open(dir.File("missing.wav").c_str()));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(SourceWaveReaderTest, failures_say_why_and_tell_the_user_nothing) {
    using Error = SourceWaveReader::OpenError;
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Samples({1, 2}).DeclaredDataSize(0x80000000u)));
    EXPECT_EQ(reader.LastError(), Error::TooLong);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.Open(dir.File("missing.wav").c_str()));
    EXPECT_EQ(reader.LastError(), Error::CannotOpen);
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().FormType("AVI ")));
    EXPECT_EQ(reader.LastError(), Error::NotWave);
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Bits(8).Samples({0})));
    EXPECT_EQ(reader.LastError(), Error::UnsupportedFormat);
    EXPECT_TRUE(OpenBuilt(WavFileBuilder().Samples({1, 2})));
    EXPECT_EQ(reader.LastError(), Error::None);
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(SourceWaveReaderTest, only_16_bit_pcm_with_one_to_eight_channels_is_accepted) {
    for (uint16_t channels = 1; channels <= 8; ++channels) {
        EXPECT_TRUE(OpenBuilt(WavFileBuilder().Channels(channels).Samples({0, 0})))
            << channels << " channels";
    }
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Channels(0).BlockAlign(2).Samples({0})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Channels(9).Samples({0})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Channels(16).Samples({0})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Bits(8).Samples({0})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Bits(24).Samples({0})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Tag(3).Bits(32).Samples({0})));  // float
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Tag(2).Samples({0})));           // ADPCM
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().BlockAlign(6).Samples({0})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Rate(0).Samples({0})));
}

TEST_F(SourceWaveReaderTest, extensible_records_are_accepted_only_with_a_pcm_sub_format) {
    ASSERT_TRUE(OpenBuilt(WavFileBuilder().Extensible(true).Samples({5, 6})));
    EXPECT_EQ(reader.Format().wFormatTag, 0xFFFE);
    EXPECT_EQ(reader.Format().cbSize, 18);  // the record keeps 18 bytes, whatever the chunk
    EXPECT_EQ(reader.DataOffset(), 12u + 8 + 40 + 8);
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Extensible(false).Samples({5, 6})));
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().Extensible(true).FormatChunkSize(24).Samples({5})));
}

TEST_F(SourceWaveReaderTest, format_chunk_sizes_are_checked) {
    EXPECT_TRUE(OpenBuilt(WavFileBuilder().FormatChunkSize(18).Samples({1, 2})));
    EXPECT_TRUE(OpenBuilt(WavFileBuilder().FormatChunkSize(1000).Samples({1, 2})));
    EXPECT_EQ(reader.DataOffset(), 12u + 8 + 1000 + 8);
    EXPECT_FALSE(OpenBuilt(WavFileBuilder().FormatChunkSize(14).Samples({1, 2})));
    // A format chunk claiming more bytes than the file has.
    std::vector<uint8_t> bytes = WavFileBuilder().Samples({1, 2}).Bytes();
    bytes[16] = 0xFF;
    bytes[17] = 0xFF;
    bytes[18] = 0xFF;
    bytes[19] = 0x7F;
    const std::string path = dir.File("lying.wav");
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    EXPECT_FALSE(reader.Open(path.c_str()));
}

TEST_F(SourceWaveReaderTest, samples_end_at_the_data_chunk_or_the_file) {
    ASSERT_TRUE(OpenBuilt(WavFileBuilder()
                              .Samples({1, 2, 3, 4})
                              .ChunkAfterData("LIST", std::vector<uint8_t>(64, 'z'))));
    std::vector<uint8_t> buffer(256);
    EXPECT_EQ(reader.Read(buffer.data(), 256), 8);  // tags after the samples are not audio
    EXPECT_EQ(reader.Read(buffer.data(), 256), 0);

    // A data size that promises more than the file holds: read to the end of the file.
    ASSERT_TRUE(OpenBuilt(WavFileBuilder().Samples({1, 2, 3, 4}).DeclaredDataSize(100000)));
    EXPECT_EQ(reader.DataLength(), 100000u);
    EXPECT_EQ(reader.Read(buffer.data(), 256), 8);
    EXPECT_EQ(reader.Read(buffer.data(), 256), 0);
}

TEST_F(SourceWaveReaderTest, opening_again_replaces_the_file) {
    ASSERT_TRUE(OpenBuilt(WavFileBuilder().Channels(1).Rate(8000).Samples({1, 2})));
    const std::string other = dir.File("other.wav");
    WavFileBuilder().Channels(2).Rate(48000).Samples({1, 2, 3, 4}).Write(other);
    ASSERT_TRUE(reader.Open(other.c_str()));
    EXPECT_EQ(reader.Format().nSamplesPerSec, 48000u);
    EXPECT_EQ(reader.DataLength(), 8u);
}

}  // namespace
