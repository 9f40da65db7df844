#include "platform/media/filters/WaveMediaType.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

namespace {

std::vector<uint8_t> Record(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                            size_t size = 16) {
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    WAVEFORMATEX wave{tag, channels, rate, rate * block, block, bits, 0};
    std::vector<uint8_t> bytes(sizeof wave);
    std::memcpy(bytes.data(), &wave, sizeof wave);
    bytes.resize(size, 0);
    return bytes;
}

WAVEFORMATEX FormatOf(const CMediaType& type) {
    WAVEFORMATEX wave{};
    std::memcpy(&wave, type.Format(), sizeof wave);
    return wave;
}

TEST(WaveMediaType, pcm_record_becomes_audio_pcm_with_a_complete_waveformatex) {
    CMediaType type;
    ASSERT_TRUE(WaveMediaType::FromFormatChunk(Record(1, 2, 44100, 16), &type));
    EXPECT_EQ(*type.Type(), MEDIATYPE_Audio);
    EXPECT_EQ(*type.Subtype(), MEDIASUBTYPE_PCM);
    EXPECT_EQ(*type.FormatType(), FORMAT_WaveFormatEx);
    ASSERT_EQ(type.FormatLength(), sizeof(WAVEFORMATEX));
    const WAVEFORMATEX wave = FormatOf(type);
    EXPECT_EQ(wave.nChannels, 2);
    EXPECT_EQ(wave.nBlockAlign, 4);
    EXPECT_EQ(wave.cbSize, 0);
    EXPECT_EQ(type.GetSampleSize(), 4u);
}

TEST(WaveMediaType, other_tags_name_their_own_subtype) {
    CMediaType type;
    ASSERT_TRUE(WaveMediaType::FromFormatChunk(Record(0x55, 2, 44100, 16), &type));
    GUID mp3 = MEDIASUBTYPE_PCM;
    mp3.Data1 = 0x55;
    EXPECT_EQ(*type.Subtype(), mp3);
}

TEST(WaveMediaType, extensible_record_takes_its_sub_format_and_keeps_its_extra_bytes) {
    std::vector<uint8_t> record = Record(WAVE_FORMAT_EXTENSIBLE, 2, 48000, 16, 40);
    record[16] = 22;  // cbSize
    std::memcpy(record.data() + 24, &MEDIASUBTYPE_IEEE_FLOAT, sizeof(GUID));
    CMediaType type;
    ASSERT_TRUE(WaveMediaType::FromFormatChunk(record, &type));
    EXPECT_EQ(*type.Subtype(), MEDIASUBTYPE_IEEE_FLOAT);
    EXPECT_EQ(type.FormatLength(), 40u);
}

TEST(WaveMediaType, cb_size_that_claims_more_than_the_chunk_is_cut_to_it) {
    std::vector<uint8_t> record = Record(2, 1, 8000, 8, 20);
    record[16] = 0xFF;  // claims 255 extra bytes, 2 follow
    CMediaType type;
    ASSERT_TRUE(WaveMediaType::FromFormatChunk(record, &type));
    EXPECT_EQ(type.FormatLength(), 20u);
    EXPECT_EQ(FormatOf(type).cbSize, 2);
}

TEST(WaveMediaType, records_that_describe_no_stream_are_refused) {
    CMediaType type;
    EXPECT_FALSE(WaveMediaType::FromFormatChunk(Record(1, 0, 44100, 16), &type));
    EXPECT_FALSE(WaveMediaType::FromFormatChunk(Record(1, 2, 0, 16), &type));
    EXPECT_FALSE(WaveMediaType::FromFormatChunk(Record(1, 2, 44100, 0), &type));  // no block
    EXPECT_FALSE(WaveMediaType::FromFormatChunk(std::vector<uint8_t>(12, 1), &type));
    EXPECT_FALSE(type.IsValid());
}

}  // namespace
