#include "engine/StretchedWaveStream.h"

#include <algorithm>
#include <numeric>

#include "platform/ui/MessageBox.h"
#include "tests/engine/StreamFixture.h"
#include "tests/support/RecordingUserPrompt.h"

namespace {

using StretchedWaveStreamTest = StreamFixture;

TEST_F(StretchedWaveStreamTest, header_declares_the_source_format_and_size) {
    OpenSignal(0.5);
    ASSERT_TRUE(stream.Seek(0, false));
    uint8_t header[44];
    ASSERT_EQ(stream.Read(header, 44), 44u);
    const std::vector<uint8_t> file = ReadFileBytes(path);
    EXPECT_TRUE(std::equal(header, header + 44, file.begin()));
    EXPECT_EQ(stream.GetVirtualSize(), samples.size() * 2);
    EXPECT_EQ(stream.GetDataOffset(), 44u);
}

TEST_F(StretchedWaveStreamTest, without_events_it_yields_the_processor_output_at_tempo_one) {
    OpenSignal(3.0);
    EXPECT_EQ(stream.GetPosition(), 44u);
    const std::vector<uint8_t> out = ReadToEnd();
    EXPECT_EQ(out, Bare(0.0f));
    // The processor keeps its last unfinished sequence: a little less than the source.
    EXPECT_LT(out.size(), samples.size() * 2);
    EXPECT_GT(out.size(), samples.size() * 2 - kBytesPerSecond / 5);
    uint8_t after_end[8];
    EXPECT_EQ(stream.Read(after_end, 8), 0u);
}

TEST_F(StretchedWaveStreamTest, reads_of_any_size_give_the_same_bytes) {
    OpenSignal(2.0);
    stream.SetOffset(0.25f);
    const std::vector<uint8_t> whole = ReadToEnd();
    for (uint32_t piece : {1u, 7u, 4095u, 102401u}) {
        stream.Seek(44, true);
        EXPECT_EQ(ReadToEnd(piece), whole) << "pieces of " << piece;
    }
}

TEST_F(StretchedWaveStreamTest, a_read_across_the_header_end_continues_with_audio) {
    OpenSignal(0.5);
    const std::vector<uint8_t> audio = ReadToEnd();
    ASSERT_TRUE(stream.Seek(40, false));
    uint8_t bytes[10];
    ASSERT_EQ(stream.Read(bytes, 10), 10u);
    const std::vector<uint8_t> file = ReadFileBytes(path);
    EXPECT_TRUE(std::equal(bytes, bytes + 4, file.begin() + 40));
    EXPECT_TRUE(std::equal(bytes + 4, bytes + 10, audio.begin()));
    EXPECT_EQ(stream.GetPosition(), 50u);
}

TEST_F(StretchedWaveStreamTest, positive_offset_delays_the_audio_behind_silence) {
    OpenSignal(2.0);
    stream.SetOffset(0.5f);
    EXPECT_EQ(stream.GetOffsetBytes(), 88200);
    stream.Rewind();
    const std::vector<uint8_t> out = ReadToEnd();
    ASSERT_GT(out.size(), 88200u);
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + 88200, [](uint8_t b) { return b == 0; }));
    // Virtual byte 88,244 holds the first processed sample.
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 88200, out.end()), Bare(0.0f));
}

TEST_F(StretchedWaveStreamTest, negative_offset_skips_the_start_of_the_source) {
    OpenSignal(3.0);
    stream.SetOffset(-1.0f);
    EXPECT_EQ(stream.GetSourcePosition(), 44 + 176400);
    EXPECT_EQ(ReadToEnd(), Bare(0.0f, kRate));
}

TEST_F(StretchedWaveStreamTest, stretch_plus_100_ends_after_about_half_the_declared_size) {
    OpenSignal(4.0);
    AddEvent(0.0f, 100.0f);
    stream.SetOffset(0.0f);
    std::vector<uint8_t> buffer(stream.GetVirtualSize());
    const uint32_t got = stream.Read(buffer.data(), stream.GetVirtualSize());
    EXPECT_LT(got, stream.GetVirtualSize() / 2);
    EXPECT_GT(got, stream.GetVirtualSize() / 2 - kBytesPerSecond / 4);
    EXPECT_EQ(stream.Read(buffer.data(), 100), 0u);
    buffer.resize(got);
    EXPECT_EQ(buffer, Bare(100.0f));
}

TEST_F(StretchedWaveStreamTest, a_seek_maps_through_the_paquet_in_force) {
    OpenSignal(6.0);
    AddEvent(2.0f, 25.0f);
    AddEvent(4.0f, 0.0f);
    stream.SetOffset(0.0f);
    EXPECT_EQ(head->m_virtual_byte_pos, 352844u);
    EXPECT_EQ(head->m_next->m_real_byte_pos, 793844u);
    ASSERT_TRUE(stream.Seek(529244, false));
    EXPECT_EQ(stream.GetSourcePosition(), 573344);
    // Processing restarts there with the paquet's own stretch: up to the next boundary the
    // output is the bare loop's at +25 from that frame.
    std::vector<uint8_t> out(100000);
    ASSERT_EQ(stream.Read(out.data(), 100000), 100000u);
    const std::vector<uint8_t> bare = Bare(25.0f, (573344 - 44) / kFrameBytes);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), bare.begin()));
}

TEST_F(StretchedWaveStreamTest, a_seek_in_the_header_positions_the_file_and_reading_it_does_not) {
    OpenSignal(2.0);
    stream.SetOffset(-1.0f);
    ASSERT_TRUE(stream.Seek(0, false));
    EXPECT_EQ(stream.GetSourcePosition(), 176400);
    uint8_t header[44];
    ASSERT_EQ(stream.Read(header, 44), 44u);
    EXPECT_EQ(stream.GetPosition(), 44u);
    EXPECT_EQ(stream.GetSourcePosition(), 176400);
}

TEST_F(StretchedWaveStreamTest, seeking_to_where_it_is_keeps_the_processor_running) {
    OpenSignal(2.0);
    const std::vector<uint8_t> whole = ReadToEnd();
    stream.Rewind();
    stream.Seek(1000, true);
    stream.Rewind();
    std::vector<uint8_t> first(30000);
    ASSERT_EQ(stream.Read(first.data(), 30000), 30000u);
    EXPECT_TRUE(stream.Seek(44 + 30000, false));
    std::vector<uint8_t> rest = ReadToEnd();
    first.insert(first.end(), rest.begin(), rest.end());
    EXPECT_EQ(first, whole);
}

TEST_F(StretchedWaveStreamTest, the_map_reflects_the_list_at_the_last_set_offset) {
    OpenSignal(1.0);
    StretchEvent* e = AddEvent(0.5f, 10.0f);
    EXPECT_EQ(e->m_virtual_byte_pos, 0u);
    stream.SetOffset(0.0f);
    EXPECT_EQ(e->m_virtual_byte_pos, 44u + 88200u);
    e->m_tempo = 20.0f;
    StretchEvent* later = AddEvent(0.75f, 0.0f);
    EXPECT_EQ(later->m_real_byte_pos, 0u);
    stream.SetOffset(0.0f);
    EXPECT_EQ(later->m_real_byte_pos, 44u + 88200u + static_cast<uint32_t>(44100 * 1.2f));
}

TEST_F(StretchedWaveStreamTest, each_new_stream_becomes_current_and_its_end_clears_it) {
    EXPECT_EQ(CurrentStream(), &stream);
    {
        StretchedWaveStream other;
        EXPECT_EQ(CurrentStream(), &other);
    }
    EXPECT_EQ(CurrentStream(), nullptr);
    StretchedWaveStream current;
    {
        StretchedWaveStream private_stream(StretchedWaveStream::Role::Private);
        EXPECT_EQ(CurrentStream(), &current);
    }
    EXPECT_EQ(CurrentStream(), &current);
}

TEST_F(StretchedWaveStreamTest, only_the_playback_stream_tells_the_user_a_file_is_too_long) {
    RecordingUserPrompt prompt;
    path = dir.File("long.wav");
    WavFileBuilder().Samples({1, 2}).DeclaredDataSize(0x80000000u).Write(path);
    StretchedWaveStream private_stream(StretchedWaveStream::Role::Private);
    EXPECT_FALSE(private_stream.Open(path.c_str()));
    EXPECT_EQ(private_stream.GetOpenError(), SourceWaveReader::OpenError::TooLong);
    private_stream.ReportOpenError();
    EXPECT_TRUE(prompt.Messages().empty());
    EXPECT_FALSE(stream.Open(path.c_str()));
    EXPECT_TRUE(prompt.Messages().empty());  // not while the caller may hold locks
    stream.ReportOpenError();
    ASSERT_EQ(prompt.Messages().size(), 1u);
    EXPECT_EQ(prompt.Messages()[0].text, "Audio file is too long !");
    EXPECT_EQ(prompt.Messages()[0].caption, "Opening Error");
    EXPECT_EQ(prompt.Messages()[0].type & MB_ICONMASK, MB_ICONERROR);
}

TEST_F(StretchedWaveStreamTest, a_closed_stream_reads_nothing_and_refuses_seeks) {
    uint8_t bytes[16];
    stream.SetOffset(1.0f);
    EXPECT_EQ(stream.Read(bytes, 16), 0u);
    EXPECT_FALSE(stream.Seek(100, true));
    OpenSignal(0.2);
    EXPECT_EQ(stream.GetOffset(), 0.0f);
    stream.Close();
    EXPECT_EQ(stream.Read(bytes, 16), 0u);
    EXPECT_FALSE(stream.Open(dir.File("missing.wav").c_str()));
    EXPECT_EQ(stream.Read(bytes, 16), 0u);
}

}  // namespace
