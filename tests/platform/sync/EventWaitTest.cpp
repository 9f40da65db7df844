#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sync/sync.h"

namespace {

// Long enough for any thread to get going on a loaded machine; only reached on failure.
constexpr DWORD kPatience = 10000;

// Closes the handles a test made, whatever its assertions did.
class Handles {
public:
    ~Handles() {
        for (HANDLE handle : m_handles)
            CloseHandle(handle);
    }
    HANDLE Event(bool manual_reset, bool signalled) {
        HANDLE event = CreateEventA(nullptr, manual_reset, signalled, nullptr);
        m_handles.push_back(event);
        return event;
    }

private:
    std::vector<HANDLE> m_handles;
};

TEST(EventTest, manual_reset_event_stays_signalled_for_every_wait_until_reset) {
    Handles handles;
    HANDLE event = handles.Event(true, false);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(EventTest, auto_reset_event_satisfies_one_wait_then_resets) {
    Handles handles;
    HANDLE event = handles.Event(false, true);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    SetEvent(event);
    SetEvent(event);  // setting a set event does not count twice
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(EventTest, timed_wait_on_an_unsignalled_event_times_out_no_sooner_than_asked) {
    Handles handles;
    HANDLE event = handles.Event(true, false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 30), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST(EventTest, set_event_releases_a_thread_blocked_without_time_limit) {
    Handles handles;
    HANDLE event = handles.Event(false, false);
    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForSingleObject(event, INFINITE); });
    Sleep(20);  // usually lets the waiter block first; the result is the same either way
    SetEvent(event);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);  // consumed by the waiter
}

TEST(EventTest, one_set_of_an_auto_reset_event_releases_exactly_one_of_two_waiters) {
    Handles handles;
    HANDLE event = handles.Event(false, false);
    std::atomic<int> released{0};
    auto wait = [&] {
        if (WaitForSingleObject(event, kPatience) == WAIT_OBJECT_0) ++released;
    };
    std::thread first(wait);
    std::thread second(wait);
    SetEvent(event);
    // The other waiter is only let go by the second set: until then exactly one is out.
    for (int i = 0; i < 500 && released.load() == 0; ++i)
        Sleep(2);
    Sleep(20);
    EXPECT_EQ(released.load(), 1);
    SetEvent(event);
    first.join();
    second.join();
    EXPECT_EQ(released.load(), 2);
}

TEST(EventTest, auto_reset_handoff_between_two_threads_loses_no_signal) {
    Handles handles;
    HANDLE ping = handles.Event(false, false);
    HANDLE pong = handles.Event(false, false);
    constexpr int kRounds = 2000;
    std::atomic<int> answered{0};
    std::thread partner([&] {
        for (int i = 0; i < kRounds; ++i) {
            if (WaitForSingleObject(ping, kPatience) != WAIT_OBJECT_0) return;
            ++answered;
            SetEvent(pong);
        }
    });
    int rounds = 0;
    for (; rounds < kRounds; ++rounds) {
        SetEvent(ping);
        if (WaitForSingleObject(pong, kPatience) != WAIT_OBJECT_0) break;
    }
    partner.join();
    EXPECT_EQ(rounds, kRounds);
    EXPECT_EQ(answered.load(), kRounds);
}

TEST(MultipleWaitTest, wait_for_any_returns_the_lowest_signalled_index) {
    Handles handles;
    HANDLE events[3] = {handles.Event(true, false), handles.Event(true, true),
                        handles.Event(true, true)};
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    ResetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
    ResetEvent(events[2]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 10), WAIT_TIMEOUT);
}

TEST(MultipleWaitTest, wait_for_any_consumes_only_the_auto_reset_event_it_returns) {
    Handles handles;
    HANDLE events[2] = {handles.Event(false, true), handles.Event(false, true)};
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_OBJECT_0);
}

TEST(MultipleWaitTest, wait_for_any_is_released_by_a_later_signal_of_any_object) {
    Handles handles;
    HANDLE events[3] = {handles.Event(false, false), handles.Event(false, false),
                        handles.Event(false, false)};
    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForMultipleObjects(3, events, FALSE, kPatience); });
    Sleep(10);
    SetEvent(events[2]);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0 + 2);
}

TEST(MultipleWaitTest, wait_for_all_takes_nothing_until_every_object_is_signalled) {
    Handles handles;
    HANDLE events[2] = {handles.Event(false, true), handles.Event(false, false)};
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 10), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0);  // was left signalled

    SetEvent(events[0]);
    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForMultipleObjects(2, events, TRUE, kPatience); });
    Sleep(10);
    SetEvent(events[1]);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_TIMEOUT);  // both taken together
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_TIMEOUT);
}

TEST(MultipleWaitTest, wait_for_all_leaves_manual_reset_events_signalled) {
    Handles handles;
    HANDLE events[2] = {handles.Event(true, true), handles.Event(false, true)};
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_TIMEOUT);
}

TEST(MultipleWaitTest, bad_arguments_fail_at_once) {
    Handles handles;
    HANDLE event = handles.Event(true, true);
    HANDLE twice[2] = {event, event};
    EXPECT_EQ(WaitForMultipleObjects(0, &event, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(1, nullptr, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 0), WAIT_OBJECT_0);
    std::vector<HANDLE> too_many(MAXIMUM_WAIT_OBJECTS + 1, event);
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, too_many.data(), FALSE, 0),
              WAIT_FAILED);
}

TEST(HandleTest, closed_and_made_up_handles_fail_instead_of_crashing) {
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, "unused name");
    ASSERT_NE(event, nullptr);
    EXPECT_NE(event, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(event));
    EXPECT_FALSE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x12345)));
}

TEST(HandleTest, events_of_the_same_name_are_separate_events) {
    Handles handles;
    HANDLE first = CreateEventA(nullptr, TRUE, FALSE, "CLoadingWakeUp");
    HANDLE second = CreateEventA(nullptr, TRUE, FALSE, "CLoadingWakeUp");
    ASSERT_NE(first, second);
    SetEvent(first);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
    CloseHandle(first);
    CloseHandle(second);
}

TEST(HandleTest, closing_a_handle_during_a_wait_does_not_pull_the_event_away) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForSingleObject(event, 50); });
    Sleep(10);
    EXPECT_TRUE(CloseHandle(event));
    waiter.join();
    // Either the wait had started (and then timed out) or it found the handle closed.
    EXPECT_TRUE(result.load() == WAIT_TIMEOUT || result.load() == WAIT_FAILED);
}

TEST(SleepTest, sleep_waits_at_least_the_time_asked) {
    const auto start = std::chrono::steady_clock::now();
    Sleep(15);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
}

}  // namespace
