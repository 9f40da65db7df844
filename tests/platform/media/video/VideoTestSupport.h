// What the video renderer tests share: RGB32 media types and frames, a source-to-renderer
// fixture on a stand-in graph with a test clock, and bounded polling.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media/amvideo.h"
#include "platform/media/uuids.h"
#include "platform/media/video/VideoRendererFilter.h"
#include "tests/platform/media/base/MediaTestHelpers.h"
#include "tests/platform/media/support/RecordingGraph.h"
#include "tests/platform/media/support/TestClock.h"
#include "tests/platform/media/support/TestSourceFilter.h"

namespace video_test {

constexpr REFERENCE_TIME kFrameTime = 400000;  // 25 frames a second

// A negative height makes a top-down picture.
inline CMediaType Rgb32Type(LONG width, LONG height, REFERENCE_TIME frame_time = kFrameTime) {
    CMediaType type(&MEDIATYPE_Video);
    type.SetSubtype(&MEDIASUBTYPE_RGB32);
    type.SetFormatType(&FORMAT_VideoInfo);
    VIDEOINFOHEADER info{};
    info.AvgTimePerFrame = frame_time;
    info.dwBitRate = 1234;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DIBSIZE(info.bmiHeader);
    type.SetFormat(reinterpret_cast<const BYTE*>(&info), sizeof(info));
    return type;
}

// Pixels as a DIB holds them, B G R X, row after row as stored.
inline std::vector<BYTE> FrameBytes(const std::vector<uint32_t>& pixels) {
    std::vector<BYTE> bytes;
    for (uint32_t pixel : pixels) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<BYTE>(pixel >> shift));
    }
    return bytes;
}

inline ScriptedSample Frame(std::vector<BYTE> bytes, REFERENCE_TIME start) {
    ScriptedSample sample;
    sample.data = std::move(bytes);
    sample.start = start;
    sample.stop = start + kFrameTime;
    return sample;
}

// The grey of frame `index` of Frames (up to 30 frames).
inline uint32_t FrameGrey(int index) {
    return static_cast<uint32_t>(0x080808 * (index + 1));
}

// Frames of `width` x `height` in one grey each, one frame time apart from 0.
inline std::vector<ScriptedSample> Frames(int count, int width, int height) {
    std::vector<ScriptedSample> script;
    for (int i = 0; i < count; ++i) {
        const uint32_t pixel = FrameGrey(i);
        const std::vector<uint32_t> pixels(static_cast<size_t>(width * height), pixel);
        script.push_back(Frame(FrameBytes(pixels), i * kFrameTime));
    }
    return script;
}

template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A test source connected to a video renderer in a stand-in graph, both on a test clock.
class VideoRendererFixture : public ::testing::Test {
protected:
    void SetUp() override {
        graph = static_cast<IFilterGraph*>(recording);
        clock_reference = static_cast<IReferenceClock*>(clock);
        ASSERT_EQ(graph->AddFilter(renderer.Base(), u"Video Renderer"), S_OK);
    }
    void TearDown() override {
        renderer->Stop();
        if (source) {
            (*source)->Stop();
            (*source)->OutputPin()->Disconnect();
        }
        renderer->InputPin()->Disconnect();
        renderer->SetSyncSource(nullptr);
        if (source) (*source)->SetSyncSource(nullptr);
        recording->RemoveAll();
    }

    HRESULT Connect(const CMediaType& type, std::vector<ScriptedSample> script = {}) {
        source = std::make_unique<Held<TestSourceFilter>>(type);
        (*source)->SetScript(std::move(script));
        graph->AddFilter(source->Base(), u"Source");
        renderer->SetSyncSource(clock_reference.Get());
        (*source)->SetSyncSource(clock_reference.Get());
        return (*source)->OutputPin()->Connect(renderer->InputPin(), nullptr);
    }
    void PauseBoth() {
        renderer->Pause();
        (*source)->Pause();
    }
    void RunBoth(REFERENCE_TIME start) {
        renderer->Run(start);
        (*source)->Run(start);
    }
    std::vector<VideoPresentation> Log() {
        std::vector<VideoPresentation> records(VideoRendererFilter::kLogCapacity);
        ULONG count = 0;
        EXPECT_EQ(
            renderer->GetPresentations(static_cast<ULONG>(records.size()), records.data(), &count),
            S_OK);
        records.resize(count);
        return records;
    }
    bool WaitForLog(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        return WaitUntil([&] { return Log().size() >= count; }, timeout);
    }

    NoObjectLeftBehind check;
    RecordingGraph* recording = new RecordingGraph();
    ComPtr<IFilterGraph> graph;
    TestClock* clock = new TestClock();
    ComPtr<IReferenceClock> clock_reference;
    Held<VideoRendererFilter> renderer;
    std::unique_ptr<Held<TestSourceFilter>> source;
};

}  // namespace video_test
