#include "engine/PaquetMap.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/StretchEvent.h"

namespace {

constexpr uint32_t kStereo44k = 44100 * 4;

class PaquetMapTest : public ::testing::Test {
protected:
    void SetUp() override { map.Configure(kStereo44k, 4, 44); }
    void TearDown() override { delete head; }

    StretchEvent* Add(float movie_pos, float stretch) {
        return new StretchEvent(movie_pos, stretch, &head);
    }

    PaquetMap map;
    StretchEvent* head = nullptr;
};

TEST_F(PaquetMapTest, boundaries_follow_the_stretch_of_the_paquet_before_them) {
    StretchEvent* first = Add(2.0f, 25.0f);
    StretchEvent* second = Add(4.0f, -10.0f);
    map.Build(head);
    EXPECT_EQ(first->m_virtual_byte_pos, 352844u);
    EXPECT_EQ(first->m_real_byte_pos, 352844u);
    EXPECT_EQ(second->m_virtual_byte_pos, 705644u);
    EXPECT_EQ(second->m_real_byte_pos, 793844u);  // 352,844 + 352,800 x 1.25
    EXPECT_FLOAT_EQ(first->m_audio_pos, 2.0f);
    EXPECT_FLOAT_EQ(second->m_audio_pos, 4.5f);
}

TEST_F(PaquetMapTest, a_position_inside_a_paquet_maps_through_its_stretch) {
    StretchEvent* first = Add(2.0f, 25.0f);
    Add(4.0f, 0.0f);
    map.Build(head);
    bool in_force = false;
    StretchEvent* current = PaquetMap::FindCurrent(head, 529244, &in_force);
    EXPECT_EQ(current, first);
    EXPECT_TRUE(in_force);
    EXPECT_EQ(map.RealPosition(current, 529244), 573344u);  // 352,844 + 176,400 x 1.25
}

TEST_F(PaquetMapTest, before_the_first_paquet_the_offset_alone_shifts_the_audio) {
    Add(2.0f, 25.0f);
    map.SetOffsetBytes(-176400);
    map.Build(head);
    bool in_force = true;
    StretchEvent* current = PaquetMap::FindCurrent(head, 1000, &in_force);
    EXPECT_EQ(current, head);
    EXPECT_FALSE(in_force);
    EXPECT_EQ(map.RealPosition(current, 44), 44u + 176400u);
    EXPECT_EQ(map.RealPosition(current, 1000), 1000u + 176400u);
    EXPECT_EQ(map.RealPosition(nullptr, 1002), 1000u + 176400u);  // down to a whole frame
}

TEST_F(PaquetMapTest, anything_that_maps_before_the_first_sample_lands_on_it) {
    map.Configure(kStereo44k, 4, 60);  // samples after a 16-byte extra chunk
    map.SetOffsetBytes(88200);
    EXPECT_EQ(map.RealPosition(nullptr, 0), 60u);
    EXPECT_EQ(map.RealPosition(nullptr, 50000), 60u);
    EXPECT_EQ(map.RealPosition(nullptr, 88244 + 16), 60u);
    EXPECT_EQ(map.RealPosition(nullptr, 88244 + 20), 64u);
}

TEST_F(PaquetMapTest, an_event_inside_the_leading_silence_starts_before_the_data) {
    const int32_t offset = PaquetMap::OffsetBytes(1.52f, 44100, 4);
    EXPECT_EQ(offset % 4, 0);
    map.SetOffsetBytes(offset);
    StretchEvent* at_zero = Add(0.0f, 10.0f);
    StretchEvent* later = Add(2.0f, 0.0f);
    map.Build(head);
    EXPECT_EQ(at_zero->m_virtual_byte_pos, 44u);
    EXPECT_EQ(at_zero->SignedRealBytePos(), 44 - offset);
    EXPECT_LT(at_zero->m_audio_pos, 0.0f);
    EXPECT_NEAR(at_zero->m_audio_pos, -1.52f, 1e-4);
    // The next boundary chains from the signed value: 2 s of movie at +10 is 2.2 s of source.
    const int64_t expected = (44 - offset) + static_cast<int64_t>(352800 * 1.1);
    EXPECT_EQ(later->SignedRealBytePos(), expected - ((expected - 44) % 4 + 4) % 4);
    EXPECT_NEAR(later->m_audio_pos, 2.2f - 1.52f, 1e-4);
}

TEST(PaquetMapOffset, offsets_are_whole_frames_toward_zero_and_saturate) {
    EXPECT_EQ(PaquetMap::OffsetBytes(0.5f, 44100, 4), 88200);
    EXPECT_EQ(PaquetMap::OffsetBytes(-1.0f, 44100, 4), -176400);
    EXPECT_EQ(PaquetMap::OffsetBytes(0.0001f, 44100, 6), 24);  // 26.46 bytes -> 4 frames
    EXPECT_EQ(PaquetMap::OffsetBytes(-0.0001f, 44100, 6), -24);
    EXPECT_EQ(PaquetMap::OffsetBytes(std::nanf(""), 44100, 4), 0);
    const int32_t huge = PaquetMap::OffsetBytes(1e30f, 44100, 4);
    EXPECT_EQ(huge, std::numeric_limits<int32_t>::max() - 3);
    const int32_t tiny = PaquetMap::OffsetBytes(-1e30f, 44100, 4);
    EXPECT_EQ(tiny, -(std::numeric_limits<int32_t>::max() - 3));
    EXPECT_EQ(PaquetMap::OffsetBytes(std::numeric_limits<float>::infinity(), 44100, 2) % 2, 0);
}

TEST_F(PaquetMapTest, out_of_range_stretches_are_used_clamped) {
    StretchEvent* first = Add(1.0f, -1000.0f);
    StretchEvent* second = Add(2.0f, 0.0f);
    map.Build(head);
    const uint32_t clamped_low = second->m_real_byte_pos;
    first->m_tempo = -95.0f;
    map.Build(head);
    EXPECT_EQ(second->m_real_byte_pos, clamped_low);

    first->m_tempo = 1e9f;
    map.Build(head);
    const uint32_t clamped_high = second->m_real_byte_pos;
    first->m_tempo = 5000.0f;
    map.Build(head);
    EXPECT_EQ(second->m_real_byte_pos, clamped_high);

    first->m_tempo = std::nanf("");
    map.Build(head);
    EXPECT_EQ(second->m_real_byte_pos, second->m_virtual_byte_pos);  // NaN reads as 0 %
}

TEST_F(PaquetMapTest, odd_movie_positions_saturate) {
    StretchEvent* negative = Add(-5.0f, 0.0f);
    StretchEvent* not_a_number = Add(std::nanf(""), 0.0f);
    StretchEvent* huge = Add(1e30f, 50.0f);
    map.Build(head);
    EXPECT_EQ(negative->m_virtual_byte_pos, 44u);
    EXPECT_EQ(not_a_number->m_virtual_byte_pos % 4, 0u);
    EXPECT_GE(huge->m_virtual_byte_pos, 0xFFFFFFF0u);
    EXPECT_EQ(huge->SignedRealBytePos(), std::numeric_limits<int32_t>::max() - 3);
    // A seek far past everything still yields a position the file API can take.
    bool in_force = false;
    StretchEvent* current = PaquetMap::FindCurrent(head, 0xFFFFFFFFu, &in_force);
    EXPECT_LE(map.RealPosition(current, 0xFFFFFFFFu), 0x7FFFFFFFu);
}

TEST_F(PaquetMapTest, equal_positions_give_an_empty_paquet_with_one_boundary) {
    StretchEvent* a = Add(1.0f, 50.0f);
    StretchEvent* b = Add(1.0f, -50.0f);
    map.Build(head);
    EXPECT_EQ(a->m_virtual_byte_pos, b->m_virtual_byte_pos);
    EXPECT_EQ(a->m_real_byte_pos, b->m_real_byte_pos);
    bool in_force = false;
    EXPECT_EQ(PaquetMap::FindCurrent(head, a->m_virtual_byte_pos, &in_force), b);
}

}  // namespace
