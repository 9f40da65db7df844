// Running, pausing and stopping a graph: the order in which filters hear of it, GetState,
// the clock, completion and the end of a graph that is released while it runs.
#include <algorithm>
#include <string>

#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/platform/media/graph/TestSink.h"
#include "tests/platform/media/graph/TestSource.h"
#include "tests/platform/media/graph/TestTransform.h"

namespace {

constexpr int kBoundMs = 10'000;

class GraphState : public GraphTest {
protected:
    // A source of `duration` feeding a renderer, both in the graph and connected.
    void BuildChain(REFERENCE_TIME duration, TransitionJournal* journal = nullptr,
                    bool sink_clock = false) {
        TestSource::Options source_options;
        source_options.duration = duration;
        source_options.journal = journal;
        TestSink::Options sink_options;
        sink_options.journal = journal;
        sink_options.offer_clock = sink_clock;
        source = Own(new TestSource(source_options));
        sink = Own(new TestSink(sink_options));
        ASSERT_EQ(Add(source.Get(), u"Source"), S_OK);
        ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(source->OutputPin(), sink->InputPin(), nullptr), S_OK);
    }

    OAFilterState State(LONG timeout_ms = 0, HRESULT* result = nullptr) {
        OAFilterState state = -1;
        const HRESULT hr = m_control->GetState(timeout_ms, &state);
        if (result) *result = hr;
        return state;
    }

    ComPtr<TestSource> source;
    ComPtr<TestSink> sink;
};

TEST_F(GraphState, run_from_stopped_passes_through_paused_downstream_first) {
    TransitionJournal journal;
    BuildChain(200 * kMs, &journal);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_EQ(State(kBoundMs), State_Running);
    ASSERT_TRUE(SUCCEEDED(m_control->Stop()));
    // A running filter that stops goes through paused on its own.
    const std::vector<std::string> expected = {"sink:pause",   "source:pause", "sink:run",
                                               "source:run",   "sink:pause",   "sink:stop",
                                               "source:pause", "source:stop"};
    EXPECT_EQ(journal.Entries(), expected);
    EXPECT_EQ(State(), State_Stopped);
}

TEST_F(GraphState, pause_and_run_again_change_only_what_must_change) {
    TransitionJournal journal;
    BuildChain(10'000 * kMs, &journal);
    EXPECT_TRUE(SUCCEEDED(m_control->Pause()));
    EXPECT_EQ(State(kBoundMs), State_Paused);
    EXPECT_EQ(m_control->Pause(), S_OK);  // already paused
    EXPECT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_EQ(m_control->Run(), S_OK);  // already running
    EXPECT_TRUE(SUCCEEDED(m_control->Pause()));
    const std::vector<std::string> expected = {"sink:pause", "source:pause", "sink:run",
                                               "source:run", "sink:pause",   "source:pause"};
    EXPECT_EQ(journal.Entries(), expected);
    EXPECT_EQ(m_control->Stop(), S_OK);
    EXPECT_EQ(m_control->Stop(), S_OK);
}

TEST_F(GraphState, get_state_is_intermediate_while_a_renderer_waits_for_data) {
    // A transform feeds the renderer but never sends anything: the renderer cannot preroll.
    const GUID clsid = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4A11");
    auto silent = Own(
        new TestTransform(clsid, MEDIATYPE_Stream, GUID_NULL, MEDIATYPE_Audio, MEDIASUBTYPE_PCM));
    auto renderer = Own(new TestSink(TestSink::Options{}));
    ASSERT_EQ(Add(silent.Get(), u"Silent"), S_OK);
    ASSERT_EQ(Add(renderer.Get(), u"Renderer"), S_OK);
    ComPtr<IPin> output;
    ASSERT_EQ(silent->FindPin(u"Out", output.GetAddressOf()), S_OK);
    ASSERT_EQ(m_graph->ConnectDirect(output.Get(), renderer->InputPin(), nullptr), S_OK);

    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    HRESULT hr = S_OK;
    EXPECT_EQ(State(50, &hr), State_Paused);
    EXPECT_EQ(hr, VFW_S_STATE_INTERMEDIATE);
    ASSERT_TRUE(SUCCEEDED(m_control->Stop()));
    EXPECT_EQ(State(50, &hr), State_Stopped);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(m_control->GetState(0, nullptr), E_POINTER);
}

TEST_F(GraphState, get_state_is_complete_once_the_renderer_has_prerolled) {
    BuildChain(1000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    HRESULT hr = E_FAIL;
    EXPECT_EQ(State(kBoundMs, &hr), State_Paused);
    EXPECT_EQ(hr, S_OK);
}

TEST_F(GraphState, the_clock_is_a_renderers_when_one_offers_it_else_the_system_clock) {
    ComPtr<IMediaFilter> graph_filter;
    ASSERT_EQ(m_graph.As(&graph_filter), S_OK);
    BuildChain(100 * kMs, nullptr, /*sink_clock=*/true);
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(graph_filter->GetSyncSource(clock.GetAddressOf()), S_OK);
    ComPtr<IReferenceClock> sink_clock;
    ASSERT_EQ(sink.As(&sink_clock), S_OK);
    EXPECT_EQ(clock.Get(), sink_clock.Get());
    EXPECT_EQ(source->Clock().Get(), sink_clock.Get());  // every filter got it
    ASSERT_EQ(m_control->Stop(), S_OK);

    // Without the renderer, the system clock takes over.
    ASSERT_EQ(m_graph->RemoveFilter(sink.Get()), S_OK);
    EXPECT_EQ(source->Clock(), nullptr);
    EXPECT_EQ(sink->Clock(), nullptr);  // the filter that left holds no clock either
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    ASSERT_EQ(graph_filter->GetSyncSource(clock.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_NE(clock, nullptr);
    EXPECT_NE(clock.Get(), sink_clock.Get());
    EXPECT_EQ(source->Clock().Get(), clock.Get());
}

TEST_F(GraphState, a_clock_is_set_only_while_stopped) {
    ComPtr<IMediaFilter> graph_filter;
    ASSERT_EQ(m_graph.As(&graph_filter), S_OK);
    BuildChain(100 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    EXPECT_EQ(graph_filter->SetSyncSource(nullptr), VFW_E_NOT_STOPPED);
    EXPECT_EQ(m_graph->SetDefaultSyncSource(), VFW_E_NOT_STOPPED);
    ASSERT_EQ(m_control->Stop(), S_OK);
    EXPECT_EQ(graph_filter->SetSyncSource(nullptr), S_OK);
    EXPECT_EQ(sink->Clock(), nullptr);
    EXPECT_EQ(m_graph->SetDefaultSyncSource(), S_OK);
    EXPECT_NE(sink->Clock(), nullptr);
}

TEST_F(GraphState, without_a_clock_the_streams_run_as_fast_as_they_can) {
    ComPtr<IMediaFilter> graph_filter;
    ASSERT_EQ(m_graph.As(&graph_filter), S_OK);
    BuildChain(36'000'000 * kMs);  // ten hours of samples: only possible without a clock
    ASSERT_EQ(graph_filter->SetSyncSource(nullptr), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_TRUE(sink->WaitForRendered(2000, kBoundMs));
    ASSERT_EQ(m_control->Stop(), S_OK);
}

TEST_F(GraphState, pause_then_run_resumes_without_a_gap_or_a_repeat) {
    BuildChain(400 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_TRUE(sink->WaitForRendered(static_cast<size_t>(5 * (cycle + 1)), kBoundMs));
        ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
        const LONGLONG paused_at = Position();
        Sleep(30);
        EXPECT_EQ(Position(), paused_at) << "the position stands still while paused";
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    }
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    const std::vector<LONGLONG> rendered = sink->Rendered();
    ASSERT_EQ(rendered.size(), 40u);
    for (size_t i = 0; i < rendered.size(); ++i)
        EXPECT_EQ(rendered[i], static_cast<LONGLONG>(i));
}

TEST_F(GraphState, position_follows_the_clock_while_running) {
    BuildChain(5000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(sink->WaitForRendered(3, kBoundMs));
    const LONGLONG first = Position();
    Sleep(60);
    const LONGLONG second = Position();
    EXPECT_GE(second - first, 50 * kMs);
    EXPECT_LE(second, 5000 * kMs);
}

TEST_F(GraphState, a_filter_that_fails_to_start_leaves_the_whole_graph_stopped) {
    TestSource::Options failing;
    failing.fail_activate = true;
    source = Own(new TestSource(failing));
    sink = Own(new TestSink(TestSink::Options{}));
    ASSERT_EQ(Add(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(Add(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(m_graph->ConnectDirect(source->OutputPin(), sink->InputPin(), nullptr), S_OK);
    EXPECT_EQ(m_control->Run(), E_FAIL);
    // The renderer was paused before the source failed; it is stopped again.
    EXPECT_EQ(sink->State(), State_Stopped);
    EXPECT_EQ(source->State(), State_Stopped);
    EXPECT_EQ(State(), State_Stopped);
}

TEST_F(GraphState, releasing_a_running_graph_stops_its_filters_and_their_threads) {
    BuildChain(10'000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(sink->WaitForRendered(2, kBoundMs));
    ReleaseGraph();
    EXPECT_EQ(source->State(), State_Stopped);
    EXPECT_EQ(sink->State(), State_Stopped);
    EXPECT_FALSE(source->ThreadRunning());
    ComPtr<IPin> peer;
    EXPECT_EQ(sink->InputPin()->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(source.Reset(), 0u);
    EXPECT_EQ(sink.Reset(), 0u);
}

TEST_F(GraphState, removing_a_filter_from_a_running_graph_stops_the_graph_first) {
    BuildChain(10'000 * kMs);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(sink->WaitForRendered(1, kBoundMs));
    ASSERT_EQ(m_graph->RemoveFilter(sink.Get()), S_OK);
    EXPECT_EQ(State(), State_Stopped);
    EXPECT_FALSE(source->ThreadRunning());
}

}  // namespace
