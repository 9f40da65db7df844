#include "platform/media/clock/ClockAdviseList.h"

#include <gtest/gtest.h>

namespace {

class Event {
public:
    Event() : m_handle(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(m_handle); }
    HANDLE Get() const { return m_handle; }
    bool Signalled() const { return WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0; }
    void Reset() { ResetEvent(m_handle); }

private:
    HANDLE m_handle;
};

TEST(ClockAdviseList, fires_only_what_is_due_and_reports_the_next_time) {
    ClockAdviseList list;
    Event early, late;
    list.AddOneShot(200, late.Get());
    list.AddOneShot(100, early.Get());
    EXPECT_EQ(list.NextDue(), 100);

    EXPECT_EQ(list.Fire(150), 200);
    EXPECT_TRUE(early.Signalled());
    EXPECT_FALSE(late.Signalled());
    EXPECT_EQ(list.Size(), 1u);

    EXPECT_EQ(list.Fire(200), ClockAdviseList::kNever);
    EXPECT_TRUE(late.Signalled());
    EXPECT_EQ(list.Size(), 0u);
}

TEST(ClockAdviseList, cookies_are_unique_and_remove_cancels_once) {
    ClockAdviseList list;
    Event event;
    const auto first = list.AddOneShot(10, event.Get());
    const auto second = list.AddOneShot(10, event.Get());
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_TRUE(list.Remove(first));
    EXPECT_FALSE(list.Remove(first));
    EXPECT_FALSE(list.Remove(12345));
    EXPECT_EQ(list.Size(), 1u);
}

TEST(ClockAdviseList, periodic_advise_moves_to_the_first_period_after_now) {
    ClockAdviseList list;
    Event tick;
    list.AddPeriodic(100, 50, tick.Get());
    EXPECT_EQ(list.Fire(99), 100);
    EXPECT_FALSE(tick.Signalled());

    EXPECT_EQ(list.Fire(100), 150);
    EXPECT_TRUE(tick.Signalled());
    tick.Reset();

    // Late by several periods: one signal, and the next due time lies ahead of now.
    EXPECT_EQ(list.Fire(420), 450);
    EXPECT_TRUE(tick.Signalled());
    EXPECT_EQ(list.Size(), 1u);
}

TEST(ClockAdviseList, periodic_advise_near_the_end_of_time_does_not_overflow) {
    ClockAdviseList list;
    Event tick;
    const LONGLONG huge_period = ClockAdviseList::kNever / 2;
    list.AddPeriodic(ClockAdviseList::kNever - 10, huge_period, tick.Get());
    EXPECT_EQ(list.Fire(ClockAdviseList::kNever - 5), ClockAdviseList::kNever);
    EXPECT_TRUE(tick.Signalled());
    EXPECT_EQ(list.Size(), 0u);
}

TEST(ClockAdviseList, equal_times_fire_in_the_order_they_were_added) {
    ClockAdviseList list;
    Event a, b;
    const auto first = list.AddOneShot(100, a.Get());
    list.AddOneShot(100, b.Get());
    list.AddOneShot(50, b.Get());
    EXPECT_TRUE(list.Remove(first));
    EXPECT_EQ(list.Fire(60), 100);
    EXPECT_EQ(list.Fire(100), ClockAdviseList::kNever);
    EXPECT_FALSE(a.Signalled());
}

}  // namespace
