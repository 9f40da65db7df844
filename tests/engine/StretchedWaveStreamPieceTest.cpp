// The stream stretches its source in small pieces so that no read blocks long; the output must
// be byte for byte what whole-chunk pieces give, for every format, stretch, offset and read size.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

struct Case {
    const char* name;
    uint32_t rate;
    uint16_t channels;
    double seconds;                               // more than one whole chunk of source
    std::vector<std::pair<float, float>> events;  // movie position (s), stretch (%)
    float offset;
    uint32_t read;  // bytes per Read
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class StreamPieces : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        m_previous = CurrentEventList();
        SetCurrentEventList(&m_head);
        const Case& c = GetParam();
        for (const auto& [pos, stretch] : c.events)
            new StretchEvent(pos, stretch, &m_head);
        m_path = m_dir.File("source.wav");
        const auto frames = static_cast<uint32_t>(c.seconds * c.rate);
        WavFileBuilder()
            .Channels(c.channels)
            .Rate(c.rate)
            .Samples(TestSignal(frames, c.channels, c.rate))
            .Write(m_path);
    }

    void TearDown() override {
        SetCurrentEventList(m_previous);
        delete m_head;
    }

    // The whole virtual file, then again from a position past the first chunk's output.
    std::vector<uint8_t> Render(uint32_t piece) {
        const Case& c = GetParam();
        StretchedWaveStream stream(StretchedWaveStream::Role::Private);
        stream.SetSourcePiece(piece);
        EXPECT_TRUE(stream.Open(m_path.c_str()));
        stream.SetOffset(c.offset);
        stream.Seek(0, true);
        std::vector<uint8_t> all = ReadToEnd(stream, c.read);
        const uint32_t middle = 44 + static_cast<uint32_t>(all.size() / 3) / 4 * 4;
        stream.Seek(middle, true);
        const std::vector<uint8_t> tail = ReadToEnd(stream, c.read);
        all.insert(all.end(), tail.begin(), tail.end());
        return all;
    }

private:
    static std::vector<uint8_t> ReadToEnd(StretchedWaveStream& stream, uint32_t read) {
        std::vector<uint8_t> all;
        std::vector<uint8_t> buffer(read);
        for (;;) {
            const uint32_t got = stream.Read(buffer.data(), read);
            all.insert(all.end(), buffer.begin(), buffer.begin() + got);
            if (got < read) return all;
        }
    }

    TempDir m_dir;
    std::string m_path;
    StretchEvent* m_head = nullptr;
    StretchEvent** m_previous = nullptr;
};

TEST_P(StreamPieces, small_pieces_give_the_output_of_whole_chunks) {
    const std::vector<uint8_t> whole = Render(StretchedWaveStream::kChunkSize);
    const std::vector<uint8_t> pieces = Render(StretchedWaveStream::kSourcePiece);
    const Case& c = GetParam();
    ASSERT_GT(c.seconds * c.rate * c.channels * 2, 1.2 * StretchedWaveStream::kChunkSize);
    ASSERT_GT(whole.size(), 44u + StretchedWaveStream::kSourcePiece);
    ASSERT_EQ(pieces.size(), whole.size());
    EXPECT_TRUE(pieces == whole);  // not EXPECT_EQ: a failure would print megabytes
}

// One event at 0 s per stretch, on each format; then changes of stretch inside a chunk, offsets
// either way, a format whose frames do not divide the piece, and reads of odd sizes.
const Case kCases[] = {
    {"mono8k_m95", 8000, 1, 8.0, {{0.0f, -95.0f}}, 0.0f, 4096},
    {"mono8k_m50", 8000, 1, 8.0, {{0.0f, -50.0f}}, 0.0f, 4096},
    {"mono8k_0", 8000, 1, 8.0, {}, 0.0f, 4096},
    {"mono8k_p30", 8000, 1, 8.0, {{0.0f, 30.0f}}, 0.0f, 4096},
    {"mono8k_p100", 8000, 1, 8.0, {{0.0f, 100.0f}}, 0.0f, 4096},
    {"cd_m95", 44100, 2, 0.8, {{0.0f, -95.0f}}, 0.0f, 4096},
    {"cd_m50", 44100, 2, 0.8, {{0.0f, -50.0f}}, 0.0f, 4096},
    {"cd_p30", 44100, 2, 0.8, {{0.0f, 30.0f}}, 0.0f, 4096},
    {"cd_p100", 44100, 2, 0.8, {{0.0f, 100.0f}}, 0.0f, 4096},
    {"dvd_m95", 48000, 2, 0.8, {{0.0f, -95.0f}}, 0.0f, 4096},
    {"dvd_m50", 48000, 2, 0.8, {{0.0f, -50.0f}}, 0.0f, 4096},
    {"dvd_0", 48000, 2, 0.8, {}, 0.0f, 4096},
    {"dvd_p30", 48000, 2, 0.8, {{0.0f, 30.0f}}, 0.0f, 4096},
    {"dvd_p100", 48000, 2, 0.8, {{0.0f, 100.0f}}, 0.0f, 4096},
    {"mono8k_changes", 8000, 1, 8.0, {{0.5f, -95.0f}, {1.3f, 100.0f}, {2.0f, -50.0f}}, 0.0f, 4096},
    {"mono8k_meeting_events",
     8000,
     1,
     8.0,
     {{2.0f, -50.0f}, {2.0f, 30.0f}, {9.0f, 0.0f}},
     0.4f,
     4096},
    {"dvd_changes_late", 48000, 2, 1.0, {{0.1f, -50.0f}, {0.35f, 30.0f}}, 0.25f, 1000},
    {"cd_changes_early", 44100, 2, 1.0, {{0.0f, 100.0f}, {0.2f, -95.0f}}, -0.3f, 4096},
    {"three_channels", 44100, 3, 1.0, {{0.0f, -50.0f}, {0.4f, 30.0f}}, 0.01f, 999},
};

INSTANTIATE_TEST_SUITE_P(FormatsAndStretches, StreamPieces, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
