// The stock filters in a real filter graph: a WAV rendered with RenderFile and played through
// "File Source (Async.)", "Wave Parser" and "Default DirectSound Device".
#include <chrono>
#include <algorithm>
#include <fstream>
#include <future>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/dshow.h"
#include "platform/media/filters/StockFilters.h"
#include "platform/ui/WindowMessages.h"
#include "tests/platform/media/filters/PlaybackGraphFixture.h"
#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/support/WavFileBuilder.h"

namespace {

using namespace std::chrono_literals;

constexpr long kNotifyMessage = WM_USER + 2;
constexpr LONGLONG kSecond = 10000000;

class WavePlaybackGraphTest : public PlaybackGraphTest {
protected:
    void SetUp() override {
        PlaybackGraphTest::SetUp();
        ASSERT_EQ(WriteStockFilterRegistrations(), S_OK);
    }

    void UseDisk() { CaptureTo(Capture()); }
    std::string Capture() const { return m_dir.File("capture.raw"); }
    // Releasing the graph closes the device, which completes the capture file.
    std::vector<int16_t> Played(int channels = 2) {
        m_control->Stop();
        ReleaseGraph();
        return NonSilentSamples(ReadFileBytes(Capture()), channels);
    }
    std::vector<CLSID> FilterClasses() {
        std::vector<CLSID> classes;
        ComPtr<IEnumFilters> filters;
        m_graph->EnumFilters(filters.GetAddressOf());
        IBaseFilter* filter = nullptr;
        while (filters->Next(1, &filter, nullptr) == S_OK) {
            CLSID clsid{};
            filter->GetClassID(&clsid);
            classes.push_back(clsid);
            filter->Release();
        }
        return classes;
    }
    // The file's samples [0, cut) followed by [resume, end): what a jump at `cut` plays.
    std::vector<int16_t> Jump(size_t cut, size_t resume) {
        const std::vector<int16_t> all = WavSamples();
        std::vector<int16_t> expected(all.begin(), all.begin() + static_cast<long>(cut));
        expected.insert(expected.end(), all.begin() + static_cast<long>(resume), all.end());
        return expected;
    }
    static size_t CommonPrefix(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
        size_t n = 0;
        while (n < a.size() && n < b.size() && a[n] == b[n])
            ++n;
        return n;
    }
};

TEST_F(WavePlaybackGraphTest, render_file_builds_source_parser_and_audio_renderer) {
    ASSERT_EQ(Render(MakeWav("sound.wav", 800)), S_OK);
    const std::vector<CLSID> classes = FilterClasses();
    ASSERT_EQ(classes.size(), 3u);
    for (const CLSID& wanted : {CLSID_AsyncReader, CLSID_WAVEParser, CLSID_DSoundRender}) {
        EXPECT_NE(std::find(classes.begin(), classes.end(), wanted), classes.end());
    }
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(m_graph->FindFilterByName(u"sound.wav", source.GetAddressOf()), S_OK);
    ComPtr<IPin> peer;
    ASSERT_EQ(FindPin(source.Get(), PINDIR_OUTPUT)->ConnectedTo(peer.GetAddressOf()), S_OK);
    PIN_INFO info{};
    peer->QueryPinInfo(&info);
    FILTER_INFO parser{};
    info.pFilter->QueryFilterInfo(&parser);
    EXPECT_EQ(std::u16string(parser.achName), u"Wave Parser");
    ComPtr<IPin> renderer_pin;
    EXPECT_EQ(FindPin(info.pFilter, PINDIR_OUTPUT)->ConnectedTo(renderer_pin.GetAddressOf()), S_OK);
    if (parser.pGraph) parser.pGraph->Release();
    info.pFilter->Release();
}

TEST_F(WavePlaybackGraphTest, plays_the_file_exactly_then_tells_the_window_it_is_complete) {
    UseDisk();
    ASSERT_EQ(Render(MakeWav("sound.wav", 4000)), S_OK);
    RecordingWindow window;
    ASSERT_EQ(m_events->SetNotifyWindow(window.Handle(), kNotifyMessage, 0), S_OK);
    ASSERT_EQ(m_events->SetNotifyFlags(0), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(window.PumpUntil(1, 10000));
    EXPECT_EQ(window.Messages().front().message, static_cast<UINT>(kNotifyMessage));
    EXPECT_TRUE(WaitForEvent(EC_COMPLETE, 1s));
    EXPECT_EQ(Played(), WavSamples());
}

TEST_F(WavePlaybackGraphTest, duration_matches_the_file) {
    ASSERT_EQ(Render(MakeWav("sound.wav", 12345, 1, 11025)), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(m_seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 12345LL * kSecond / 11025);
    REFTIME seconds = 0;
    ASSERT_EQ(m_position->get_Duration(&seconds), S_OK);
    EXPECT_NEAR(seconds, 12345.0 / 11025, 1e-6);
}

TEST_F(WavePlaybackGraphTest, pause_and_run_resume_without_a_gap_or_a_repeat) {
    UseDisk();
    ASSERT_EQ(Render(MakeWav("sound.wav", 6000)), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    for (int round = 0; round < 3; ++round) {
        std::this_thread::sleep_for(110ms);
        ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
        std::this_thread::sleep_for(70ms);
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    }
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
    EXPECT_EQ(Played(), WavSamples());
}

TEST_F(WavePlaybackGraphTest, a_seek_while_running_goes_on_from_the_target_frame) {
    UseDisk();
    ASSERT_EQ(Render(MakeWav("sound.wav", 16000)), S_OK);  // two seconds at 8 kHz
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    std::this_thread::sleep_for(200ms);
    LONGLONG target = 15000000;  // 1.5 s: frame 12,000
    ASSERT_EQ(m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    LONGLONG position = 0;
    ASSERT_EQ(m_seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_GE(position, target);
    EXPECT_LT(position, target + kSecond / 4);
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
    const std::vector<int16_t> played = Played();
    const size_t cut = CommonPrefix(played, WavSamples());
    ASSERT_GT(cut, 0u);
    ASSERT_LT(cut, 24000u);
    EXPECT_EQ(played, Jump(cut, 12000 * 2));
}

TEST_F(WavePlaybackGraphTest, stop_and_position_zero_play_again_from_the_start) {
    UseDisk();
    ASSERT_EQ(Render(MakeWav("sound.wav", 4000)), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    std::this_thread::sleep_for(150ms);
    ASSERT_EQ(m_control->Stop(), S_OK);
    ASSERT_EQ(m_position->put_CurrentPosition(0.0), S_OK);
    REFTIME position = -1;
    ASSERT_EQ(m_position->get_CurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 0.0);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
    const std::vector<int16_t> played = Played();
    const size_t cut = CommonPrefix(played, WavSamples());
    ASSERT_LT(cut, WavSamples().size());
    EXPECT_EQ(played, Jump(cut, 0));
}

TEST_F(WavePlaybackGraphTest, a_storm_of_seeks_while_running_neither_hangs_nor_loses_the_end) {
    ASSERT_EQ(Render(MakeWav("sound.wav", 80000)), S_OK);  // ten seconds
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    auto storm = std::async(std::launch::async, [this] {
        std::mt19937 random(7);
        std::uniform_int_distribution<LONGLONG> place(0, 10 * kSecond);
        HRESULT worst = S_OK;
        for (int i = 0; i < 1000; ++i) {
            LONGLONG target = place(random);
            const HRESULT hr = m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning,
                                                       nullptr, AM_SEEKING_NoPositioning);
            if (FAILED(hr)) worst = hr;
        }
        return worst;
    });
    ASSERT_EQ(storm.wait_for(120s), std::future_status::ready) << "the seeks deadlocked";
    EXPECT_EQ(storm.get(), S_OK);
    LONGLONG near_end = 10 * kSecond - kSecond / 5;
    ASSERT_EQ(m_seeking->SetPositions(&near_end, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
}

TEST_F(WavePlaybackGraphTest, a_graph_released_while_running_stops_its_threads) {
    ASSERT_EQ(Render(MakeWav("sound.wav", 80000)), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    std::this_thread::sleep_for(100ms);
    auto released = std::async(std::launch::async, [this] { ReleaseGraph(); });
    EXPECT_EQ(released.wait_for(10s), std::future_status::ready);
    // The fixture checks that no filter, pin or allocator is left.
}

TEST_F(WavePlaybackGraphTest, a_file_cut_short_plays_what_it_has_and_completes) {
    const std::string path = m_dir.File("cut.wav");
    WavFileBuilder()
        .Channels(1)
        .Rate(8000)
        .Samples(std::vector<int16_t>(1000, 9))
        .DeclaredDataSize(1000000)
        .Write(path);
    ASSERT_EQ(Render(path), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_TRUE(WaitForEvent(EC_COMPLETE, 10s));
}

TEST_F(WavePlaybackGraphTest, media_no_renderer_takes_fails_to_render_cleanly) {
    const std::string mp3 = m_dir.File("mp3.wav");
    WavFileBuilder().Tag(0x55).Samples(std::vector<int16_t>(100, 1)).Write(mp3);
    EXPECT_TRUE(FAILED(Render(mp3)));
    const std::string garbage = m_dir.File("garbage.wav");
    std::ofstream(garbage) << "not a riff file";
    EXPECT_TRUE(FAILED(Render(garbage)));
    EXPECT_TRUE(FilterClasses().empty());
}

}  // namespace
