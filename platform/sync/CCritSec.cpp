#include "platform/sync/CCritSec.h"

#include <thread>

void CCritSec::Lock() {
    EnterCriticalSection(&m_section);
}

void CCritSec::Unlock() {
    LeaveCriticalSection(&m_section);
}

bool CCritSec::IsLockedByCurrentThread() const {
    return m_section.owner.load() == std::this_thread::get_id();
}

BOOL CritCheckIn(const CCritSec* lock) {
    return lock && lock->IsLockedByCurrentThread() ? TRUE : FALSE;
}

BOOL CritCheckOut(const CCritSec* lock) {
    return lock && !lock->IsLockedByCurrentThread() ? TRUE : FALSE;
}
