// Events from filters to the application: the queue, the notify window, and EC_COMPLETE held
// back until every renderer has finished.
#include <atomic>

#include "platform/media/graph/GraphEvents.h"
#include "platform/ui/WindowMessages.h"
#include "tests/platform/media/graph/GraphTestSupport.h"
#include "tests/platform/media/graph/TestSink.h"
#include "tests/platform/media/graph/TestSource.h"

namespace {

constexpr int kBoundMs = 10'000;
constexpr long kUserEvent = EC_USER + 7;
constexpr UINT kNotifyMessage = WM_USER + 2;

// The object GraphEvents is part of, reduced to a reference count.
class Owner : public IUnknown {
public:
    HRESULT QueryInterface(REFIID /*iid*/, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override { return --m_references; }

private:
    std::atomic<ULONG> m_references{1};
};

class CompletionCount : public ::testing::Test {
protected:
    // The next event, or code 0 when none waits.
    MediaEvent Next() {
        MediaEvent event;
        if (events.GetEvent(&event.code, &event.param1, &event.param2, 0) != S_OK) return {};
        return event;
    }
    static LONG_PTR Id(int renderer) { return static_cast<LONG_PTR>(0x1000 * renderer); }
    static IBaseFilter* Filter(int renderer) {
        return reinterpret_cast<IBaseFilter*>(Id(renderer));
    }

    Owner owner;
    GraphEvents events{&owner};
};

TEST_F(CompletionCount, completion_waits_for_every_renderer_and_comes_once) {
    events.BeginRun({Filter(1), Filter(2)});
    events.Notify(EC_COMPLETE, S_OK, Id(1));
    EXPECT_EQ(Next().code, 0);
    events.Notify(EC_COMPLETE, S_OK, Id(1));  // the same renderer again counts once
    EXPECT_EQ(Next().code, 0);
    events.Notify(EC_COMPLETE, S_OK, Id(2));
    const MediaEvent complete = Next();
    EXPECT_EQ(complete.code, EC_COMPLETE);
    EXPECT_EQ(complete.param1, S_OK);
    EXPECT_EQ(complete.param2, 0);
    events.Notify(EC_COMPLETE, S_OK, Id(2));
    EXPECT_EQ(Next().code, 0);
}

TEST_F(CompletionCount, a_filter_that_renders_no_stream_does_not_end_the_run) {
    events.BeginRun({Filter(1)});
    events.Notify(EC_COMPLETE, S_OK, Id(7));  // an unconnected renderer, ending at Run
    EXPECT_EQ(Next().code, 0);
    events.Notify(EC_COMPLETE, S_OK, 0);  // a report that names no filter still counts
    EXPECT_EQ(Next().code, EC_COMPLETE);
}

TEST_F(CompletionCount, a_failed_stream_gives_its_result_to_the_completion) {
    events.BeginRun({Filter(1), Filter(2)});
    events.Notify(EC_COMPLETE, VFW_E_INVALID_FILE_FORMAT, Id(2));
    events.Notify(EC_COMPLETE, S_OK, Id(1));
    const MediaEvent complete = Next();
    EXPECT_EQ(complete.code, EC_COMPLETE);
    EXPECT_EQ(complete.param1, VFW_E_INVALID_FILE_FORMAT);
}

TEST_F(CompletionCount, reports_after_the_run_ended_are_dropped) {
    events.BeginRun({Filter(1)});
    events.EndRun();
    events.Notify(EC_COMPLETE, S_OK, Id(1));
    EXPECT_EQ(Next().code, 0);
    events.Notify(kUserEvent, 5, 6);  // other events pass whatever the state
    EXPECT_EQ(Next().code, kUserEvent);
}

TEST_F(CompletionCount, a_restart_counts_the_renderers_again) {
    events.BeginRun({Filter(1), Filter(2)});
    events.Notify(EC_COMPLETE, S_OK, Id(1));
    events.RestartRun();
    events.Notify(EC_COMPLETE, S_OK, Id(2));
    EXPECT_EQ(Next().code, 0);
    events.Notify(EC_COMPLETE, S_OK, Id(1));
    EXPECT_EQ(Next().code, EC_COMPLETE);
}

TEST_F(CompletionCount, without_default_handling_each_report_passes_through) {
    EXPECT_EQ(events.CancelDefaultHandling(EC_COMPLETE), S_OK);
    EXPECT_EQ(events.CancelDefaultHandling(EC_REPAINT), E_INVALIDARG);
    events.BeginRun({Filter(1), Filter(2)});
    events.Notify(EC_COMPLETE, S_OK, Id(1));
    const MediaEvent first = Next();
    EXPECT_EQ(first.code, EC_COMPLETE);
    EXPECT_EQ(first.param2, Id(1));
    EXPECT_EQ(events.RestoreDefaultHandling(EC_COMPLETE), S_OK);
    events.Notify(EC_COMPLETE, S_OK, Id(1));
    EXPECT_EQ(Next().code, 0);
}

TEST_F(CompletionCount, a_graph_without_renderers_completes_on_the_first_report) {
    events.BeginRun({});
    events.Notify(EC_COMPLETE, S_OK, 0);
    EXPECT_EQ(Next().code, EC_COMPLETE);
}

using GraphEventQueue = GraphTest;

TEST_F(GraphEventQueue, get_event_gives_e_abort_when_nothing_comes_in_time) {
    long code = 1;
    LONG_PTR first = 1;
    LONG_PTR second = 1;
    EXPECT_EQ(m_events->GetEvent(&code, &first, &second, 0), E_ABORT);
    EXPECT_EQ(code, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_events->GetEvent(&code, &first, &second, 40), E_ABORT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
    EXPECT_EQ(m_events->GetEvent(nullptr, &first, &second, 0), E_POINTER);
}

TEST_F(GraphEventQueue, events_come_out_in_order_with_their_parameters) {
    ComPtr<IMediaEventSink> sink;
    ASSERT_EQ(m_graph.As(&sink), S_OK);
    for (long i = 0; i < 3; ++i)
        ASSERT_EQ(sink->Notify(kUserEvent + i, i, -i), S_OK);
    for (long i = 0; i < 3; ++i) {
        long code = 0;
        LONG_PTR first = 0;
        LONG_PTR second = 0;
        ASSERT_EQ(m_events->GetEvent(&code, &first, &second, 0), S_OK);
        EXPECT_EQ(code, kUserEvent + i);
        EXPECT_EQ(first, i);
        EXPECT_EQ(second, -i);
        EXPECT_EQ(m_events->FreeEventParams(code, first, second), S_OK);
    }
}

TEST_F(GraphEventQueue, the_event_handle_is_set_exactly_while_events_wait) {
    OAEVENT handle = 0;
    ASSERT_EQ(m_events->GetEventHandle(&handle), S_OK);
    const HANDLE event = reinterpret_cast<HANDLE>(handle);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    ComPtr<IMediaEventSink> sink;
    ASSERT_EQ(m_graph.As(&sink), S_OK);
    sink->Notify(kUserEvent, 0, 0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(WaitForEvent(kUserEvent, 0));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST_F(GraphEventQueue, each_event_posts_the_notify_message_with_the_instance_data) {
    RecordingWindow window;
    ASSERT_EQ(m_events->SetNotifyWindow(window.Handle(), kNotifyMessage, 0x55), S_OK);
    ComPtr<IMediaEventSink> sink;
    ASSERT_EQ(m_graph.As(&sink), S_OK);
    sink->Notify(kUserEvent, 0, 0);
    sink->Notify(kUserEvent + 1, 0, 0);
    ASSERT_TRUE(window.PumpUntil(2, kBoundMs));
    for (const PostedMessage& posted : window.Messages()) {
        EXPECT_EQ(posted.message, kNotifyMessage);
        EXPECT_EQ(posted.wparam, 0u);
        EXPECT_EQ(posted.lparam, 0x55);
    }
    // The receiver drains the queue until E_ABORT.
    EXPECT_TRUE(WaitForEvent(kUserEvent + 1, 0));
    long code = 0;
    LONG_PTR first = 0, second = 0;
    EXPECT_EQ(m_events->GetEvent(&code, &first, &second, 0), E_ABORT);
}

TEST_F(GraphEventQueue, no_notify_flag_silences_and_empties_the_queue) {
    RecordingWindow window;
    ASSERT_EQ(m_events->SetNotifyWindow(window.Handle(), kNotifyMessage, 0), S_OK);
    ComPtr<IMediaEventSink> sink;
    ASSERT_EQ(m_graph.As(&sink), S_OK);
    sink->Notify(kUserEvent, 0, 0);
    ASSERT_EQ(m_events->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY), S_OK);
    long flags = 0;
    ASSERT_EQ(m_events->GetNotifyFlags(&flags), S_OK);
    EXPECT_EQ(flags, AM_MEDIAEVENT_NONOTIFY);
    sink->Notify(kUserEvent, 0, 0);
    window.PumpFor(50);
    EXPECT_EQ(window.Messages().size(), 1u) << "only the event from before the flag";
    EXPECT_FALSE(WaitForEvent(kUserEvent, 0));

    ASSERT_EQ(m_events->SetNotifyFlags(0), S_OK);
    sink->Notify(kUserEvent, 0, 0);
    EXPECT_TRUE(window.PumpUntil(2, kBoundMs));
    EXPECT_EQ(m_events->SetNotifyFlags(2), E_INVALIDARG);
}

TEST_F(GraphEventQueue, a_null_window_stops_the_messages) {
    RecordingWindow window;
    ASSERT_EQ(m_events->SetNotifyWindow(window.Handle(), kNotifyMessage, 0), S_OK);
    ASSERT_EQ(m_events->SetNotifyWindow(0, 0, 0), S_OK);
    ComPtr<IMediaEventSink> sink;
    ASSERT_EQ(m_graph.As(&sink), S_OK);
    sink->Notify(kUserEvent, 0, 0);
    window.PumpFor(30);
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_TRUE(WaitForEvent(kUserEvent, 0));
}

class GraphCompletion : public GraphTest {
protected:
    void AddChain(REFERENCE_TIME duration, const char16_t* source_name, const char16_t* sink_name) {
        TestSource::Options options;
        options.duration = duration;
        sources.push_back(Own(new TestSource(options)));
        sinks.push_back(Own(new TestSink(TestSink::Options{})));
        ASSERT_EQ(Add(sources.back().Get(), source_name), S_OK);
        ASSERT_EQ(Add(sinks.back().Get(), sink_name), S_OK);
        ASSERT_EQ(
            m_graph->ConnectDirect(sources.back()->OutputPin(), sinks.back()->InputPin(), nullptr),
            S_OK);
    }

    std::vector<ComPtr<TestSource>> sources;
    std::vector<ComPtr<TestSink>> sinks;
};

TEST_F(GraphCompletion, ec_complete_reaches_the_window_after_the_last_renderer_ends) {
    RecordingWindow window;
    ASSERT_EQ(m_events->SetNotifyWindow(window.Handle(), kNotifyMessage, 0), S_OK);
    AddChain(50 * kMs, u"Short", u"Short sink");
    AddChain(300 * kMs, u"Long", u"Long sink");
    // An unconnected renderer never ends its stream; it must not hold the completion back.
    auto idle = Own(new TestSink(TestSink::Options{}));
    ASSERT_EQ(Add(idle.Get(), u"Idle"), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));

    ASSERT_TRUE(window.PumpUntil(1, kBoundMs));
    EXPECT_EQ(sinks[0]->CompletionsSent(), 1);
    EXPECT_EQ(sinks[1]->CompletionsSent(), 1) << "posted before the long stream ended";
    EXPECT_EQ(sinks[1]->Rendered().size(), 30u);
    LONG_PTR result = E_FAIL;
    EXPECT_TRUE(WaitForEvent(EC_COMPLETE, 0, &result));
    EXPECT_EQ(result, S_OK);
    window.PumpFor(50);
    EXPECT_EQ(window.Messages().size(), 1u);
    EXPECT_FALSE(WaitForEvent(EC_COMPLETE, 0));
}

TEST_F(GraphCompletion, wait_for_completion_reports_the_end_or_times_out) {
    AddChain(100 * kMs, u"Source", u"Sink");
    long code = -1;
    EXPECT_EQ(m_events->WaitForCompletion(0, &code), VFW_E_WRONG_STATE);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_EQ(m_events->WaitForCompletion(0, &code), E_ABORT);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(m_events->WaitForCompletion(kBoundMs, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
}

TEST_F(GraphCompletion, stop_and_run_again_from_the_start_completes_again) {
    AddChain(60 * kMs, u"Source", u"Sink");
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    ASSERT_EQ(m_control->Stop(), S_OK);
    ASSERT_EQ(m_position->put_CurrentPosition(0.0), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    EXPECT_TRUE(WaitForEvent(EC_COMPLETE, kBoundMs));
    EXPECT_EQ(sinks[0]->Rendered().size(), 12u);
}

}  // namespace
