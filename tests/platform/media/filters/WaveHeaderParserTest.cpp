#include "platform/media/filters/WaveHeaderParser.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/WavFileBuilder.h"

namespace {

// Parses an image held in memory, as a reader that stops at its end would serve it.
bool ParseImage(const std::vector<uint8_t>& image, WaveLayout* layout) {
    const auto read = [&image](int64_t position, uint32_t length, uint8_t* buffer) {
        if (position < 0 || position + length > static_cast<int64_t>(image.size())) return false;
        std::memcpy(buffer, image.data() + position, length);
        return true;
    };
    return WaveHeaderParser::Parse(read, static_cast<int64_t>(image.size()), layout);
}

uint16_t FormatWord(const WaveLayout& layout, size_t at) {
    return static_cast<uint16_t>(layout.format[at] | (layout.format[at + 1] << 8));
}

TEST(WaveHeaderParser, finds_format_and_samples_of_a_plain_file) {
    const auto image = WavFileBuilder().Channels(2).Rate(22050).Samples({1, 2, 3, 4}).Bytes();
    WaveLayout layout;
    ASSERT_TRUE(ParseImage(image, &layout));
    EXPECT_EQ(layout.data_offset, 44);
    EXPECT_EQ(layout.data_size, 8);
    ASSERT_GE(layout.format.size(), 16u);
    EXPECT_EQ(FormatWord(layout, 0), 1);  // PCM
    EXPECT_EQ(FormatWord(layout, 2), 2);  // channels
}

TEST(WaveHeaderParser, skips_other_chunks_and_their_padding) {
    const auto image = WavFileBuilder()
                           .ChunkBeforeData("LIST", {1, 2, 3})  // odd: one pad byte
                           .Samples({7, 8})
                           .ChunkAfterData("junk", {9})
                           .Bytes();
    WaveLayout layout;
    ASSERT_TRUE(ParseImage(image, &layout));
    EXPECT_EQ(layout.data_size, 4);
    int16_t first = 0;
    std::memcpy(&first, image.data() + layout.data_offset, 2);
    EXPECT_EQ(first, 7);
}

TEST(WaveHeaderParser, data_size_that_claims_too_much_ends_at_the_image_end) {
    const auto image =
        WavFileBuilder().Samples({1, 2, 3, 4, 5, 6}).DeclaredDataSize(1000000).Bytes();
    WaveLayout layout;
    ASSERT_TRUE(ParseImage(image, &layout));
    EXPECT_EQ(layout.data_size, static_cast<int64_t>(image.size()) - layout.data_offset);
}

TEST(WaveHeaderParser, keeps_an_extended_format_record_whole) {
    const auto image = WavFileBuilder().Extensible(true).Samples({1, 2}).Bytes();
    WaveLayout layout;
    ASSERT_TRUE(ParseImage(image, &layout));
    EXPECT_EQ(layout.format.size(), 40u);
    EXPECT_EQ(FormatWord(layout, 0), 0xFFFE);
}

TEST(WaveHeaderParser, rejects_broken_images) {
    WaveLayout layout;
    EXPECT_FALSE(ParseImage({}, &layout));
    EXPECT_FALSE(ParseImage(WavFileBuilder().FormType("AVI ").Samples({1}).Bytes(), &layout));
    EXPECT_FALSE(ParseImage(WavFileBuilder().OmitFormat().Samples({1}).Bytes(), &layout));
    EXPECT_FALSE(ParseImage(WavFileBuilder().OmitData().Bytes(), &layout));
    EXPECT_FALSE(ParseImage(WavFileBuilder().FormatChunkSize(12).Samples({1}).Bytes(), &layout));
    auto text = std::vector<uint8_t>(64, 'x');
    EXPECT_FALSE(ParseImage(text, &layout));
}

TEST(WaveHeaderParser, format_chunk_running_past_the_end_fails) {
    auto image = WavFileBuilder().Samples({1, 2}).Bytes();
    image.resize(30);  // cut inside the format record
    WaveLayout layout;
    EXPECT_FALSE(ParseImage(image, &layout));
}

TEST(WaveHeaderParser, samples_before_the_format_are_still_found) {
    // A data chunk first, then the format: legal RIFF, rare in practice.
    std::vector<uint8_t> image = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                  'd', 'a', 't', 'a', 4, 0, 0, 0, 1,   0,   2,   0};
    const auto plain = WavFileBuilder().RawData({}).Bytes();
    image.insert(image.end(), plain.begin() + 12, plain.begin() + 12 + 24);  // its fmt chunk
    WaveLayout layout;
    ASSERT_TRUE(ParseImage(image, &layout));
    EXPECT_EQ(layout.data_offset, 20);
    EXPECT_EQ(layout.data_size, 4);
    EXPECT_EQ(layout.format.size(), 16u);
}

TEST(WaveHeaderParser, a_failing_reader_fails_the_parse) {
    const auto never = [](int64_t, uint32_t, uint8_t*) { return false; };
    WaveLayout layout;
    EXPECT_FALSE(WaveHeaderParser::Parse(never, 1000, &layout));
    EXPECT_FALSE(WaveHeaderParser::Parse(nullptr, 1000, &layout));
}

}  // namespace
