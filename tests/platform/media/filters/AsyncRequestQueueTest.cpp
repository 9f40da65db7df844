#include "platform/media/filters/AsyncRequestQueue.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Serves reads from bytes in memory; a read of position `blocked_at` waits until Release.
class MemoryBytes {
public:
    explicit MemoryBytes(size_t size) : m_bytes(size) {
        for (size_t i = 0; i < size; ++i)
            m_bytes[i] = static_cast<uint8_t>(i * 3 + 1);
    }

    AsyncRequestQueue::ReadFunction Reader() {
        return [this](int64_t position, uint8_t* buffer, int64_t length) -> int64_t {
            WaitIfBlocked(position);
            if (position == m_fail_at) return -1;
            const int64_t size = static_cast<int64_t>(m_bytes.size());
            const int64_t count = std::max<int64_t>(0, std::min(length, size - position));
            if (count > 0) std::memcpy(buffer, m_bytes.data() + position, count);
            return count;
        };
    }

    void BlockAt(int64_t position) { m_blocked_at = position; }
    void FailAt(int64_t position) { m_fail_at = position; }
    bool WaitUntilBlocked() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, 5s, [this] { return m_blocking; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    uint8_t At(size_t i) const { return m_bytes[i]; }

private:
    void WaitIfBlocked(int64_t position) {
        if (position != m_blocked_at) return;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_blocking = true;
        m_changed.notify_all();
        m_changed.wait_for(lock, 10s, [this] { return m_released; });
    }

    std::vector<uint8_t> m_bytes;
    int64_t m_blocked_at = -1;
    int64_t m_fail_at = -1;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_blocking = false;
    bool m_released = false;
};

struct Completion {
    HRESULT result = E_UNEXPECTED;
    IMediaSample* context = nullptr;
    DWORD_PTR user = 0;
    long actual = -1;
};

Completion Next(AsyncRequestQueue& queue, DWORD milliseconds = 5000) {
    Completion done;
    done.result = queue.WaitForNext(milliseconds, &done.context, &done.user, &done.actual);
    return done;
}

TEST(AsyncRequestQueue, completes_queued_reads_in_order_into_their_buffers) {
    MemoryBytes bytes(1000);
    AsyncRequestQueue queue(bytes.Reader());
    std::vector<BYTE> buffers[3] = {std::vector<BYTE>(10), std::vector<BYTE>(20),
                                    std::vector<BYTE>(30)};
    ASSERT_EQ(queue.Request(0, 10, buffers[0].data(), nullptr, 1), S_OK);
    ASSERT_EQ(queue.Request(500, 20, buffers[1].data(), nullptr, 2), S_OK);
    ASSERT_EQ(queue.Request(100, 30, buffers[2].data(), nullptr, 3), S_OK);
    for (DWORD_PTR user = 1; user <= 3; ++user) {
        const Completion done = Next(queue);
        EXPECT_EQ(done.result, S_OK);
        EXPECT_EQ(done.user, user);
    }
    EXPECT_EQ(buffers[1][0], bytes.At(500));
    EXPECT_EQ(buffers[2][29], bytes.At(129));
}

TEST(AsyncRequestQueue, a_read_past_the_end_comes_back_short_with_s_false) {
    MemoryBytes bytes(100);
    AsyncRequestQueue queue(bytes.Reader());
    std::vector<BYTE> buffer(50);
    ASSERT_EQ(queue.Request(80, 50, buffer.data(), nullptr, 7), S_OK);
    const Completion done = Next(queue);
    EXPECT_EQ(done.result, S_FALSE);
    EXPECT_EQ(done.actual, 20);
    long actual = 0;
    EXPECT_EQ(queue.SyncRead(90, 50, buffer.data(), &actual), S_FALSE);
    EXPECT_EQ(actual, 10);
    EXPECT_EQ(queue.SyncRead(0, 50, buffer.data(), &actual), S_OK);
    EXPECT_EQ(actual, 50);
}

TEST(AsyncRequestQueue, a_failing_read_completes_with_e_fail) {
    MemoryBytes bytes(100);
    bytes.FailAt(40);
    AsyncRequestQueue queue(bytes.Reader());
    std::vector<BYTE> buffer(10);
    ASSERT_EQ(queue.Request(40, 10, buffer.data(), nullptr, 0), S_OK);
    EXPECT_EQ(Next(queue).result, E_FAIL);
    EXPECT_EQ(queue.SyncRead(40, 10, buffer.data(), nullptr), E_FAIL);
}

TEST(AsyncRequestQueue, nothing_done_and_no_time_to_wait_times_out_at_once) {
    MemoryBytes bytes(100);
    AsyncRequestQueue queue(bytes.Reader());
    const Completion done = Next(queue, 0);
    EXPECT_EQ(done.result, VFW_E_TIMEOUT);
    EXPECT_EQ(done.context, nullptr);
}

TEST(AsyncRequestQueue, refuses_bad_arguments) {
    MemoryBytes bytes(100);
    AsyncRequestQueue queue(bytes.Reader());
    BYTE buffer[4];
    EXPECT_EQ(queue.Request(0, 4, nullptr, nullptr, 0), E_POINTER);
    EXPECT_EQ(queue.Request(-1, 4, buffer, nullptr, 0), E_INVALIDARG);
    IMediaSample* context = nullptr;
    EXPECT_EQ(queue.WaitForNext(0, &context, nullptr, nullptr), E_POINTER);
}

TEST(AsyncRequestQueue, flush_hands_back_pending_reads_and_refuses_new_ones_until_it_ends) {
    MemoryBytes bytes(1000);
    bytes.BlockAt(0);
    AsyncRequestQueue queue(bytes.Reader());
    std::vector<BYTE> buffer(300);
    ASSERT_EQ(queue.Request(0, 100, buffer.data(), nullptr, 1), S_OK);
    ASSERT_TRUE(bytes.WaitUntilBlocked());
    ASSERT_EQ(queue.Request(100, 100, buffer.data() + 100, nullptr, 2), S_OK);
    ASSERT_EQ(queue.Request(200, 100, buffer.data() + 200, nullptr, 3), S_OK);

    auto flushed = std::async(std::launch::async, [&] { queue.BeginFlush(); });
    // The flush waits for the read in progress, which is not allowed to finish yet.
    EXPECT_EQ(flushed.wait_for(50ms), std::future_status::timeout);
    bytes.Release();
    ASSERT_EQ(flushed.wait_for(5s), std::future_status::ready);

    const Completion second = Next(queue);
    const Completion third = Next(queue);
    const Completion first = Next(queue);
    EXPECT_EQ(second.user, 2u);
    EXPECT_EQ(second.result, VFW_E_WRONG_STATE);
    EXPECT_EQ(third.user, 3u);
    EXPECT_EQ(first.user, 1u);
    EXPECT_EQ(first.result, S_OK);
    EXPECT_EQ(Next(queue).result, VFW_E_WRONG_STATE);  // nothing left: no waiting
    EXPECT_EQ(queue.Request(0, 10, buffer.data(), nullptr, 4), VFW_E_WRONG_STATE);

    queue.EndFlush();
    ASSERT_EQ(queue.Request(0, 10, buffer.data(), nullptr, 5), S_OK);
    EXPECT_EQ(Next(queue).user, 5u);
}

TEST(AsyncRequestQueue, destroying_with_reads_pending_ends_the_worker_promptly) {
    MemoryBytes bytes(100000);
    std::vector<BYTE> buffer(100000);
    auto queue = std::make_unique<AsyncRequestQueue>(bytes.Reader());
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(queue->Request(i * 1000, 1000, buffer.data() + i * 1000, nullptr, 0), S_OK);
    }
    auto destroyed = std::async(std::launch::async, [&] { queue.reset(); });
    EXPECT_EQ(destroyed.wait_for(5s), std::future_status::ready);
}

}  // namespace
