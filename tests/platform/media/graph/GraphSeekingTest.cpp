// Seeking the graph: duration, positions, what a seek does to the streams, a stop that
// rewinds, and a storm of seeks that must neither hang nor lose the end of the stream.
#include <random>

#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/platform/media/graph/TestSink.h"
#include "tests/platform/media/graph/TestSource.h"

namespace {

constexpr int kBoundMs = 10'000;
constexpr REFERENCE_TIME kSample = 100'000;  // the test source's sample length, 10 ms

class GraphSeeking : public GraphTest {
protected:
    void AddChain(REFERENCE_TIME duration, bool seekable = true) {
        TestSource::Options options;
        options.duration = duration;
        options.seekable = seekable;
        sources.push_back(Own(new TestSource(options)));
        sinks.push_back(Own(new TestSink(TestSink::Options{})));
        ASSERT_EQ(Add(sources.back().Get(), nullptr), S_OK);
        ASSERT_EQ(Add(sinks.back().Get(), nullptr), S_OK);
        ASSERT_EQ(
            m_graph->ConnectDirect(sources.back()->OutputPin(), sinks.back()->InputPin(), nullptr),
            S_OK);
    }

    HRESULT SeekTo(LONGLONG position) {
        return m_seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                       AM_SEEKING_NoPositioning);
    }

    std::vector<ComPtr<TestSource>> sources;
    std::vector<ComPtr<TestSink>> sinks;
};

TEST_F(GraphSeeking, duration_is_the_longest_stream_and_media_time_is_the_only_format) {
    LONGLONG duration = -1;
    EXPECT_EQ(m_seeking->GetDuration(&duration), E_NOTIMPL);  // nothing to ask yet
    EXPECT_EQ(duration, 0);
    AddChain(2000 * kMs);
    AddChain(3500 * kMs);
    ASSERT_EQ(m_seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 3500 * kMs);
    REFTIME seconds = 0;
    ASSERT_EQ(m_position->get_Duration(&seconds), S_OK);
    EXPECT_DOUBLE_EQ(seconds, 3.5);

    EXPECT_EQ(m_seeking->IsFormatSupported(&TIME_FORMAT_MEDIA_TIME), S_OK);
    EXPECT_EQ(m_seeking->IsFormatSupported(&TIME_FORMAT_FRAME), S_FALSE);
    EXPECT_EQ(m_seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME), S_OK);
    EXPECT_EQ(m_seeking->SetTimeFormat(&TIME_FORMAT_BYTE), E_INVALIDARG);
    GUID format{};
    ASSERT_EQ(m_seeking->GetTimeFormat(&format), S_OK);
    EXPECT_EQ(format, TIME_FORMAT_MEDIA_TIME);
}

TEST_F(GraphSeeking, a_renderer_without_seeking_is_passed_by_to_its_source) {
    AddChain(1234 * kMs);
    DWORD capabilities = 0;
    ASSERT_EQ(m_seeking->GetCapabilities(&capabilities), S_OK);
    EXPECT_TRUE(capabilities & AM_SEEKING_CanSeekAbsolute);
    EXPECT_TRUE(capabilities & AM_SEEKING_CanGetCurrentPos);
    LONG forward = OAFALSE;
    ASSERT_EQ(m_position->CanSeekForward(&forward), S_OK);
    EXPECT_EQ(forward, OATRUE);
    LONGLONG stop = 0;
    ASSERT_EQ(m_seeking->GetStopPosition(&stop), S_OK);
    EXPECT_EQ(stop, 1234 * kMs);
}

TEST_F(GraphSeeking, a_graph_that_cannot_seek_says_so_and_keeps_its_place) {
    AddChain(1000 * kMs, /*seekable=*/false);
    EXPECT_EQ(SeekTo(500 * kMs), E_NOTIMPL);
    EXPECT_EQ(Position(), 0);
    LONG forward = OATRUE;
    ASSERT_EQ(m_position->CanSeekForward(&forward), S_OK);
    EXPECT_EQ(forward, OAFALSE);
}

TEST_F(GraphSeeking, a_seek_while_paused_flushes_and_starts_a_segment_at_the_target) {
    AddChain(2000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    const int flushes = sinks[0]->Flushes();
    ASSERT_EQ(SeekTo(700 * kMs), S_OK);
    EXPECT_EQ(sinks[0]->Flushes(), flushes + 1);
    EXPECT_EQ(Position(), 700 * kMs);
    OAFilterState state = -1;
    EXPECT_EQ(m_control->GetState(kBoundMs, &state), S_OK);  // prerolled again
    EXPECT_EQ(state, State_Paused);
    EXPECT_EQ(sinks[0]->LastSegmentStart(), 700 * kMs);

    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(sinks[0]->WaitForRendered(1, kBoundMs));
    EXPECT_EQ(sinks[0]->Rendered().front(), 70) << "the first sample rendered is the target's";
}

TEST_F(GraphSeeking, a_seek_while_running_lands_within_one_sample_and_keeps_running) {
    AddChain(5000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(sinks[0]->WaitForRendered(3, kBoundMs));
    ASSERT_EQ(SeekTo(3000 * kMs), S_OK);
    const LONGLONG after = Position();
    EXPECT_GE(after, 3000 * kMs);
    EXPECT_LT(after, 3000 * kMs + 5 * kSample);
    sinks[0]->ClearRecord();
    ASSERT_TRUE(sinks[0]->WaitForRendered(3, kBoundMs));
    const std::vector<LONGLONG> rendered = sinks[0]->Rendered();
    EXPECT_EQ(rendered[0], 300);
    EXPECT_EQ(rendered[1], 301);
    OAFilterState state = -1;
    m_control->GetState(kBoundMs, &state);
    EXPECT_EQ(state, State_Running);
}

TEST_F(GraphSeeking, the_stop_position_stays_when_only_the_current_one_moves) {
    AddChain(3000 * kMs);
    LONGLONG stop = 2000 * kMs;
    ASSERT_EQ(m_seeking->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop,
                                      AM_SEEKING_AbsolutePositioning),
              S_OK);
    ASSERT_EQ(SeekTo(500 * kMs), S_OK);
    LONGLONG current = 0;
    ASSERT_EQ(m_seeking->GetPositions(&current, &stop), S_OK);
    EXPECT_EQ(current, 500 * kMs);
    EXPECT_EQ(stop, 2000 * kMs);
    EXPECT_EQ(sources[0]->SeekCount(), 2);
}

TEST_F(GraphSeeking, relative_seeks_and_returned_times) {
    AddChain(3000 * kMs);
    ASSERT_EQ(SeekTo(1000 * kMs), S_OK);
    LONGLONG step = 250 * kMs;
    ASSERT_EQ(m_seeking->SetPositions(&step, AM_SEEKING_RelativePositioning | AM_SEEKING_ReturnTime,
                                      nullptr, AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(step, 1250 * kMs);
    LONGLONG back = -5000 * kMs;
    ASSERT_EQ(m_seeking->SetPositions(&back, AM_SEEKING_RelativePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(Position(), 0) << "a seek before the start lands on the start";
    EXPECT_EQ(m_seeking->SetPositions(nullptr, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              E_POINTER);
}

TEST_F(GraphSeeking, positions_in_seconds_convert_to_100ns_units) {
    AddChain(3000 * kMs);
    ASSERT_EQ(m_position->put_CurrentPosition(1.23456789), S_OK);
    EXPECT_EQ(Position(), 12'345'679);
    REFTIME seconds = 0;
    ASSERT_EQ(m_position->get_CurrentPosition(&seconds), S_OK);
    EXPECT_DOUBLE_EQ(seconds, 1.2345679);
    ASSERT_EQ(m_position->put_StopTime(2.5), S_OK);
    ASSERT_EQ(m_position->get_StopTime(&seconds), S_OK);
    EXPECT_DOUBLE_EQ(seconds, 2.5);
    EXPECT_EQ(m_position->put_Rate(1.0), S_OK);
    EXPECT_EQ(m_position->put_Rate(0.0), E_INVALIDARG);
    EXPECT_EQ(m_position->put_CurrentPosition(1e300), S_OK) << "saturates, no overflow";
}

TEST_F(GraphSeeking, stop_keeps_the_place_and_a_seek_to_zero_plays_from_the_start) {
    AddChain(2000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(sinks[0]->WaitForRendered(5, kBoundMs));
    ASSERT_EQ(m_control->Stop(), S_OK);
    const LONGLONG stopped_at = Position();
    EXPECT_GT(stopped_at, 0);
    EXPECT_EQ(Position(), stopped_at);

    ASSERT_EQ(m_position->put_CurrentPosition(0.0), S_OK);
    EXPECT_EQ(Position(), 0);
    sinks[0]->ClearRecord();
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(sinks[0]->WaitForRendered(1, kBoundMs));
    EXPECT_EQ(sinks[0]->Rendered().front(), 0);
    EXPECT_EQ(sinks[0]->LastSegmentStart(), 0);
}

TEST_F(GraphSeeking, position_stops_at_the_end_of_the_stream) {
    AddChain(80 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    Sleep(30);
    EXPECT_EQ(Position(), 80 * kMs);
}

TEST_F(GraphSeeking, a_storm_of_seeks_while_running_neither_hangs_nor_loses_the_end) {
    AddChain(3000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    std::mt19937 random(1234);
    std::uniform_int_distribution<LONGLONG> anywhere(0, 2900 * kMs);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(SeekTo(anywhere(random)), S_OK) << "seek " << i;
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "seek " << i;
    }
    EXPECT_EQ(sources[0]->SeekCount(), 1001);  // the start, then every seek
    // Near the end now: the stream must still end and the graph report it.
    ASSERT_EQ(SeekTo(2950 * kMs), S_OK);
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    const std::vector<LONGLONG> rendered = sinks[0]->Rendered();
    ASSERT_FALSE(rendered.empty());
    EXPECT_EQ(rendered.back(), 299);
    EXPECT_EQ(m_control->Stop(), S_OK);
}

}  // namespace
