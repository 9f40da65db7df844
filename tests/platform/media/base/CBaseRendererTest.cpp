// CBaseRenderer conformance: preroll in pause, rendering on the clock, end of stream as one
// EC_COMPLETE, pause and run without a gap or a repeat, the ways out of the clock wait
// (stop, flush), seeking passed upstream, and no reference left behind.
#include <chrono>
#include <future>

#include <gtest/gtest.h>

#include "platform/media/evcode.h"
#include "tests/platform/media/base/MediaTestHelpers.h"
#include "tests/platform/media/support/RecordingGraph.h"
#include "tests/platform/media/support/TestClock.h"
#include "tests/platform/media/support/TestRenderer.h"
#include "tests/platform/media/support/TestSourceFilter.h"

namespace {

using namespace std::chrono_literals;

std::vector<ScriptedSample> TimedScript(std::initializer_list<REFERENCE_TIME> starts) {
    std::vector<ScriptedSample> script;
    BYTE tag = 1;
    for (REFERENCE_TIME start : starts) {
        ScriptedSample sample;
        sample.data.assign(16, tag++);
        sample.start = start;
        sample.stop = start + 1000;
        script.push_back(sample);
    }
    return script;
}

class CBaseRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        graph = static_cast<IFilterGraph*>(recording);
        clock_reference = static_cast<IReferenceClock*>(clock);
        ASSERT_EQ(graph->AddFilter(source.Base(), u"Source"), S_OK);
        ASSERT_EQ(graph->AddFilter(renderer.Base(), u"Renderer"), S_OK);
        ASSERT_EQ(source->OutputPin()->Connect(renderer->InputPin(), nullptr), S_OK);
        renderer->SetSyncSource(clock_reference.Get());
        source->SetSyncSource(clock_reference.Get());
    }
    void TearDown() override {
        renderer->Stop();
        source->Stop();
        source->OutputPin()->Disconnect();
        renderer->InputPin()->Disconnect();
        renderer->SetSyncSource(nullptr);
        source->SetSyncSource(nullptr);
        recording->RemoveAll();
    }
    void PauseBoth() {
        renderer->Pause();
        source->Pause();
    }
    void RunBoth(REFERENCE_TIME start) {
        renderer->Run(start);
        source->Run(start);
    }
    std::vector<REFERENCE_TIME> RenderedStarts() {
        std::vector<REFERENCE_TIME> starts;
        for (const auto& sample : renderer->Rendered())
            starts.push_back(sample.start);
        return starts;
    }

    NoObjectLeftBehind check;
    RecordingGraph* recording = new RecordingGraph();
    ComPtr<IFilterGraph> graph;
    TestClock* clock = new TestClock();
    ComPtr<IReferenceClock> clock_reference;
    Held<TestSourceFilter> source{AudioPcmType()};
    Held<TestRenderer> renderer{MEDIATYPE_Audio};
};

TEST_F(CBaseRendererTest, pause_completes_only_when_the_first_sample_arrives) {
    source->SetScript(TimedScript({0, 1000}));
    EXPECT_EQ(renderer->Pause(), S_FALSE);
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(renderer->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);
    ASSERT_EQ(source->Pause(), S_OK);
    EXPECT_EQ(renderer->GetState(5000, &state), S_OK);
    EXPECT_EQ(renderer->FirstSamplesHeld(), 1);
    EXPECT_TRUE(renderer->Rendered().empty());  // held, not rendered, while paused
}

TEST_F(CBaseRendererTest, running_renders_each_sample_when_the_clock_reaches_it) {
    source->SetScript(TimedScript({0, 1000, 2000}));
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE(renderer->WaitForRendered(1, 5s));
    EXPECT_FALSE(renderer->WaitForRendered(2, 50ms));
    clock->SetTime(1000);
    ASSERT_TRUE(renderer->WaitForRendered(2, 5s));
    EXPECT_EQ(renderer->Rendered()[1].stream_time, 1000);
    clock->SetTime(2500);
    ASSERT_TRUE(renderer->WaitForRendered(3, 5s));
    EXPECT_EQ(RenderedStarts(), (std::vector<REFERENCE_TIME>{0, 1000, 2000}));
}

TEST_F(CBaseRendererTest, the_run_start_time_shifts_every_sample) {
    source->SetScript(TimedScript({0}));
    clock->SetTime(10000);
    PauseBoth();
    RunBoth(50000);  // stream time 0 is reference time 50000
    EXPECT_FALSE(renderer->WaitForRendered(1, 50ms));
    clock->SetTime(50000);
    EXPECT_TRUE(renderer->WaitForRendered(1, 5s));
}

TEST_F(CBaseRendererTest, end_of_stream_after_the_last_sample_gives_one_ec_complete) {
    source->SetScript(TimedScript({0, 1000}));
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE(renderer->WaitForRendered(1, 5s));
    EXPECT_FALSE(recording->WaitFor(EC_COMPLETE, 1, 50ms));  // one sample still to come
    clock->SetTime(1000);
    ASSERT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
    EXPECT_EQ(renderer->Rendered().size(), 2u);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(recording->CountOf(EC_COMPLETE), 1);
    EXPECT_EQ(recording->Events().back().param2, reinterpret_cast<LONG_PTR>(renderer.Base()));
}

TEST_F(CBaseRendererTest, end_of_stream_while_paused_completes_the_pause_and_is_sent_on_run) {
    source->SetScript({});
    EXPECT_EQ(renderer->Pause(), S_FALSE);
    ASSERT_EQ(source->Pause(), S_OK);
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(renderer->GetState(5000, &state), S_OK);
    EXPECT_EQ(recording->CountOf(EC_COMPLETE), 0);
    RunBoth(0);
    EXPECT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
}

TEST_F(CBaseRendererTest, pause_and_run_resume_without_a_gap_or_a_repeat) {
    source->SetScript(TimedScript({0, 1000, 2000, 3000}));
    PauseBoth();
    RunBoth(0);
    clock->SetTime(1000);
    ASSERT_TRUE(renderer->WaitForRendered(2, 5s));
    renderer->Pause();
    source->Pause();
    clock->SetTime(6000);  // time passes while paused: nothing is rendered
    EXPECT_FALSE(renderer->WaitForRendered(3, 50ms));
    // The graph resumes with the start moved by the pause: stream time goes on at 1000.
    RunBoth(5000);
    clock->SetTime(7000);
    ASSERT_TRUE(renderer->WaitForRendered(3, 5s));
    clock->SetTime(8000);
    ASSERT_TRUE(renderer->WaitForRendered(4, 5s));
    EXPECT_EQ(RenderedStarts(), (std::vector<REFERENCE_TIME>{0, 1000, 2000, 3000}));
}

TEST_F(CBaseRendererTest, stop_releases_a_sample_waiting_for_its_time) {
    source->SetScript(TimedScript({50000000}));
    PauseBoth();
    RunBoth(0);
    // The sample waits for 5 s of clock time that never comes.
    for (int i = 0; i < 500 && clock->PendingAdvises() == 0; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(clock->PendingAdvises(), 1u);
    auto stopped = std::async(std::launch::async, [&] {
        renderer->Stop();
        source->Stop();
    });
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(renderer->Rendered().empty());
    EXPECT_EQ(clock->PendingAdvises(), 0u);  // the advise was taken back
    EXPECT_TRUE(source->WaitUntilDone(1s));
}

TEST_F(CBaseRendererTest, flush_releases_a_waiting_sample_and_drops_it) {
    source->SetScript(TimedScript({50000000}));
    PauseBoth();
    RunBoth(0);
    ASSERT_TRUE(source->WaitUntilDone(50ms) == false);
    auto flushed = std::async(std::launch::async, [&] {
        source->OutputPin()->DeliverBeginFlush();
        source->OutputPin()->DeliverEndFlush();
    });
    ASSERT_EQ(flushed.wait_for(5s), std::future_status::ready);
    ASSERT_TRUE(source->WaitUntilDone(5s));
    clock->SetTime(60000000);
    EXPECT_FALSE(renderer->WaitForRendered(1, 50ms));  // dropped, not rendered late
    EXPECT_EQ(clock->PendingAdvises(), 0u);
}

TEST_F(CBaseRendererTest, stop_releases_a_renderer_waiting_to_render) {
    renderer->wait_in_prepare = true;
    source->SetScript(TimedScript({0}));
    PauseBoth();
    RunBoth(0);
    for (int i = 0; i < 2000 && renderer->prepare_waits == 0; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(renderer->prepare_waits, 1);
    auto stopped = std::async(std::launch::async, [&] {
        renderer->Stop();
        source->Stop();
    });
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(renderer->Rendered().empty());
    EXPECT_FALSE(renderer->HaveCurrentSample());
}

TEST_F(CBaseRendererTest, without_a_clock_samples_are_rendered_at_once) {
    renderer->SetSyncSource(nullptr);
    source->SetScript(TimedScript({0, 90000000}));
    PauseBoth();
    RunBoth(0);
    EXPECT_TRUE(renderer->WaitForRendered(2, 5s));
    EXPECT_TRUE(recording->WaitFor(EC_COMPLETE, 1, 5s));
    EXPECT_EQ(renderer->Rendered()[0].stream_time, -1);
}

TEST_F(CBaseRendererTest, seeking_is_passed_to_the_upstream_pin) {
    source->OutputPin()->duration = 123456789;
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(renderer.reference.As(&seeking), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 123456789);
    LONGLONG position = 42;
    ASSERT_EQ(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                    AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_EQ(source->OutputPin()->positions_set.size(), 1u);
    EXPECT_EQ(source->OutputPin()->positions_set[0], 42);
}

TEST(CBaseRenderer, an_unconnected_renderer_completes_as_soon_as_it_runs) {
    NoObjectLeftBehind check;
    auto* recording = new RecordingGraph();
    ComPtr<IFilterGraph> graph(static_cast<IFilterGraph*>(recording));
    Held<TestRenderer> renderer;
    graph->AddFilter(renderer.Base(), u"Renderer");
    EXPECT_EQ(renderer->Pause(), S_OK);  // nothing to wait for
    ASSERT_EQ(renderer->Run(0), S_OK);
    EXPECT_EQ(recording->CountOf(EC_COMPLETE), 1);
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(renderer.reference.As(&seeking), S_OK);
    LONGLONG duration = 0;
    EXPECT_EQ(seeking->GetDuration(&duration), VFW_E_NOT_CONNECTED);
    renderer->Stop();
    recording->RemoveAll();
}

TEST(CBaseRenderer, answers_seeking_besides_the_filter_interfaces) {
    Held<TestRenderer> renderer;
    ComPtr<IMediaSeeking> seeking;
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(renderer.reference.As(&seeking), S_OK);
    ASSERT_EQ(seeking.As(&filter), S_OK);
    EXPECT_EQ(filter.Get(), renderer.Base());
    EXPECT_EQ(renderer->GetPinCount(), 1);
    EXPECT_EQ(renderer->GetPin(1), nullptr);
}

}  // namespace
