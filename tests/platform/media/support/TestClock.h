// TestClock: a reference clock whose time moves only when the test says so, so that clock
// waits are deterministic. AdviseTime sets the event at once when the time has come, or when
// SetTime/Advance later reaches it; AdvisePeriodic sets its handle (an event here) once per
// period crossed. Unadvise forgets a pending advise.
// Threading: any thread; an internal mutex guards the time and the advises.
#pragma once

#include <mutex>
#include <vector>

#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"
#include "platform/sync/sync.h"

class TestClock : public CUnknown, public IReferenceClock {
public:
    TestClock();
    ~TestClock() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT GetTime(REFERENCE_TIME* time) override;
    HRESULT AdviseTime(REFERENCE_TIME base_time, REFERENCE_TIME stream_time, HEVENT event,
                       DWORD_PTR* cookie) override;
    HRESULT AdvisePeriodic(REFERENCE_TIME start_time, REFERENCE_TIME period_time,
                           HSEMAPHORE semaphore, DWORD_PTR* cookie) override;
    HRESULT Unadvise(DWORD_PTR cookie) override;

    void SetTime(REFERENCE_TIME time);
    void Advance(REFERENCE_TIME delta);
    size_t PendingAdvises();

private:
    struct Advise {
        DWORD_PTR cookie;
        REFERENCE_TIME due;
        REFERENCE_TIME period;  // 0 for a one-shot advise
        HANDLE handle;
    };
    void FireDueLocked();

    std::mutex m_mutex;
    REFERENCE_TIME m_now = 0;
    DWORD_PTR m_next_cookie = 1;
    std::vector<Advise> m_advises;
};
