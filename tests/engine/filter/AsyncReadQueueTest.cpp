// The read queue against a byte stream in memory: order of completion, the results of short
// reads at and before the end, flushing (refusals, reads handed back, the read in progress
// waited for, waiters released), alignment, the synchronous reads, and the stream's lock.
#include "engine/AsyncReadQueue.h"

#include <chrono>
#include <future>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CMemAllocator.h"
#include "tests/engine/filter/MemoryByteStream.h"

namespace {

using namespace std::chrono_literals;

constexpr DWORD kWaitMs = 10'000;

struct Completion {
    HRESULT result = E_UNEXPECTED;
    IMediaSample* context = nullptr;
    DWORD_PTR user = 0;
    LONG bytes = -1;
};

class AsyncReadQueueTest : public ::testing::Test {
protected:
    void MakeQueue(size_t data_size, LONGLONG declared_size, DWORD alignment = 1) {
        m_stream = std::make_unique<MemoryByteStream>(data_size, declared_size, alignment);
        m_queue = std::make_unique<AsyncReadQueue>(m_stream.get());
    }
    void TearDown() override {
        if (m_stream) m_stream->Release();
        m_queue.reset();
    }

    Completion Next(DWORD milliseconds = kWaitMs) {
        Completion done;
        done.result = m_queue->WaitForNext(milliseconds, &done.context, &done.user, &done.bytes);
        return done;
    }

    static bool HoldsStreamBytes(const std::vector<BYTE>& buffer, LONGLONG position, LONG count) {
        for (LONG i = 0; i < count; ++i) {
            if (buffer[static_cast<size_t>(i)] != MemoryByteStream::Byte(position + i))
                return false;
        }
        return true;
    }

    std::unique_ptr<MemoryByteStream> m_stream;
    std::unique_ptr<AsyncReadQueue> m_queue;
};

// ---- completion ----------------------------------------------------------------------------

TEST_F(AsyncReadQueueTest, queued_reads_complete_in_order_with_their_user_values_and_bytes) {
    MakeQueue(1000, 1000);
    std::vector<std::vector<BYTE>> buffers(3, std::vector<BYTE>(100));
    for (DWORD_PTR i = 0; i < 3; ++i) {
        ASSERT_EQ(m_queue->Request(static_cast<LONGLONG>(i) * 300, 100, TRUE, buffers[i].data(),
                                   nullptr, 10 + i),
                  S_OK);
    }
    for (DWORD_PTR i = 0; i < 3; ++i) {
        const Completion done = Next();
        ASSERT_EQ(done.result, S_OK);
        EXPECT_EQ(done.user, 10 + i);
        EXPECT_EQ(done.bytes, 100);
        EXPECT_TRUE(HoldsStreamBytes(buffers[i], static_cast<LONGLONG>(i) * 300, 100));
    }
    EXPECT_TRUE(m_stream->EveryReadWasLocked());
}

TEST_F(AsyncReadQueueTest, a_short_read_that_ends_at_the_total_size_completes_with_s_ok) {
    MakeQueue(100, 100);
    std::vector<BYTE> buffer(20);
    ASSERT_EQ(m_queue->Request(90, 20, TRUE, buffer.data(), nullptr, 0), S_OK);
    const Completion done = Next();
    EXPECT_EQ(done.result, S_OK);
    EXPECT_EQ(done.bytes, 10);
    EXPECT_TRUE(HoldsStreamBytes(buffer, 90, 10));
}

TEST_F(AsyncReadQueueTest, a_short_read_that_ends_before_the_total_size_completes_with_e_fail) {
    MakeQueue(100, 200);
    std::vector<BYTE> buffer(20);
    ASSERT_EQ(m_queue->Request(90, 20, TRUE, buffer.data(), nullptr, 0), S_OK);
    const Completion done = Next();
    EXPECT_EQ(done.result, E_FAIL);
    EXPECT_EQ(done.bytes, 10);
}

TEST_F(AsyncReadQueueTest, a_short_read_where_the_stream_said_it_ran_out_completes_with_s_ok) {
    MakeQueue(100, 200);
    m_stream->SaysWhenItRunsOut(true);
    std::vector<BYTE> buffer(20);
    ASSERT_EQ(m_queue->Request(90, 20, TRUE, buffer.data(), nullptr, 0), S_OK);
    ASSERT_EQ(m_queue->Request(110, 20, TRUE, buffer.data(), nullptr, 1), S_OK);
    Completion done = Next();
    EXPECT_EQ(done.result, S_OK);
    EXPECT_EQ(done.bytes, 10);
    done = Next();  // past the end: nothing, and still no error
    EXPECT_EQ(done.result, S_OK);
    EXPECT_EQ(done.bytes, 0);
}

TEST_F(AsyncReadQueueTest, a_read_the_stream_cannot_be_positioned_for_gives_no_bytes) {
    MakeQueue(100, 100);
    m_stream->FailPositioning(true);
    std::vector<BYTE> buffer(20);
    LONG bytes = -1;
    EXPECT_EQ(m_queue->SyncReadAligned(10, 20, buffer.data(), &bytes, nullptr), S_FALSE);
    EXPECT_EQ(bytes, 0);
    ASSERT_EQ(m_queue->Request(10, 20, TRUE, buffer.data(), nullptr, 0), S_OK);
    const Completion done = Next();
    EXPECT_EQ(done.result, E_FAIL);
    EXPECT_EQ(done.bytes, 0);
    EXPECT_EQ(m_stream->Reads(), 0);
}

TEST_F(AsyncReadQueueTest, the_first_read_of_a_run_marks_its_sample_as_a_discontinuity) {
    MakeQueue(100, 100);
    m_stream->FirstReadOfARun(true);
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                            reinterpret_cast<void**>(allocator.GetAddressOf())),
              S_OK);
    ALLOCATOR_PROPERTIES wanted{1, 64, 1, 0};
    ALLOCATOR_PROPERTIES granted{};
    ASSERT_EQ(allocator->SetProperties(&wanted, &granted), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    IMediaSample* sample = nullptr;
    ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
    BYTE* buffer = nullptr;
    ASSERT_EQ(sample->GetPointer(&buffer), S_OK);
    ASSERT_EQ(sample->IsDiscontinuity(), S_FALSE);

    ASSERT_EQ(m_queue->Request(0, 64, TRUE, buffer, sample, 7), S_OK);
    const Completion done = Next();
    EXPECT_EQ(done.result, S_OK);
    EXPECT_EQ(done.context, sample);
    EXPECT_EQ(sample->IsDiscontinuity(), S_OK);
    sample->Release();
    allocator->Decommit();
}

// ---- waiting and flushing -------------------------------------------------------------------

TEST_F(AsyncReadQueueTest, wait_for_next_with_a_timeout_of_0_and_nothing_completed_times_out) {
    MakeQueue(100, 100);
    Completion done = Next(0);
    EXPECT_EQ(done.result, VFW_E_TIMEOUT);
    EXPECT_EQ(done.context, nullptr);

    m_stream->Hold();
    std::vector<BYTE> buffer(10);
    ASSERT_EQ(m_queue->Request(0, 10, TRUE, buffer.data(), nullptr, 0), S_OK);
    ASSERT_TRUE(m_stream->WaitUntilHeld());
    EXPECT_EQ(Next(0).result, VFW_E_TIMEOUT);  // the read is still in progress
    m_stream->Release();
    EXPECT_EQ(Next().result, S_OK);
}

TEST_F(AsyncReadQueueTest, a_request_made_during_a_flush_is_refused_until_the_flush_ends) {
    MakeQueue(100, 100);
    std::vector<BYTE> buffer(10);
    ASSERT_EQ(m_queue->BeginFlush(), S_OK);
    EXPECT_EQ(m_queue->Request(0, 10, TRUE, buffer.data(), nullptr, 0), VFW_E_WRONG_STATE);
    EXPECT_EQ(Next(0).result, VFW_E_WRONG_STATE);
    ASSERT_EQ(m_queue->EndFlush(), S_OK);
    EXPECT_EQ(Next(0).result, VFW_E_TIMEOUT);
    ASSERT_EQ(m_queue->Request(0, 10, TRUE, buffer.data(), nullptr, 0), S_OK);
    EXPECT_EQ(Next().result, S_OK);
}

TEST_F(AsyncReadQueueTest, reads_pending_at_a_flush_come_back_unread_and_the_one_in_progress_done) {
    MakeQueue(1000, 1000);
    m_stream->Hold();
    std::vector<std::vector<BYTE>> buffers(3, std::vector<BYTE>(10));
    for (DWORD_PTR i = 0; i < 3; ++i) {
        ASSERT_EQ(m_queue->Request(0, 10, TRUE, buffers[i].data(), nullptr, i), S_OK);
    }
    ASSERT_TRUE(m_stream->WaitUntilHeld());
    auto flush = std::async(std::launch::async, [&] { return m_queue->BeginFlush(); });
    EXPECT_EQ(flush.wait_for(100ms), std::future_status::timeout) << "did not wait for the read";
    m_stream->Release();
    ASSERT_EQ(flush.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(flush.get(), S_OK);

    std::vector<HRESULT> results(3, E_UNEXPECTED);
    for (int i = 0; i < 3; ++i) {
        const Completion done = Next();
        ASSERT_LT(done.user, 3u);
        results[done.user] = done.result;
    }
    EXPECT_EQ(results, (std::vector<HRESULT>{S_OK, VFW_E_TIMEOUT, VFW_E_TIMEOUT}));
    EXPECT_EQ(Next().result, VFW_E_WRONG_STATE);
    EXPECT_EQ(m_stream->Reads(), 1);
    ASSERT_EQ(m_queue->EndFlush(), S_OK);
}

TEST_F(AsyncReadQueueTest, a_flush_releases_a_thread_waiting_for_the_next_read) {
    MakeQueue(100, 100);
    auto waiter = std::async(std::launch::async, [&] { return Next(INFINITE).result; });
    EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
    ASSERT_EQ(m_queue->BeginFlush(), S_OK);
    ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), VFW_E_WRONG_STATE);
    ASSERT_EQ(m_queue->EndFlush(), S_OK);
}

TEST_F(AsyncReadQueueTest, destroying_the_queue_with_reads_queued_waits_for_the_one_in_progress) {
    MakeQueue(100, 100);
    m_stream->Hold();
    std::vector<BYTE> buffer(10);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(m_queue->Request(0, 10, TRUE, buffer.data(), nullptr, 0), S_OK);
    }
    ASSERT_TRUE(m_stream->WaitUntilHeld());
    auto destroy = std::async(std::launch::async, [&] { m_queue.reset(); });
    EXPECT_EQ(destroy.wait_for(50ms), std::future_status::timeout);
    m_stream->Release();
    ASSERT_EQ(destroy.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(m_stream->Reads(), 1);
}

// ---- alignment, synchronous reads, arguments ------------------------------------------------

TEST_F(AsyncReadQueueTest, aligned_reads_must_be_aligned_to_the_streams_alignment) {
    MakeQueue(100, 100, 4);
    alignas(8) BYTE buffer[32] = {};
    EXPECT_EQ(m_queue->Request(2, 8, TRUE, buffer, nullptr, 0), VFW_E_BADALIGN);
    EXPECT_EQ(m_queue->Request(4, 6, TRUE, buffer, nullptr, 0), VFW_E_BADALIGN);
    EXPECT_EQ(m_queue->Request(4, 8, TRUE, buffer + 1, nullptr, 0), VFW_E_BADALIGN);
    LONG bytes = 0;
    EXPECT_EQ(m_queue->SyncReadAligned(2, 8, buffer, &bytes, nullptr), VFW_E_BADALIGN);
    // Unaligned values are read when the caller did not promise alignment.
    ASSERT_EQ(m_queue->SyncRead(3, 5, buffer + 1), S_OK);
    EXPECT_TRUE(HoldsStreamBytes(std::vector<BYTE>(buffer + 1, buffer + 6), 3, 5));
    ASSERT_EQ(m_queue->Request(2, 6, FALSE, buffer + 1, nullptr, 0), S_OK);
    EXPECT_EQ(Next().result, S_OK);
    LONG alignment = 0;
    ASSERT_EQ(m_queue->Alignment(&alignment), S_OK);
    EXPECT_EQ(alignment, 4);
}

TEST_F(AsyncReadQueueTest, an_alignment_of_1_refuses_nothing) {
    MakeQueue(100, 100, 1);
    BYTE buffer[32] = {};
    ASSERT_EQ(m_queue->Request(3, 7, TRUE, buffer + 1, nullptr, 0), S_OK);
    EXPECT_EQ(Next().result, S_OK);
    LONG bytes = 0;
    EXPECT_EQ(m_queue->SyncReadAligned(5, 11, buffer + 3, &bytes, nullptr), S_OK);
    EXPECT_EQ(bytes, 11);
}

TEST_F(AsyncReadQueueTest, synchronous_reads_run_on_the_callers_thread_and_report_short_reads) {
    MakeQueue(100, 100);
    std::vector<BYTE> buffer(20);
    LONG bytes = 0;
    ASSERT_EQ(m_queue->SyncReadAligned(10, 20, buffer.data(), &bytes, nullptr), S_OK);
    EXPECT_EQ(bytes, 20);
    EXPECT_TRUE(HoldsStreamBytes(buffer, 10, 20));
    EXPECT_EQ(m_queue->SyncReadAligned(90, 20, buffer.data(), &bytes, nullptr), S_FALSE);
    EXPECT_EQ(bytes, 10);
    EXPECT_EQ(m_queue->SyncRead(95, 20, buffer.data()), S_FALSE);
    EXPECT_TRUE(m_stream->EveryReadWasLocked());
}

TEST_F(AsyncReadQueueTest, missing_pointers_and_negative_ranges_are_refused) {
    MakeQueue(100, 100);
    BYTE buffer[8] = {};
    IMediaSample* context = nullptr;
    DWORD_PTR user = 0;
    LONG bytes = 0;
    EXPECT_EQ(m_queue->WaitForNext(0, nullptr, &user, &bytes), E_POINTER);
    EXPECT_EQ(m_queue->WaitForNext(0, &context, nullptr, &bytes), E_POINTER);
    EXPECT_EQ(m_queue->WaitForNext(0, &context, &user, nullptr), E_POINTER);
    EXPECT_EQ(m_queue->SyncReadAligned(0, 8, nullptr, &bytes, nullptr), E_POINTER);
    EXPECT_EQ(m_queue->SyncRead(0, 8, nullptr), E_POINTER);
    EXPECT_EQ(m_queue->Request(0, 8, TRUE, nullptr, nullptr, 0), E_POINTER);
    EXPECT_EQ(m_queue->Request(-1, 8, TRUE, buffer, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(m_queue->Request(0, -8, TRUE, buffer, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(m_queue->SyncRead(0, -8, buffer), E_INVALIDARG);
    EXPECT_EQ(m_queue->Length(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(m_queue->Alignment(nullptr), E_POINTER);
    EXPECT_EQ(m_stream->Reads(), 0);
}

TEST_F(AsyncReadQueueTest, length_gives_the_streams_total_and_what_it_says_is_available) {
    MakeQueue(100, 250);
    m_stream->SetAvailable(60);
    LONGLONG total = 0;
    LONGLONG available = 0;
    ASSERT_EQ(m_queue->Length(&total, &available), S_OK);
    EXPECT_EQ(total, 250);
    EXPECT_EQ(available, 60);
    ASSERT_EQ(m_queue->Length(&total, nullptr), S_OK);
}

}  // namespace
