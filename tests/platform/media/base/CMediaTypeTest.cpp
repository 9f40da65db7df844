// CMediaType: value semantics over AM_MEDIA_TYPE, comparisons and partial matching.
#include <cstring>
#include <utility>

#include <gtest/gtest.h>

#include "platform/media/base/CMediaType.h"
#include "platform/media/uuids.h"
#include "platform/mmio/mmreg.h"

namespace {

CMediaType PcmType(WORD channels) {
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    WAVEFORMATEX wave{WAVE_FORMAT_PCM,
                      channels,
                      44100,
                      44100u * 2 * channels,
                      static_cast<WORD>(2 * channels),
                      16,
                      0};
    EXPECT_TRUE(type.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof(wave)));
    return type;
}

TEST(CMediaType, starts_empty_with_fixed_one_byte_samples) {
    CMediaType type;
    EXPECT_FALSE(type.IsValid());
    EXPECT_TRUE(type.IsFixedSize());
    EXPECT_EQ(type.GetSampleSize(), 1u);
    EXPECT_EQ(type.Format(), nullptr);
    EXPECT_EQ(type.FormatLength(), 0u);
}

TEST(CMediaType, copies_are_deep_and_equal) {
    const CMediaType original = PcmType(2);
    CMediaType copy(original);
    EXPECT_NE(copy.Format(), original.Format());
    EXPECT_TRUE(copy == original);
    copy.Format()[0] ^= 0xFF;
    EXPECT_TRUE(copy != original);
}

TEST(CMediaType, assignment_replaces_the_format_block) {
    CMediaType target = PcmType(1);
    const CMediaType source = PcmType(2);
    target = source;
    EXPECT_TRUE(target == source);
    target = static_cast<const CMediaType&>(target);  // self-assignment keeps the block
    EXPECT_TRUE(target == source);
}

TEST(CMediaType, move_leaves_the_source_without_a_block) {
    CMediaType source = PcmType(2);
    const BYTE* block = source.Format();
    CMediaType moved(std::move(source));
    EXPECT_EQ(moved.Format(), block);
    EXPECT_EQ(source.Format(), nullptr);  // NOLINT: checking the moved-from state on purpose
    EXPECT_EQ(source.FormatLength(), 0u);
}

TEST(CMediaType, equality_looks_at_every_identifier) {
    CMediaType a = PcmType(2);
    CMediaType b = PcmType(2);
    b.SetSubtype(&MEDIASUBTYPE_IEEE_FLOAT);
    EXPECT_FALSE(a == b);
    b = a;
    b.SetFormatType(&FORMAT_None);
    EXPECT_FALSE(a == b);
}

TEST(CMediaType, partial_type_with_null_fields_matches_anything_there) {
    const CMediaType full = PcmType(2);
    CMediaType partial(&MEDIATYPE_Audio);
    EXPECT_TRUE(partial.IsPartiallySpecified());
    EXPECT_TRUE(full.MatchesPartial(&partial));
    partial.SetSubtype(&MEDIASUBTYPE_PCM);
    EXPECT_TRUE(full.MatchesPartial(&partial));
    partial.SetSubtype(&MEDIASUBTYPE_WAVE);
    EXPECT_FALSE(full.MatchesPartial(&partial));
    EXPECT_FALSE(full.IsPartiallySpecified());
}

TEST(CMediaType, partial_format_type_requires_the_same_block) {
    const CMediaType full = PcmType(2);
    CMediaType partial = PcmType(1);
    partial.SetSubtype(&GUID_NULL);
    EXPECT_FALSE(full.MatchesPartial(&partial));  // same format type, other channel count
    partial = PcmType(2);
    partial.SetType(&GUID_NULL);
    EXPECT_TRUE(full.MatchesPartial(&partial));
}

TEST(CMediaType, realloc_keeps_the_leading_bytes_and_zeroes_the_rest) {
    CMediaType type;
    const BYTE bytes[] = {1, 2, 3, 4};
    ASSERT_TRUE(type.SetFormat(bytes, sizeof(bytes)));
    BYTE* grown = type.ReallocFormatBuffer(6);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(type.FormatLength(), 6u);
    EXPECT_EQ(grown[3], 4);
    EXPECT_EQ(grown[5], 0);
    BYTE* shrunk = type.ReallocFormatBuffer(2);
    ASSERT_NE(shrunk, nullptr);
    EXPECT_EQ(shrunk[1], 2);
    EXPECT_EQ(type.ReallocFormatBuffer(0), nullptr);
    EXPECT_EQ(type.FormatLength(), 0u);
}

TEST(CMediaType, sample_size_zero_means_variable) {
    CMediaType type;
    type.SetSampleSize(4);
    EXPECT_EQ(type.GetSampleSize(), 4u);
    type.SetSampleSize(0);
    EXPECT_FALSE(type.IsFixedSize());
    EXPECT_EQ(type.GetSampleSize(), 0u);
}

TEST(CMediaType, converts_from_a_plain_record_with_its_own_copy) {
    const CMediaType source = PcmType(1);
    const AM_MEDIA_TYPE& plain = source;
    CMediaType owned(plain);
    EXPECT_NE(owned.Format(), plain.pbFormat);
    EXPECT_EQ(std::memcmp(owned.Format(), plain.pbFormat, plain.cbFormat), 0);
}

}  // namespace
