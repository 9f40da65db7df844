#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/media/clock/CSystemClock.h"
#include "tests/platform/media/clock/ManualClock.h"

namespace {

constexpr DWORD kBoundMs = 5000;  // no wait in these tests lasts longer
constexpr REFERENCE_TIME kMs = 10'000;

class Event {
public:
    Event() : m_handle(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(m_handle); }
    HANDLE Get() const { return m_handle; }
    HEVENT Id() const { return reinterpret_cast<HEVENT>(m_handle); }
    bool WaitFor(DWORD ms) const { return WaitForSingleObject(m_handle, ms) == WAIT_OBJECT_0; }

private:
    HANDLE m_handle;
};

ComPtr<IReferenceClock> MakeSystemClock() {
    ComPtr<IReferenceClock> clock;
    EXPECT_EQ(CSystemClock::CreateInstance(nullptr, IID_IReferenceClock,
                                           reinterpret_cast<void**>(clock.GetAddressOf())),
              S_OK);
    return clock;
}

REFERENCE_TIME Now(IReferenceClock* clock) {
    REFERENCE_TIME time = 0;
    clock->GetTime(&time);
    return time;
}

// ---- the system clock --------------------------------------------------------------------

TEST(SystemClock, time_is_positive_and_never_goes_back) {
    const auto clock = MakeSystemClock();
    REFERENCE_TIME previous = Now(clock.Get());
    EXPECT_GT(previous, 0);
    for (int i = 0; i < 1000; ++i) {
        REFERENCE_TIME time = 0;
        const HRESULT hr = clock->GetTime(&time);
        EXPECT_TRUE(hr == S_OK || hr == S_FALSE);
        EXPECT_GE(time, previous);
        previous = time;
    }
}

TEST(SystemClock, time_follows_real_time_in_100ns_units) {
    const auto clock = MakeSystemClock();
    const REFERENCE_TIME before = Now(clock.Get());
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const REFERENCE_TIME after = Now(clock.Get());
    const auto real = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    EXPECT_GE(after - before, 50 * kMs);
    EXPECT_LE(after - before, real * 10 + kMs);
}

TEST(SystemClock, advise_time_fires_at_or_after_base_plus_stream_time) {
    const auto clock = MakeSystemClock();
    Event event;
    DWORD_PTR cookie = 0;
    const REFERENCE_TIME base = Now(clock.Get());
    ASSERT_EQ(clock->AdviseTime(base, 30 * kMs, event.Id(), &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    ASSERT_TRUE(event.WaitFor(kBoundMs));
    EXPECT_GE(Now(clock.Get()), base + 30 * kMs);
}

TEST(SystemClock, advises_fire_in_time_order_not_in_request_order) {
    const auto clock = MakeSystemClock();
    Event later, sooner;
    DWORD_PTR cookie = 0;
    const REFERENCE_TIME base = Now(clock.Get());
    ASSERT_EQ(clock->AdviseTime(base, 400 * kMs, later.Id(), &cookie), S_OK);
    ASSERT_EQ(clock->AdviseTime(base, 40 * kMs, sooner.Id(), &cookie), S_OK);
    const HANDLE both[] = {later.Get(), sooner.Get()};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, kBoundMs), WAIT_OBJECT_0 + 1);
    EXPECT_TRUE(later.WaitFor(kBoundMs));
}

TEST(SystemClock, unadvise_cancels_a_pending_advise) {
    const auto clock = MakeSystemClock();
    Event event;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock->AdviseTime(Now(clock.Get()), 200 * kMs, event.Id(), &cookie), S_OK);
    EXPECT_EQ(clock->Unadvise(cookie), S_OK);
    EXPECT_FALSE(event.WaitFor(300));
    EXPECT_EQ(clock->Unadvise(cookie), S_FALSE);
}

TEST(SystemClock, periodic_advise_keeps_signalling_until_unadvised) {
    const auto clock = MakeSystemClock();
    Event tick;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock->AdvisePeriodic(Now(clock.Get()) + 5 * kMs, 10 * kMs, tick.Id(), &cookie),
              S_OK);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(tick.WaitFor(kBoundMs)) << "tick " << i;
    EXPECT_EQ(clock->Unadvise(cookie), S_OK);
    tick.WaitFor(0);  // a tick may have fired between the last wait and Unadvise
    EXPECT_FALSE(tick.WaitFor(100));
}

TEST(SystemClock, rejects_bad_advise_requests) {
    const auto clock = MakeSystemClock();
    Event event;
    DWORD_PTR cookie = 77;
    EXPECT_EQ(clock->AdviseTime(1000, 0, 0, &cookie), E_INVALIDARG);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(clock->AdviseTime(0, 0, event.Id(), &cookie), E_INVALIDARG);
    EXPECT_EQ(clock->AdviseTime(1000, -1, event.Id(), &cookie), E_INVALIDARG);
    EXPECT_EQ(clock->AdviseTime(MAX_TIME - 5, 10, event.Id(), &cookie), E_INVALIDARG);
    EXPECT_EQ(clock->AdviseTime(1000, 0, event.Id(), nullptr), E_POINTER);
    EXPECT_EQ(clock->AdvisePeriodic(1000, 0, event.Id(), &cookie), E_INVALIDARG);
    EXPECT_EQ(clock->AdvisePeriodic(0, 10, event.Id(), &cookie), E_INVALIDARG);
    EXPECT_EQ(clock->AdvisePeriodic(1000, 10, 0, &cookie), E_INVALIDARG);
    EXPECT_EQ(clock->GetTime(nullptr), E_POINTER);
}

TEST(SystemClock, answers_its_interfaces_and_refuses_aggregation) {
    const auto clock = MakeSystemClock();
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(clock.As(&unknown), S_OK);
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(clock.As(&filter), E_NOINTERFACE);
    EXPECT_EQ(filter, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CSystemClock::CreateInstance(unknown.Get(), IID_IUnknown, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST(SystemClock, releasing_the_clock_with_advises_pending_returns_promptly) {
    Event event;
    {
        auto clock = MakeSystemClock();
        DWORD_PTR cookie = 0;
        ASSERT_EQ(clock->AdviseTime(Now(clock.Get()), 3600 * 10'000'000LL, event.Id(), &cookie),
                  S_OK);
        EXPECT_EQ(clock.Reset(), 0u);
    }
    EXPECT_FALSE(event.WaitFor(0));
}

// ---- a clock driven by another time source -----------------------------------------------

TEST(DrivenClock, hides_a_source_that_goes_back) {
    auto* clock = new ManualClock();
    clock->SetTime(500);
    REFERENCE_TIME time = 0;
    EXPECT_EQ(clock->GetTime(&time), S_OK);
    EXPECT_EQ(time, 500);
    clock->SetTime(300);
    EXPECT_EQ(clock->GetTime(&time), S_FALSE);
    EXPECT_EQ(time, 500);
    clock->SetTime(700);
    EXPECT_EQ(clock->GetTime(&time), S_OK);
    EXPECT_EQ(time, 700);
    clock->Release();
}

TEST(DrivenClock, advise_waits_for_the_source_not_for_real_time) {
    auto* clock = new ManualClock();
    clock->SetTime(1000);
    Event event;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock->AdviseTime(1000, 5000, event.Id(), &cookie), S_OK);
    // The source stands still: however long we wait, the time is not reached.
    EXPECT_FALSE(event.WaitFor(100));
    clock->SetTime(5999);
    EXPECT_FALSE(event.WaitFor(100));
    clock->SetTime(6000);
    EXPECT_TRUE(event.WaitFor(kBoundMs));
    EXPECT_EQ(clock->PendingAdvises(), 0u);
    clock->Release();
}

TEST(DrivenClock, a_jump_past_several_advises_fires_them_all) {
    auto* clock = new ManualClock();
    Event first, second, third;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock->AdviseTime(100, 0, third.Id(), &cookie), S_OK);
    ASSERT_EQ(clock->AdviseTime(10, 0, first.Id(), &cookie), S_OK);
    ASSERT_EQ(clock->AdviseTime(50, 0, second.Id(), &cookie), S_OK);
    clock->SetTime(60);
    EXPECT_TRUE(first.WaitFor(kBoundMs));
    EXPECT_TRUE(second.WaitFor(kBoundMs));
    EXPECT_FALSE(third.WaitFor(50));
    clock->SetTime(100);
    EXPECT_TRUE(third.WaitFor(kBoundMs));
    clock->Release();
}

TEST(DrivenClock, advise_for_a_time_already_passed_fires_at_once) {
    auto* clock = new ManualClock();
    clock->SetTime(10'000);
    Event event;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock->AdviseTime(100, 0, event.Id(), &cookie), S_OK);
    EXPECT_TRUE(event.WaitFor(kBoundMs));
    clock->Release();
}

// An object that owns its clock: the clock's IUnknown is the owner's.
class ClockOwner : public IUnknown {
public:
    ClockOwner() : m_clock(new ManualClock(this)) {}
    ~ClockOwner() override { delete m_clock; }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IReferenceClock) {
            *object = static_cast<IReferenceClock*>(m_clock);
        } else if (iid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }
    ULONG References() const { return m_references; }

private:
    ManualClock* m_clock;
    ULONG m_references = 1;
};

TEST(DrivenClock, clock_inside_an_owner_shares_the_owners_identity_and_count) {
    auto* owner = new ClockOwner();
    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(owner->QueryInterface(IID_PPV_ARGS(clock.GetAddressOf())), S_OK);
    EXPECT_EQ(owner->References(), 2u);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(clock.As(&identity), S_OK);
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(owner));
    EXPECT_EQ(owner->References(), 3u);
    identity = nullptr;
    clock = nullptr;
    EXPECT_EQ(owner->References(), 1u);
    owner->Release();
}

}  // namespace
