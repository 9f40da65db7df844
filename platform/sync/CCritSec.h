// The media framework's critical section object: a recursive lock owned by one thread at a
// time, like a Win32 critical section. Lock it through CAutoLock where a scope will do.
// Threading: any thread; Unlock only by the thread that locked (other calls are ignored).
#pragma once

#include "platform/WinTypes.h"
#include "platform/sync/sync.h"

class CCritSec {
public:
    CCritSec() = default;
    ~CCritSec() = default;
    CCritSec(const CCritSec&) = delete;
    CCritSec& operator=(const CCritSec&) = delete;

    void Lock();
    void Unlock();
    // Whether the calling thread holds the lock (for assertions).
    bool IsLockedByCurrentThread() const;

private:
    mutable CRITICAL_SECTION m_section;
};

// The base classes' checks: TRUE when the calling thread holds / does not hold the lock.
BOOL CritCheckIn(const CCritSec* lock);
BOOL CritCheckOut(const CCritSec* lock);
