// CPullPin through a reader: every byte in order in both reading modes, ranges and seeks,
// short and failing reads, and stopping or seeking while the thread is busy.
#include <chrono>
#include <future>
#include <numeric>

#include <gtest/gtest.h>

#include "tests/platform/media/base/MediaTestHelpers.h"
#include "tests/platform/media/support/MemoryReaderFilter.h"
#include "tests/platform/media/support/PullSinkFilter.h"

namespace {

using namespace std::chrono_literals;

std::vector<BYTE> Counting(size_t size) {
    std::vector<BYTE> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<BYTE>(i * 7 + i / 251);
    return data;
}

class CPullPinTest : public ::testing::TestWithParam<bool> {
protected:
    void Connect(std::vector<BYTE> data, long buffer_size = 1000) {
        expected = data;
        reader = Held<MemoryReaderFilter>(std::move(data));
        sink = Held<PullSinkFilter>(GetParam(), buffer_size);
        ASSERT_EQ(reader->OutputPin()->Connect(sink->InputPin(), nullptr), S_OK);
    }
    void TearDown() override {
        if (!sink.filter) return;
        sink->Stop();
        reader->Stop();
        reader->OutputPin()->Disconnect();
        sink->InputPin()->Disconnect();
    }

    NoObjectLeftBehind check;
    std::vector<BYTE> expected;
    Held<MemoryReaderFilter> reader{std::vector<BYTE>{}};
    Held<PullSinkFilter> sink{true};
};

TEST_P(CPullPinTest, delivers_every_byte_in_order_then_ends) {
    Connect(Counting(10500));
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    EXPECT_EQ(sink->Bytes(), expected);
    const auto starts = sink->SampleStarts();
    ASSERT_EQ(starts.size(), 11u);
    EXPECT_EQ(starts[1], 1000 * UNITS);  // times carry byte positions
    EXPECT_TRUE(sink->Errors().empty());
    if (GetParam()) {
        EXPECT_EQ(reader->QueuedReads(), 0);
    } else {
        EXPECT_EQ(reader->SyncReads(), 0);
    }
}

TEST_P(CPullPinTest, delivers_only_the_range_asked_for) {
    Connect(Counting(5000));
    ASSERT_EQ(sink->SetRange(1234, 3210), S_OK);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    EXPECT_EQ(sink->Bytes(), std::vector<BYTE>(expected.begin() + 1234, expected.begin() + 3210));
}

TEST_P(CPullPinTest, a_range_past_the_end_stops_at_the_end) {
    Connect(Counting(2500));
    ASSERT_EQ(sink->SetRange(2000, 999999), S_OK);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    EXPECT_EQ(sink->Bytes(), std::vector<BYTE>(expected.begin() + 2000, expected.end()));
}

TEST_P(CPullPinTest, an_empty_range_ends_at_once) {
    Connect(Counting(100));
    ASSERT_EQ(sink->SetRange(100, 100), S_OK);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    EXPECT_TRUE(sink->Bytes().empty());
}

TEST_P(CPullPinTest, a_failing_read_reports_an_error_and_no_end) {
    Connect(Counting(5000));
    reader->FailReadsAt(3500);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForErrorOrEnd(5s));
    ASSERT_EQ(sink->Errors().size(), 1u);
    EXPECT_EQ(sink->Errors()[0], E_FAIL);
    EXPECT_EQ(sink->EndOfStreamCount(), 0);
    EXPECT_EQ(sink->Bytes(), std::vector<BYTE>(expected.begin(), expected.begin() + 3000));
}

TEST_P(CPullPinTest, stopping_while_the_owner_is_busy_ends_the_thread) {
    Connect(Counting(50000));
    sink->HoldReceives(true);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForSamples(1, 5s));
    auto stopped = std::async(std::launch::async, [&] { return sink->Stop(); });
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(stopped.get(), S_OK);
    EXPECT_EQ(sink->Bytes().size(), 1000u);  // nothing was taken in after the stop
    EXPECT_FALSE(sink->InputPin()->Reader().IsActive());
}

TEST_P(CPullPinTest, seeking_while_active_restarts_at_the_new_position) {
    Connect(Counting(50000));
    sink->HoldReceives(true);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForSamples(1, 5s));
    CPullPin& pull = sink->InputPin()->Reader();
    auto seeked = std::async(std::launch::async, [&] {
        // As a parser does: flush downstream (which lets the thread go), park the thread,
        // end the flush, set the new range, deliver again.
        sink->HoldReceives(false);
        sink->SetDiscarding(true);
        pull.StopDelivery();
        sink->SetDiscarding(false);
        sink->ClearRecords();
        const HRESULT hr = pull.Seek(40000 * UNITS, 42000 * UNITS);
        return SUCCEEDED(hr) ? pull.StartDelivery() : hr;
    });
    ASSERT_EQ(seeked.wait_for(5s), std::future_status::ready);
    ASSERT_EQ(seeked.get(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    EXPECT_EQ(sink->Bytes(), std::vector<BYTE>(expected.begin() + 40000, expected.begin() + 42000));
    EXPECT_EQ(sink->EndOfStreamCount(), 1);
    EXPECT_TRUE(sink->Errors().empty());
}

TEST_P(CPullPinTest, seek_while_active_stops_and_restarts_by_itself) {
    Connect(Counting(20000));
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    sink->ClearRecords();
    ASSERT_EQ(sink->SetRange(15000, 16000), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    EXPECT_EQ(sink->Bytes(), std::vector<BYTE>(expected.begin() + 15000, expected.begin() + 16000));
}

TEST_P(CPullPinTest, start_delivery_needs_an_active_pin) {
    Connect(Counting(100));
    EXPECT_EQ(sink->InputPin()->Reader().StartDelivery(), VFW_E_WRONG_STATE);
    EXPECT_EQ(sink->InputPin()->Reader().StopDelivery(), S_OK);
}

TEST_P(CPullPinTest, runs_again_after_a_stop) {
    Connect(Counting(3000));
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    ASSERT_EQ(sink->Stop(), S_OK);
    sink->ClearRecords();
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndOfStream(5s));
    EXPECT_EQ(sink->Bytes(), expected);
}

INSTANTIATE_TEST_SUITE_P(ReadModes, CPullPinTest, ::testing::Values(true, false),
                         [](const auto& mode) { return mode.param ? "sync" : "queued"; });

TEST(CPullPin, connecting_needs_an_async_reader) {
    NoObjectLeftBehind check;
    Held<PullSinkFilter> sink(true);
    class Reader : public CPullPin {
    protected:
        HRESULT Receive(IMediaSample*) override { return S_OK; }
        HRESULT EndOfStream() override { return S_OK; }
        void OnError(HRESULT) override {}
    } reader;
    EXPECT_EQ(reader.Connect(sink.Base(), nullptr, TRUE), E_NOINTERFACE);
    EXPECT_EQ(reader.Connect(nullptr, nullptr, TRUE), E_POINTER);
    EXPECT_EQ(reader.Active(), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(reader.Seek(10, 5), E_INVALIDARG);
}

TEST(CPullPin, duration_is_the_readers_length_as_time) {
    NoObjectLeftBehind check;
    Held<MemoryReaderFilter> reader(std::vector<BYTE>(777));
    class Reader : public CPullPin {
    protected:
        HRESULT Receive(IMediaSample*) override { return S_OK; }
        HRESULT EndOfStream() override { return S_OK; }
        void OnError(HRESULT) override {}
    } pull;
    ASSERT_EQ(pull.Connect(static_cast<IPin*>(reader->OutputPin()), nullptr, FALSE), S_OK);
    REFERENCE_TIME duration = 0;
    ASSERT_EQ(pull.Duration(&duration), S_OK);
    EXPECT_EQ(duration, 777 * UNITS);
    EXPECT_EQ(pull.Connect(static_cast<IPin*>(reader->OutputPin()), nullptr, FALSE),
              VFW_E_ALREADY_CONNECTED);
    pull.Disconnect();
}

}  // namespace
