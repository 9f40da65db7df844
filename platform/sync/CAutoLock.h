// Holds a CCritSec for the life of a scope, as the media framework's base classes do.
// Threading: the object stays on the thread that made it.
#pragma once

#include "platform/sync/CCritSec.h"

class CAutoLock {
public:
    explicit CAutoLock(CCritSec* lock) : m_lock(lock) {
        if (m_lock) m_lock->Lock();
    }
    ~CAutoLock() {
        if (m_lock) m_lock->Unlock();
    }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCritSec* m_lock;
};
