#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sync/CAutoLock.h"
#include "platform/sync/CCritSec.h"
#include "platform/sync/sync.h"

namespace {

constexpr DWORD kPatience = 10000;

TEST(CCritSecTest, the_owner_may_lock_again_and_holds_it_until_the_last_unlock) {
    CCritSec lock;
    EXPECT_TRUE(CritCheckOut(&lock));
    lock.Lock();
    lock.Lock();
    EXPECT_TRUE(CritCheckIn(&lock));
    lock.Unlock();
    EXPECT_TRUE(CritCheckIn(&lock));

    HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        CAutoLock hold(&lock);
        SetEvent(entered);
    });
    EXPECT_EQ(WaitForSingleObject(entered, 30), WAIT_TIMEOUT);  // still ours
    lock.Unlock();
    EXPECT_TRUE(CritCheckOut(&lock));
    EXPECT_EQ(WaitForSingleObject(entered, kPatience), WAIT_OBJECT_0);
    other.join();
    CloseHandle(entered);
}

TEST(CCritSecTest, unlock_by_a_thread_that_does_not_hold_it_is_ignored) {
    CCritSec lock;
    CAutoLock hold(&lock);
    std::thread stranger([&] { lock.Unlock(); });
    stranger.join();
    EXPECT_TRUE(CritCheckIn(&lock));
}

TEST(CCritSecTest, auto_lock_releases_at_the_end_of_its_scope) {
    CCritSec lock;
    {
        CAutoLock hold(&lock);
        EXPECT_TRUE(CritCheckIn(&lock));
    }
    EXPECT_TRUE(CritCheckOut(&lock));
    EXPECT_FALSE(CritCheckIn(nullptr));
}

TEST(CCritSecTest, many_threads_contending_lose_no_update) {
    CCritSec lock;
    constexpr int kThreads = 8;
    constexpr int kRounds = 20000;
    long counter = 0;  // guarded by `lock`
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                CAutoLock outer(&lock);
                CAutoLock inner(&lock);  // recursion on the way, as nested calls do
                ++counter;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, long{kThreads} * kRounds);
}

TEST(CriticalSectionTest, win32_functions_lock_recursively_and_exclude_other_threads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));
    std::atomic<BOOL> other_got_it{TRUE};
    std::thread other([&] { other_got_it = TryEnterCriticalSection(&section); });
    other.join();
    EXPECT_FALSE(other_got_it.load());
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    std::thread again([&] {
        other_got_it = TryEnterCriticalSection(&section);
        if (other_got_it) LeaveCriticalSection(&section);
    });
    again.join();
    EXPECT_TRUE(other_got_it.load());
    DeleteCriticalSection(&section);
}

TEST(CriticalSectionTest, many_threads_contending_through_the_win32_functions) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    constexpr int kThreads = 6;
    constexpr int kRounds = 20000;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                EnterCriticalSection(&section);
                ++counter;
                LeaveCriticalSection(&section);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    DeleteCriticalSection(&section);
    EXPECT_EQ(counter, long{kThreads} * kRounds);
}

}  // namespace
