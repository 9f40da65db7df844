// A reference clock whose time the test sets by hand, so advises can be checked without
// depending on how fast the machine is.
#pragma once

#include <atomic>

#include "platform/media/clock/CBaseReferenceClock.h"

class ManualClock : public CBaseReferenceClock {
public:
    explicit ManualClock(IUnknown* owner = nullptr) : CBaseReferenceClock(owner) {}
    ~ManualClock() override { StopAdviseThread(); }

    // Moves the time and wakes the advise thread, as a device clock would.
    void SetTime(REFERENCE_TIME time) {
        m_time = time;
        TriggerThread();
    }

protected:
    REFERENCE_TIME GetPrivateTime() override { return m_time; }

private:
    std::atomic<REFERENCE_TIME> m_time{1};
};
