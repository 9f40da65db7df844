#include "platform/media/clock/CBaseReferenceClock.h"

#include <chrono>
#include <system_error>

CBaseReferenceClock::CBaseReferenceClock(IUnknown* owner) : m_owner(owner) {}

CBaseReferenceClock::~CBaseReferenceClock() {
    StopAdviseThread();
}

HRESULT CBaseReferenceClock::QueryInterface(REFIID iid, void** object) {
    if (m_owner) return m_owner->QueryInterface(iid, object);
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IReferenceClock) {
        *object = static_cast<IReferenceClock*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CBaseReferenceClock::AddRef() {
    if (m_owner) return m_owner->AddRef();
    return ++m_references;
}

ULONG CBaseReferenceClock::Release() {
    if (m_owner) return m_owner->Release();
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

HRESULT CBaseReferenceClock::GetTime(REFERENCE_TIME* time) {
    if (!time) return E_POINTER;
    const REFERENCE_TIME source = GetPrivateTime();
    std::lock_guard<std::mutex> lock(m_time_mutex);
    const bool moved = source > m_last_time;
    if (moved) m_last_time = source;
    *time = m_last_time;
    return moved ? S_OK : S_FALSE;
}

HRESULT CBaseReferenceClock::AdviseTime(REFERENCE_TIME base_time, REFERENCE_TIME stream_time,
                                        HEVENT event, DWORD_PTR* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    // base + stream must be a real time ahead of the clock's origin, without overflow.
    if (!event || stream_time < 0 || base_time <= 0 || stream_time >= MAX_TIME - base_time) {
        return E_INVALIDARG;
    }
    return AddAdvise(base_time + stream_time, 0, event, cookie);
}

HRESULT CBaseReferenceClock::AdvisePeriodic(REFERENCE_TIME start_time, REFERENCE_TIME period_time,
                                            HSEMAPHORE semaphore, DWORD_PTR* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!semaphore || start_time <= 0 || period_time <= 0 || start_time == MAX_TIME) {
        return E_INVALIDARG;
    }
    return AddAdvise(start_time, period_time, semaphore, cookie);
}

HRESULT CBaseReferenceClock::Unadvise(DWORD_PTR cookie) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_advises.Remove(cookie) ? S_OK : S_FALSE;
}

void CBaseReferenceClock::TriggerThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_triggered = true;
    }
    m_wake.notify_one();
}

size_t CBaseReferenceClock::PendingAdvises() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_advises.Size();
}

void CBaseReferenceClock::StopAdviseThread() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        thread = std::move(m_thread);
    }
    m_wake.notify_one();
    if (thread.joinable()) thread.join();
}

REFERENCE_TIME CBaseReferenceClock::Now() {
    REFERENCE_TIME now = 0;
    GetTime(&now);
    return now;
}

HRESULT CBaseReferenceClock::AddAdvise(LONGLONG due, LONGLONG period, DWORD_PTR handle,
                                       DWORD_PTR* cookie) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) return E_UNEXPECTED;
        if (!EnsureThreadLocked()) return E_OUTOFMEMORY;
        const HANDLE target = reinterpret_cast<HANDLE>(handle);
        *cookie = period > 0 ? m_advises.AddPeriodic(due, period, target)
                             : m_advises.AddOneShot(due, target);
        m_triggered = true;
    }
    m_wake.notify_one();
    return S_OK;
}

bool CBaseReferenceClock::EnsureThreadLocked() {
    if (m_thread.joinable()) return true;
    try {
        m_thread = std::thread([this] { ThreadLoop(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CBaseReferenceClock::ThreadLoop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        m_triggered = false;
        if (m_advises.Size() == 0) {
            m_wake.wait(lock, [this] { return m_stopping || m_triggered; });
            continue;
        }
        // The time source may take locks of its own: never ask it with ours held.
        lock.unlock();
        const REFERENCE_TIME now = Now();
        lock.lock();
        const LONGLONG next = m_advises.Fire(now);
        if (next == ClockAdviseList::kNever || m_triggered) continue;
        const REFERENCE_TIME sleep = next - now < kMaxSleep ? next - now : kMaxSleep;
        // 100 ns units to microseconds, rounded up so that the thread wakes at or after `next`.
        m_wake.wait_for(lock, std::chrono::microseconds((sleep + 9) / 10),
                        [this] { return m_stopping || m_triggered; });
    }
}
