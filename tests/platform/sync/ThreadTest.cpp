#include <atomic>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sync/sync.h"

namespace {

constexpr DWORD kPatience = 10000;

struct Gate {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> seen_id{0};
    ~Gate() {
        CloseHandle(go);
        CloseHandle(done);
    }
};

DWORD WaitForGoThenReturn42(LPVOID param) {
    auto* gate = static_cast<Gate*>(param);
    gate->seen_id = GetCurrentThreadId();
    if (WaitForSingleObject(gate->go, kPatience) != WAIT_OBJECT_0) return 1;
    SetEvent(gate->done);
    return 42;
}

DWORD ReturnParameter(LPVOID param) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(param));
}

TEST(ThreadTest, thread_handle_is_signalled_when_the_routine_returns_with_its_exit_code) {
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitForGoThenReturn42, &gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 10), WAIT_TIMEOUT);

    SetEvent(gate.go);
    ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(gate.seen_id.load(), id);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(ThreadTest, a_thread_whose_handle_is_closed_runs_on_to_its_end) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, WaitForGoThenReturn42, &gate, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(gate.go);
    EXPECT_EQ(WaitForSingleObject(gate.done, kPatience), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
}

TEST(ThreadTest, waiting_for_all_of_many_threads_returns_when_the_last_ends) {
    constexpr DWORD kCount = 16;
    std::vector<HANDLE> threads;
    for (DWORD i = 0; i < kCount; ++i) {
        threads.push_back(CreateThread(nullptr, 0, ReturnParameter,
                                       reinterpret_cast<LPVOID>(uintptr_t{100} + i), 0, nullptr));
        ASSERT_NE(threads.back(), nullptr);
    }
    EXPECT_EQ(WaitForMultipleObjects(kCount, threads.data(), TRUE, kPatience), WAIT_OBJECT_0);
    for (DWORD i = 0; i < kCount; ++i) {
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(threads[i], &code));
        EXPECT_EQ(code, 100 + i);
        CloseHandle(threads[i]);
    }
}

TEST(ThreadTest, thread_ids_differ_between_threads_and_stay_the_same_within_one) {
    std::atomic<DWORD> other{0};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID param) -> DWORD {
            static_cast<std::atomic<DWORD>*>(param)->store(GetCurrentThreadId());
            return 0;
        },
        &other, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_NE(GetCurrentThreadId(), 0u);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    EXPECT_NE(other.load(), 0u);
    EXPECT_NE(other.load(), GetCurrentThreadId());
}

TEST(ThreadTest, a_thread_handle_is_not_an_event) {
    HANDLE thread = CreateThread(nullptr, 0, ReturnParameter, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_FALSE(SetEvent(thread));
    EXPECT_FALSE(ResetEvent(thread));
    ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(event, &code));
    EXPECT_FALSE(GetExitCodeThread(thread, nullptr));
    CloseHandle(event);
    CloseHandle(thread);
}

TEST(ThreadTest, unsupported_requests_make_no_thread) {
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    DWORD id = 7;
    EXPECT_EQ(CreateThread(nullptr, 0, ReturnParameter, nullptr, CREATE_SUSPENDED, &id), nullptr);
    EXPECT_EQ(id, 7u);
}

}  // namespace
