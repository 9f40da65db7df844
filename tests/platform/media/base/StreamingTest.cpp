// Samples flowing from an output pin to an input pin: delivery in order with their times,
// end of stream, flushing, and the ways out of every blocking wait (a full allocator, a held
// Receive) when the graph flushes or stops.
#include <chrono>
#include <future>

#include <gtest/gtest.h>

#include "tests/platform/media/base/MediaTestHelpers.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/platform/media/support/TestSourceFilter.h"

namespace {

using namespace std::chrono_literals;

std::vector<ScriptedSample> Script(int count, size_t bytes) {
    std::vector<ScriptedSample> script;
    for (int i = 0; i < count; ++i) {
        ScriptedSample sample;
        sample.data.assign(bytes, static_cast<BYTE>(i + 1));
        sample.start = i * 1000;
        sample.stop = (i + 1) * 1000;
        sample.discontinuity = i == 0;
        script.push_back(sample);
    }
    return script;
}

class StreamingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(source->OutputPin()->Connect(sink->InputPin(), nullptr), S_OK);
    }
    void TearDown() override {
        sink->Stop();  // downstream first, as a graph stops
        source->Stop();
        source->OutputPin()->Disconnect();
        sink->InputPin()->Disconnect();
    }

    NoObjectLeftBehind check;
    Held<TestSourceFilter> source{AudioPcmType()};
    Held<TestSinkFilter> sink{MEDIATYPE_Audio};
};

TEST_F(StreamingTest, samples_arrive_in_order_with_bytes_times_and_flags) {
    source->SetScript(Script(5, 300));
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    const auto samples = sink->Samples();
    ASSERT_EQ(samples.size(), 5u);
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(samples[i].data, std::vector<BYTE>(300, static_cast<BYTE>(i + 1)));
        EXPECT_EQ(samples[i].time_result, S_OK);
        EXPECT_EQ(samples[i].start, static_cast<REFERENCE_TIME>(i) * 1000);
        EXPECT_EQ(samples[i].discontinuity, i == 0);
    }
    EXPECT_EQ(sink->EndOfStreamCount(), 1);
}

TEST_F(StreamingTest, a_stopped_sink_refuses_samples_with_wrong_state) {
    source->SetScript(Script(1, 10));
    ASSERT_EQ(source->Pause(), S_OK);  // the sink stays stopped
    ASSERT_TRUE(source->WaitUntilDone(5s));
    const auto results = source->DeliveryResults();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], VFW_E_WRONG_STATE);
    EXPECT_TRUE(sink->Samples().empty());
}

TEST_F(StreamingTest, a_flushing_sink_drops_samples_with_s_false) {
    source->SetScript(Script(1, 10));
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_EQ(source->OutputPin()->DeliverBeginFlush(), S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(source->WaitUntilDone(5s));
    EXPECT_EQ(source->DeliveryResults().at(0), S_FALSE);
    EXPECT_TRUE(sink->Samples().empty());
    ASSERT_EQ(source->OutputPin()->DeliverEndFlush(), S_OK);
    EXPECT_EQ(sink->BeginFlushCount(), 1);
    EXPECT_EQ(sink->EndFlushCount(), 1);
    EXPECT_FALSE(sink->InputPin()->IsFlushing());
}

TEST_F(StreamingTest, new_segment_is_passed_on) {
    ASSERT_EQ(source->OutputPin()->DeliverNewSegment(7000, 9000, 1.0), S_OK);
    ASSERT_EQ(sink->SegmentStarts().size(), 1u);
    EXPECT_EQ(sink->SegmentStarts()[0], 7000);
    EXPECT_EQ(sink->InputPin()->CurrentStopTime(), 9000);
}

TEST_F(StreamingTest, flush_releases_a_held_receive) {
    source->SetScript(Script(3, 10));
    sink->HoldReceives(true);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitUntilHolding(5s));
    auto flushed = std::async(std::launch::async, [&] {
        source->OutputPin()->DeliverBeginFlush();
        source->OutputPin()->DeliverEndFlush();
    });
    ASSERT_EQ(flushed.wait_for(5s), std::future_status::ready);
    // The released Receive answers S_FALSE, so the source stops delivering.
    ASSERT_TRUE(source->WaitUntilDone(5s));
    EXPECT_EQ(sink->ReleasedByFlushOrStop(), 1);
    EXPECT_EQ(source->DeliveryResults().back(), S_FALSE);
}

TEST_F(StreamingTest, stopping_the_sink_releases_a_held_receive_and_the_source_ends) {
    source->SetScript(Script(10, 10));
    sink->HoldReceives(true);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitUntilHolding(5s));
    auto stopped = std::async(std::launch::async, [&] {
        sink->Stop();
        source->Stop();
    });
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(sink->ReleasedByFlushOrStop(), 1);
    EXPECT_TRUE(source->WaitUntilDone(1s));
    EXPECT_LT(sink->Samples().size(), 10u);
}

TEST_F(StreamingTest, stopping_the_source_releases_a_thread_waiting_for_a_buffer) {
    source->OutputPin()->Disconnect();
    sink->InputPin()->Disconnect();
    source->OutputPin()->buffers = 1;
    ASSERT_EQ(source->OutputPin()->Connect(sink->InputPin(), nullptr), S_OK);
    IMemAllocator* allocator = source->OutputPin()->Allocator();
    ALLOCATOR_PROPERTIES properties{};
    allocator->GetProperties(&properties);
    ASSERT_EQ(properties.cBuffers, 1);
    // The test holds the only buffer, so the source's thread has to wait for one.
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> taken;
    ASSERT_EQ(allocator->GetBuffer(taken.GetAddressOf(), nullptr, nullptr, 0), S_OK);
    source->SetScript(Script(3, 10));
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    EXPECT_FALSE(source->WaitUntilDone(100ms));
    auto stopped = std::async(std::launch::async, [&] { return source->Stop(); });
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(stopped.get(), S_OK);
    ASSERT_TRUE(source->WaitUntilDone(1s));
    EXPECT_EQ(source->DeliveryResults().at(0), VFW_E_NOT_COMMITTED);
    taken = nullptr;
}

TEST_F(StreamingTest, a_type_change_the_sink_refuses_ends_the_stream) {
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(source->WaitUntilDone(5s));  // empty script: only the end of stream
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(
        source->OutputPin()->Allocator()->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0),
        S_OK);
    CMediaType video(&MEDIATYPE_Video);
    sample->SetMediaType(&video);
    EXPECT_EQ(source->OutputPin()->Deliver(sample.Get()), VFW_E_INVALIDMEDIATYPE);
    EXPECT_EQ(source->OutputPin()->Deliver(sample.Get()), VFW_E_RUNTIME_ERROR);
    EXPECT_EQ(sink->EndOfStreamCount(), 2);  // the script's and the refusal's
}

TEST_F(StreamingTest, receive_multiple_stops_at_the_first_refusal) {
    ASSERT_EQ(sink->Pause(), S_OK);
    ComPtr<IMemInputPin> input;
    ASSERT_EQ(sink->InputPin()->QueryInterface(IID_PPV_ARGS(input.GetAddressOf())), S_OK);
    IMemAllocator* allocator = source->OutputPin()->Allocator();
    ASSERT_EQ(allocator->Commit(), S_OK);
    IMediaSample* samples[2] = {};
    ASSERT_EQ(allocator->GetBuffer(&samples[0], nullptr, nullptr, 0), S_OK);
    ASSERT_EQ(allocator->GetBuffer(&samples[1], nullptr, nullptr, 0), S_OK);
    long processed = -1;
    EXPECT_EQ(input->ReceiveMultiple(samples, 2, &processed), S_OK);
    EXPECT_EQ(processed, 2);
    sink->InputPin()->BeginFlush();
    EXPECT_EQ(input->ReceiveMultiple(samples, 2, &processed), S_FALSE);
    EXPECT_EQ(processed, 0);
    sink->InputPin()->EndFlush();
    samples[0]->Release();
    samples[1]->Release();
}

}  // namespace
