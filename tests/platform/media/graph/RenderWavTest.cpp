// A WAV file through the whole audio path: RenderFile builds "File Source (Async.)" ->
// "Wave Parser" -> "Default DirectSound Device", and SDL's disk driver captures what the
// renderer played, so the test can compare it with the file's samples. Every frame of the
// test signal is distinct and non-zero: silence the device played while waiting is told
// apart and dropped, and a gap, a repeat or a jump shows in the frame numbers.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/media/filters/StockFilters.h"
#include "platform/sync/sync.h"
#include "platform/ui/WindowMessages.h"
#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/support/WavFileBuilder.h"

namespace {

constexpr int kBoundMs = 20'000;
constexpr uint32_t kRate = 8000;
constexpr int64_t kChunkFrames = kRate / 4;  // the parser's delivery buffer: a quarter second

class RenderWav : public GraphTest {
protected:
    void SetUp() override {
        m_capture = m_dir.File("capture.raw");
        SetEnvironment("SDL_AUDIODRIVER", "disk");
        SetEnvironment("SDL_DISKAUDIOFILE", m_capture);
        GraphTest::SetUp();
        RegisterStockFilterClasses();
        ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
    }
    void TearDown() override {
        GraphTest::TearDown();
        for (const auto& [name, value] : m_saved) {
            if (value.empty()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), value.c_str(), 1);
            }
        }
    }

    void SetEnvironment(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? old : "");
        setenv(name.c_str(), value.c_str(), 1);
    }

    // A stereo file whose frame i holds (i + 1, -(i + 1)).
    std::string MakeWav(int64_t frames) {
        std::vector<int16_t> samples;
        for (int64_t i = 0; i < frames; ++i) {
            samples.push_back(static_cast<int16_t>(i + 1));
            samples.push_back(static_cast<int16_t>(-(i + 1)));
        }
        const std::string path = m_dir.File("signal.wav");
        WavFileBuilder().Channels(2).Rate(kRate).Bits(16).Samples(samples).Write(path);
        m_frames = frames;
        return path;
    }

    void Render(const std::string& path) {
        const std::u16string wide(path.begin(), path.end());
        ASSERT_EQ(m_graph->RenderFile(wide.c_str(), nullptr), S_OK);
    }

    // The frame numbers the device played (0-based), silence left out. Call after the graph
    // is released: the device writes its file until it closes.
    std::vector<int64_t> Played() {
        const std::vector<uint8_t> bytes = ReadFileBytes(m_capture);
        std::vector<int64_t> frames;
        for (size_t at = 0; at + 4 <= bytes.size(); at += 4) {
            const auto left = static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8));
            const auto right = static_cast<int16_t>(bytes[at + 2] | (bytes[at + 3] << 8));
            if (left == 0 && right == 0) continue;
            EXPECT_EQ(right, -left) << "frame " << frames.size() << " is not the file's";
            frames.push_back(left - 1);
        }
        return frames;
    }

    static std::vector<int64_t> Range(int64_t from, int64_t to) {
        std::vector<int64_t> range;
        for (int64_t i = from; i < to; ++i)
            range.push_back(i);
        return range;
    }

    std::string m_capture;
    int64_t m_frames = 0;
    std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_F(RenderWav, render_file_builds_source_parser_and_audio_renderer) {
    Render(MakeWav(kRate));
    for (const char16_t* name : {u"signal.wav", u"Wave Parser", u"Default DirectSound Device"}) {
        ComPtr<IBaseFilter> filter;
        EXPECT_EQ(m_graph->FindFilterByName(name, filter.GetAddressOf()), S_OK)
            << std::string(name, name + std::char_traits<char16_t>::length(name));
    }
    LONGLONG duration = 0;
    ASSERT_EQ(m_seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 10'000'000);
}

TEST_F(RenderWav, plays_exactly_the_files_samples_then_notifies_the_window) {
    RecordingWindow window;
    ASSERT_EQ(m_events->SetNotifyWindow(window.Handle(), WM_USER + 2, 0), S_OK);
    Render(MakeWav(kRate / 2));
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(window.PumpUntil(1, kBoundMs));
    LONG_PTR result = E_FAIL;
    EXPECT_TRUE(WaitForEvent(EC_COMPLETE, 0, &result));
    EXPECT_EQ(result, S_OK);
    ASSERT_EQ(m_control->Stop(), S_OK);
    ReleaseGraph();
    EXPECT_EQ(Played(), Range(0, m_frames));
}

TEST_F(RenderWav, pause_and_run_resume_without_a_gap_or_a_repeat) {
    Render(MakeWav(kRate));
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    Sleep(300);
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    Sleep(200);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    ReleaseGraph();
    EXPECT_EQ(Played(), Range(0, m_frames));
}

TEST_F(RenderWav, a_seek_lands_within_one_buffer_of_the_target) {
    Render(MakeWav(2 * kRate));
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    Sleep(200);
    LONGLONG target = 10'000'000;  // frame 8000
    ASSERT_EQ(m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_NEAR(static_cast<double>(Position()), 10'000'000.0, 2'500'000.0);
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    ReleaseGraph();

    const std::vector<int64_t> played = Played();
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played.front(), 0);
    size_t jump = 1;
    while (jump < played.size() && played[jump] == played[jump - 1] + 1)
        ++jump;
    ASSERT_LT(jump, played.size()) << "the seek did not show";
    EXPECT_NEAR(static_cast<double>(played[jump]), 8000.0, static_cast<double>(kChunkFrames));
    // From the landing on, everything to the end, in order.
    EXPECT_EQ(
        std::vector<int64_t>(played.begin() + static_cast<std::ptrdiff_t>(jump), played.end()),
        Range(played[jump], m_frames));
}

TEST_F(RenderWav, stop_and_a_seek_to_zero_play_from_the_start_again) {
    Render(MakeWav(kRate / 2));
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    Sleep(200);
    ASSERT_EQ(m_control->Stop(), S_OK);
    ASSERT_EQ(m_position->put_CurrentPosition(0.0), S_OK);
    EXPECT_EQ(Position(), 0);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    ReleaseGraph();

    const std::vector<int64_t> played = Played();
    ASSERT_GE(played.size(), static_cast<size_t>(m_frames));
    // Whatever played before the stop, the whole file follows it from frame 0.
    const std::vector<int64_t> tail(played.end() - m_frames, played.end());
    EXPECT_EQ(tail, Range(0, m_frames));
    const std::vector<int64_t> head(played.begin(), played.end() - m_frames);
    EXPECT_EQ(head, Range(0, static_cast<int64_t>(head.size())));
}

TEST_F(RenderWav, a_file_cut_short_plays_what_it_has_and_still_completes) {
    const std::string path = MakeWav(kRate / 2);
    // The header still promises 4000 frames; only 1000 remain.
    std::filesystem::resize_file(path, 44 + 1000 * 4);
    Render(path);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    ReleaseGraph();
    EXPECT_EQ(Played(), Range(0, 1000));
}

TEST_F(RenderWav, what_no_renderer_takes_leaves_the_graph_empty) {
    const std::string compressed = m_dir.File("compressed.wav");
    WavFileBuilder()
        .Tag(0x55)
        .Channels(2)
        .Rate(kRate)
        .RawData(std::vector<uint8_t>(400, 7))
        .Write(compressed);
    const std::string garbage = m_dir.File("garbage.wav");
    WavFileBuilder().FormType("AVI ").RawData(std::vector<uint8_t>(400, 7)).Write(garbage);
    for (const std::string& path : {compressed, garbage, m_dir.File("absent.wav")}) {
        const std::u16string wide(path.begin(), path.end());
        EXPECT_TRUE(FAILED(m_graph->RenderFile(wide.c_str(), nullptr))) << path;
        ComPtr<IEnumFilters> filters;
        ASSERT_EQ(m_graph->EnumFilters(filters.GetAddressOf()), S_OK);
        IBaseFilter* left = nullptr;
        EXPECT_EQ(filters->Next(1, &left, nullptr), S_FALSE) << path;
    }
}

}  // namespace
