// The video renderer without a QApplication: the types it takes, frames shown at their clock
// times and logged, late frames dropped, the picture kept and handed out, the end of the
// stream, IBasicVideo, damaged samples, and the graph picking it to render an RGB32 pin.
#include <chrono>
#include <cstring>
#include <utility>

#include <gtest/gtest.h>

#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/graph/MediaGraphClasses.h"
#include "platform/media/video/VideoPresentationLog.h"
#include "platform/media/video/VideoQualityStats.h"
#include "platform/media/video/VideoRendererRegistration.h"
#include "tests/platform/media/video/VideoTestSupport.h"

namespace {

using namespace std::chrono_literals;
using namespace video_test;

using Times = std::vector<std::pair<REFERENCE_TIME, REFERENCE_TIME>>;

// The log as (sample start, presented at) pairs.
Times AsPairs(const std::vector<VideoPresentation>& records) {
    Times pairs;
    for (const VideoPresentation& record : records)
        pairs.emplace_back(record.sample_start, record.presented_at);
    return pairs;
}

// The pixels of the renderer's current image, bottom row first as the DIB holds them.
std::vector<uint32_t> CurrentImage(IBaseFilter* renderer, BITMAPINFOHEADER* header) {
    ComPtr<IBasicVideo> video;
    EXPECT_EQ(ComPtr<IBaseFilter>(renderer).As(&video), S_OK);
    long size = 0;
    EXPECT_EQ(video->GetCurrentImage(&size, nullptr), S_OK);
    std::vector<long> buffer((static_cast<size_t>(size) + sizeof(long) - 1) / sizeof(long));
    if (video->GetCurrentImage(&size, buffer.data()) != S_OK) return {};
    std::memcpy(header, buffer.data(), sizeof(*header));
    std::vector<uint32_t> pixels((static_cast<size_t>(size) - sizeof(*header)) / 4);
    std::memcpy(pixels.data(), reinterpret_cast<BYTE*>(buffer.data()) + sizeof(*header),
                pixels.size() * 4);
    for (uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;  // the fourth byte is undefined in RGB32
    return pixels;
}

using VideoRendererTest = VideoRendererFixture;

TEST_F(VideoRendererTest, takes_rgb32_video_info_only_and_checks_its_format_block) {
    ComPtr<IPin> input(renderer->InputPin());
    const auto answer = [&](const CMediaType& type) { return input->QueryAccept(&type); };
    EXPECT_EQ(answer(Rgb32Type(320, 240)), S_OK);
    EXPECT_EQ(answer(Rgb32Type(320, -240)), S_OK);

    CMediaType other_subtype = Rgb32Type(320, 240);
    other_subtype.SetSubtype(&MEDIASUBTYPE_RGB24);
    CMediaType video_info2 = Rgb32Type(320, 240);
    video_info2.SetFormatType(&FORMAT_VideoInfo2);
    CMediaType short_block = Rgb32Type(320, 240);
    short_block.ReallocFormatBuffer(sizeof(VIDEOINFOHEADER) - 1);
    CMediaType no_block = Rgb32Type(320, 240);
    no_block.ResetFormatBuffer();
    CMediaType audio = Rgb32Type(320, 240);
    audio.SetType(&MEDIATYPE_Audio);
    for (const CMediaType& refused :
         {other_subtype, video_info2, short_block, no_block, audio, Rgb32Type(0, 240),
          Rgb32Type(320, 0), Rgb32Type(100000, 240)}) {
        EXPECT_EQ(answer(refused), S_FALSE);
    }
    EXPECT_EQ(Connect(other_subtype), VFW_E_NO_ACCEPTABLE_TYPES);
    EXPECT_EQ(renderer->InputPin()->ReceiveConnection((*source)->OutputPin(), &other_subtype),
              VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_FALSE(renderer->InputPin()->IsConnected());
}

TEST_F(VideoRendererTest, frames_are_shown_at_their_clock_times_and_logged) {
    ASSERT_EQ(Connect(Rgb32Type(4, 2), Frames(3, 4, 2)), S_OK);
    PauseBoth();
    // The frame a pause cues is shown at once, recorded at its own time.
    ASSERT_TRUE(WaitForLog(1));
    RunBoth(0);
    EXPECT_FALSE(WaitForLog(2, 50ms));  // the clock has not reached the second frame
    clock->SetTime(kFrameTime);
    ASSERT_TRUE(WaitForLog(2));
    clock->SetTime(2 * kFrameTime + 50000);  // late, but by less than a frame
    ASSERT_TRUE(WaitForLog(3));
    EXPECT_EQ(AsPairs(Log()),
              (Times{{0, 0}, {kFrameTime, kFrameTime}, {2 * kFrameTime, 2 * kFrameTime + 50000}}));
    int drawn = 0;
    int dropped = -1;
    int sync_offset = -1;
    renderer->get_FramesDrawn(&drawn);
    renderer->get_FramesDroppedInRenderer(&dropped);
    renderer->get_AvgSyncOffset(&sync_offset);
    EXPECT_EQ(drawn, 3);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(sync_offset, 2);  // 5 ms late once in three frames
    EXPECT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));

    // Leaving the stopped state starts a new log.
    renderer->Stop();
    (*source)->Stop();
    renderer->Pause();
    EXPECT_TRUE(Log().empty());
}

TEST_F(VideoRendererTest, late_frames_are_dropped_and_counted) {
    ASSERT_EQ(Connect(Rgb32Type(4, 2), Frames(4, 4, 2)), S_OK);
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE(WaitUntil([&] { return clock->PendingAdvises() == 1; }));  // second frame waits
    // When its time comes the clock is far ahead already: the two frames after it arrive more
    // than a frame time late.
    clock->SetTime(5 * kFrameTime);
    ASSERT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
    EXPECT_EQ(AsPairs(Log()), (Times{{0, 0}, {kFrameTime, 5 * kFrameTime}}));
    int dropped = 0;
    renderer->get_FramesDroppedInRenderer(&dropped);
    EXPECT_EQ(dropped, 2);
    for (const HRESULT hr : (*source)->DeliveryResults())
        EXPECT_EQ(hr, S_OK);  // dropping is no error for the source
}

TEST_F(VideoRendererTest, the_first_frame_after_a_pause_is_shown_however_late) {
    ASSERT_EQ(Connect(Rgb32Type(4, 2), Frames(3, 4, 2)), S_OK);
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE(WaitForLog(1));
    ASSERT_TRUE(WaitUntil([&] { return clock->PendingAdvises() == 1; }));  // second frame waits
    renderer->Pause();
    clock->SetTime(50 * kFrameTime);
    renderer->Run(0);
    ASSERT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
    EXPECT_EQ(AsPairs(Log()), (Times{{0, 0}, {kFrameTime, 50 * kFrameTime}}));
    int dropped = 0;
    renderer->get_FramesDroppedInRenderer(&dropped);
    EXPECT_EQ(dropped, 1);  // the third, late as well but no longer the first
}

TEST_F(VideoRendererTest, the_picture_shown_is_handed_out_as_a_bottom_up_dib) {
    // 2 x 2, top-down: top row 1 2, bottom row 3 4.
    ASSERT_EQ(Connect(Rgb32Type(2, -2), {Frame(FrameBytes({1, 2, 3, 4}), 0)}), S_OK);
    ComPtr<IBasicVideo> video;
    ASSERT_EQ(renderer.reference.As(&video), S_OK);
    long size = 0;
    ASSERT_EQ(video->GetCurrentImage(&size, nullptr), S_OK);
    EXPECT_EQ(size, static_cast<long>(sizeof(BITMAPINFOHEADER) + 16));
    std::vector<long> buffer(64);
    EXPECT_EQ(video->GetCurrentImage(&size, buffer.data()), E_UNEXPECTED);  // nothing shown yet

    PauseBoth();
    ASSERT_TRUE(WaitForLog(1));
    BITMAPINFOHEADER header{};
    EXPECT_EQ(CurrentImage(renderer.Base(), &header), (std::vector<uint32_t>{3, 4, 1, 2}));
    EXPECT_EQ(header.biWidth, 2);
    EXPECT_EQ(header.biHeight, 2);
    EXPECT_EQ(header.biBitCount, 32);
    long too_small = size - 1;
    EXPECT_EQ(video->GetCurrentImage(&too_small, buffer.data()), E_OUTOFMEMORY);
}

TEST_F(VideoRendererTest, the_last_frame_stays_after_the_end_of_the_stream) {
    // Bottom-up frames: the DIB holds them as they came.
    std::vector<ScriptedSample> script = {Frame(FrameBytes({1, 1, 1, 1}), 0),
                                          Frame(FrameBytes({5, 6, 7, 8}), kFrameTime)};
    ASSERT_EQ(Connect(Rgb32Type(2, 2), script), S_OK);
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE(WaitForLog(1));
    EXPECT_FALSE(recording->WaitFor(EC_COMPLETE, 1, 50ms));  // the last frame is still due
    clock->SetTime(kFrameTime);
    ASSERT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
    renderer->Pause();
    BITMAPINFOHEADER header{};
    EXPECT_EQ(CurrentImage(renderer.Base(), &header), (std::vector<uint32_t>{5, 6, 7, 8}));
    renderer->Stop();
    EXPECT_EQ(CurrentImage(renderer.Base(), &header), (std::vector<uint32_t>{5, 6, 7, 8}));
}

TEST_F(VideoRendererTest, a_sample_too_short_for_a_picture_is_refused_unread) {
    std::vector<ScriptedSample> script = {Frame(std::vector<BYTE>(4 * 2 * 4 - 1, 0xAB), 0)};
    ASSERT_EQ(Connect(Rgb32Type(4, 2), script), S_OK);
    PauseBoth();
    ASSERT_TRUE((*source)->WaitUntilDone(5s));
    ASSERT_EQ((*source)->DeliveryResults().size(), 1u);
    EXPECT_TRUE(FAILED((*source)->DeliveryResults()[0]));
    EXPECT_TRUE(Log().empty());
    ComPtr<IBasicVideo> video;
    ASSERT_EQ(renderer.reference.As(&video), S_OK);
    std::vector<long> buffer(64);
    long size = static_cast<long>(buffer.size() * sizeof(long));
    EXPECT_EQ(video->GetCurrentImage(&size, buffer.data()), E_UNEXPECTED);
}

TEST_F(VideoRendererTest, basic_video_describes_the_connected_picture_and_its_rectangles) {
    ComPtr<IBasicVideo> video;
    ComPtr<IVideoWindow> window;
    ASSERT_EQ(renderer.reference.As(&video), S_OK);
    ASSERT_EQ(renderer.reference.As(&window), S_OK);
    long width = 0;
    long height = 0;
    EXPECT_EQ(video->GetVideoSize(&width, &height), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(window->put_Visible(OATRUE), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(window->NotifyOwnerMessage(0, 0, 0, 0), VFW_E_NOT_CONNECTED);

    ASSERT_EQ(Connect(Rgb32Type(320, -240, 333667)), S_OK);
    EXPECT_EQ(video->GetVideoSize(&width, &height), S_OK);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    REFTIME frame_time = 0;
    EXPECT_EQ(video->get_AvgTimePerFrame(&frame_time), S_OK);
    EXPECT_DOUBLE_EQ(frame_time, 0.0333667);
    long bit_rate = 0;
    EXPECT_EQ(video->get_BitRate(&bit_rate), S_OK);
    EXPECT_EQ(bit_rate, 1234);

    long left = -1;
    long top = -1;
    EXPECT_EQ(video->IsUsingDefaultSource(), S_OK);
    EXPECT_EQ(video->SetSourcePosition(300, 0, 40, 240), E_INVALIDARG);  // past the right edge
    EXPECT_EQ(video->SetSourcePosition(10, 20, 100, 50), S_OK);
    EXPECT_EQ(video->IsUsingDefaultSource(), S_FALSE);
    EXPECT_EQ(video->GetSourcePosition(&left, &top, &width, &height), S_OK);
    EXPECT_EQ((std::vector<long>{left, top, width, height}), (std::vector<long>{10, 20, 100, 50}));

    // The destination is the whole window, which takes the picture's size, until set.
    EXPECT_EQ(video->GetDestinationPosition(&left, &top, &width, &height), S_OK);
    EXPECT_EQ((std::vector<long>{left, top, width, height}), (std::vector<long>{0, 0, 320, 240}));
    EXPECT_EQ(window->SetWindowPosition(0, 0, 640, 480), S_OK);
    EXPECT_EQ(video->get_DestinationWidth(&width), S_OK);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(video->put_DestinationHeight(0), E_INVALIDARG);
    EXPECT_EQ(video->put_DestinationLeft(8), S_OK);
    EXPECT_EQ(video->IsUsingDefaultDestination(), S_FALSE);
    EXPECT_EQ(video->GetDestinationPosition(&left, &top, &width, &height), S_OK);
    EXPECT_EQ((std::vector<long>{left, top, width, height}), (std::vector<long>{8, 0, 640, 480}));
    long retrieved = 0;
    EXPECT_EQ(video->GetVideoPaletteEntries(0, 1, &retrieved, &left), E_NOTIMPL);
}

TEST(VideoPresentationLog, keeps_the_latest_records_oldest_first) {
    VideoPresentationLog log(3);
    for (REFERENCE_TIME i = 1; i <= 5; ++i)
        log.Add({i, i * 10});
    VideoPresentation records[4] = {};
    ASSERT_EQ(log.Copy(4, records), 3u);
    EXPECT_EQ(records[0].sample_start, 3);
    EXPECT_EQ(records[2].presented_at, 50);
    ASSERT_EQ(log.Copy(1, records), 1u);
    EXPECT_EQ(records[0].sample_start, 3);
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
    log.Add({7, 70});
    EXPECT_EQ(log.Copy(4, records), 1u);
    EXPECT_EQ(records[0].sample_start, 7);
}

TEST(VideoQualityStats, figures_of_frames_shown_40_ms_apart_with_alternating_lateness) {
    VideoQualityStats stats;
    // 26 frames due every 40 ms, every other one shown 10 ms late.
    for (int i = 0; i < 26; ++i) {
        const REFERENCE_TIME due = i * 400000;
        stats.FrameDrawn(due, due + (i % 2) * 100000);
    }
    stats.FrameDropped();
    EXPECT_EQ(stats.Drawn(), 26);
    EXPECT_EQ(stats.Dropped(), 1);
    EXPECT_EQ(stats.AverageFrameRate(), 2500 * 1000 / 1010);  // 25 gaps over 1.01 s
    EXPECT_EQ(stats.Jitter(), 10);                            // gaps of 50 and 30 ms
    EXPECT_EQ(stats.AverageSyncOffset(), 5);
    EXPECT_EQ(stats.SyncOffsetDeviation(), 5);
    stats.Reset();
    EXPECT_EQ(stats.AverageFrameRate(), 0);
}

TEST(VideoRendererGraph, rendering_an_rgb32_pin_brings_in_the_video_renderer) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    RegisterMediaGraphClasses();
    RegisterVideoRendererClass();
    ASSERT_EQ(WriteVideoRendererRegistration(), S_OK);
    {
        ComPtr<IGraphBuilder> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(graph.GetAddressOf())),
                  S_OK);
        Held<TestSourceFilter> source(Rgb32Type(16, 16));
        ASSERT_EQ(graph->AddFilter(source.Base(), u"Source"), S_OK);
        ASSERT_EQ(graph->Render(source->OutputPin()), S_OK);
        ComPtr<IPin> peer;
        ASSERT_EQ(source->OutputPin()->ConnectedTo(peer.GetAddressOf()), S_OK);
        PIN_INFO info{};
        ASSERT_EQ(peer->QueryPinInfo(&info), S_OK);
        CLSID clsid{};
        info.pFilter->GetClassID(&clsid);
        info.pFilter->Release();
        EXPECT_EQ(clsid, CLSID_VideoRenderer);
        EXPECT_EQ(std::u16string(info.achName), u"Input");
        ComPtr<IVideoWindow> window;  // the graph forwards to it
        ASSERT_EQ(graph.As(&window), S_OK);
        EXPECT_EQ(window->put_AutoShow(OAFALSE), S_OK);
    }
    CoUninitialize();
}

}  // namespace
