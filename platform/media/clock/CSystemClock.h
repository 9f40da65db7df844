// The system reference clock (CLSID_SystemClock): the machine's monotonic time in 100 ns
// units. A graph uses it when none of its filters offers a clock.
// Order of use: CreateInstance (or new, which gives one reference), then IReferenceClock.
// Threading: any thread.
#pragma once

#include "platform/media/clock/CBaseReferenceClock.h"

class CSystemClock : public CBaseReferenceClock {
public:
    CSystemClock() = default;
    ~CSystemClock() override;

    // A class factory's CreateInstance: no aggregation.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

protected:
    REFERENCE_TIME GetPrivateTime() override;
};
