// Inputs at the edges of what the stream takes: odd offsets, events that meet, events in the
// leading silence, values out of range, channel counts, re-opening.
#include "engine/StretchedWaveStream.h"

#include <algorithm>
#include <cmath>

#include "tests/engine/StreamFixture.h"

namespace {

using StretchedWaveStreamEdges = StreamFixture;

TEST_F(StretchedWaveStreamEdges, an_offset_that_is_not_whole_frames_keeps_samples_on_the_grid) {
    OpenSignal(1.0, 3);
    stream.SetOffset(0.0001f);  // 26.46 bytes of three-channel audio
    EXPECT_EQ(stream.GetOffsetBytes(), 24);
    const std::vector<uint8_t> out = ReadToEnd();
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + 24, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 24, out.end()), Bare(0.0f, 0, 3));
}

TEST_F(StretchedWaveStreamEdges, events_at_one_position_apply_the_last_ones_stretch) {
    OpenSignal(4.0);
    AddEvent(1.0f, 100.0f);
    stream.SetOffset(0.0f);
    const std::vector<uint8_t> single = ReadToEnd();

    delete head;
    head = nullptr;
    AddEvent(1.0f, 0.0f);
    AddEvent(1.0f, -30.0f);
    AddEvent(1.0f, 100.0f);
    stream.SetOffset(0.0f);
    stream.Rewind();
    EXPECT_EQ(ReadToEnd(), single);
    // And the stretch took effect: 1 s plain, then 3 s played twice as fast.
    EXPECT_LT(single.size(), kBytesPerSecond * 5 / 2);
}

TEST_F(StretchedWaveStreamEdges, a_paquet_the_stretch_makes_empty_does_not_block_later_ones) {
    OpenSignal(4.0);
    AddEvent(1.0f, 100.0f);
    AddEvent(2.0f, 0.0f);
    stream.SetOffset(0.0f);
    const std::vector<uint8_t> expected = ReadToEnd();

    delete head;
    head = nullptr;
    AddEvent(1.0f, 0.0f);
    AddEvent(1.000001f, 100.0f);  // less than a frame later: same boundary
    AddEvent(2.0f, 0.0f);
    stream.SetOffset(0.0f);
    stream.Rewind();
    EXPECT_EQ(ReadToEnd(), expected);
}

TEST_F(StretchedWaveStreamEdges, an_event_in_the_leading_silence_applies_from_the_first_sample) {
    OpenSignal(4.0);
    StretchEvent* at_zero = AddEvent(0.0f, 100.0f);
    stream.SetOffset(1.52f);
    const int32_t silence = stream.GetOffsetBytes();
    EXPECT_EQ(silence, 268124);
    EXPECT_EQ(at_zero->SignedRealBytePos(), 44 - silence);
    EXPECT_NEAR(at_zero->m_audio_pos, -1.52f, 1e-4);
    stream.Rewind();
    const std::vector<uint8_t> out = ReadToEnd();
    ASSERT_GT(out.size(), static_cast<size_t>(silence));
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + silence, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + silence, out.end()), Bare(100.0f));
}

TEST_F(StretchedWaveStreamEdges, an_event_later_in_the_silence_also_takes_effect) {
    OpenSignal(3.0);
    AddEvent(0.5f, 100.0f);
    stream.SetOffset(1.0f);
    stream.Rewind();
    const std::vector<uint8_t> out = ReadToEnd();
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + kBytesPerSecond, out.end()), Bare(100.0f));
}

TEST_F(StretchedWaveStreamEdges, stretches_out_of_range_are_used_clamped) {
    OpenSignal(1.0);
    StretchEvent* e = AddEvent(0.0f, -95.0f);
    stream.SetOffset(0.0f);
    const std::vector<uint8_t> slowest = ReadToEnd();
    e->m_tempo = -1000.0f;
    stream.SetOffset(0.0f);
    stream.Rewind();
    EXPECT_EQ(ReadToEnd(), slowest);
    EXPECT_GT(slowest.size(), samples.size() * 2 * 15);

    e->m_tempo = 1e30f;
    stream.SetOffset(0.0f);
    stream.Rewind();
    EXPECT_EQ(ReadToEnd(), Bare(5000.0f));
}

TEST_F(StretchedWaveStreamEdges, odd_offsets_saturate_instead_of_overflowing) {
    OpenSignal(0.2);
    stream.SetOffset(std::nanf(""));
    EXPECT_EQ(stream.GetOffsetBytes(), 0);
    stream.SetOffset(1e30f);
    EXPECT_EQ(stream.GetOffsetBytes() % 4, 0);
    EXPECT_GT(stream.GetOffsetBytes(), 0x7FFFFFF0);
    uint8_t bytes[64];
    ASSERT_TRUE(stream.Seek(0xFFFFFFF0u, false));
    EXPECT_LE(stream.Read(bytes, 64), 15u);  // the virtual file ends at 4 GiB
    stream.SetOffset(-1e30f);
    stream.Rewind();
    EXPECT_EQ(stream.Read(bytes, 64), 0u);  // everything skipped
}

TEST_F(StretchedWaveStreamEdges, every_channel_count_from_one_to_eight_streams) {
    for (uint16_t channels : {1, 3, 6, 8}) {
        OpenSignal(0.5, channels);
        EXPECT_EQ(stream.GetChannels(), channels);
        EXPECT_EQ(stream.GetBlockAlign(), channels * 2);
        AddEvent(0.1f, 50.0f);
        stream.SetOffset(0.0f);
        const std::vector<uint8_t> out = ReadToEnd();
        EXPECT_FALSE(out.empty());
        EXPECT_EQ(out.size() % (channels * 2u), 0u);
        delete head;
        head = nullptr;
    }
}

TEST_F(StretchedWaveStreamEdges, opening_again_releases_the_first_file_and_takes_the_second) {
    OpenSignal(0.5, 1);
    const std::string second = dir.File("second.wav");
    WavFileBuilder().Channels(2).Rate(22050).Samples(TestSignal(22050, 2, 22050)).Write(second);
    stream.SetOffset(0.3f);
    ASSERT_TRUE(stream.Open(second.c_str()));
    EXPECT_EQ(stream.GetSampleRate(), 22050u);
    EXPECT_EQ(stream.GetChannels(), 2);
    EXPECT_EQ(stream.GetOffset(), 0.0f);
    EXPECT_EQ(stream.GetVirtualSize(), 22050u * 4);
    EXPECT_FALSE(ReadToEnd().empty());
}

}  // namespace
