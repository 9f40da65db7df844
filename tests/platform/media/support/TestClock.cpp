#include "tests/platform/media/support/TestClock.h"

#include <algorithm>

#include "platform/sync/sync.h"

TestClock::TestClock() : CUnknown("test clock") {}

TestClock::~TestClock() = default;

HRESULT TestClock::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IReferenceClock)) {
        return GetInterface(static_cast<IReferenceClock*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT TestClock::GetTime(REFERENCE_TIME* time) {
    if (!time) return E_POINTER;
    std::lock_guard<std::mutex> lock(m_mutex);
    *time = m_now;
    return S_OK;
}

HRESULT TestClock::AdviseTime(REFERENCE_TIME base_time, REFERENCE_TIME stream_time, HEVENT event,
                              DWORD_PTR* cookie) {
    if (!cookie) return E_POINTER;
    if (!event) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_mutex);
    *cookie = m_next_cookie++;
    m_advises.push_back({*cookie, base_time + stream_time, 0, reinterpret_cast<HANDLE>(event)});
    FireDueLocked();
    return S_OK;
}

HRESULT TestClock::AdvisePeriodic(REFERENCE_TIME start_time, REFERENCE_TIME period_time,
                                  HSEMAPHORE semaphore, DWORD_PTR* cookie) {
    if (!cookie) return E_POINTER;
    if (!semaphore || period_time <= 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_mutex);
    *cookie = m_next_cookie++;
    m_advises.push_back({*cookie, start_time, period_time, reinterpret_cast<HANDLE>(semaphore)});
    FireDueLocked();
    return S_OK;
}

HRESULT TestClock::Unadvise(DWORD_PTR cookie) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = std::find_if(m_advises.begin(), m_advises.end(),
                                    [&](const Advise& advise) { return advise.cookie == cookie; });
    if (found == m_advises.end()) return S_FALSE;
    m_advises.erase(found);
    return S_OK;
}

void TestClock::SetTime(REFERENCE_TIME time) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_now = time;
    FireDueLocked();
}

void TestClock::Advance(REFERENCE_TIME delta) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_now += delta;
    FireDueLocked();
}

size_t TestClock::PendingAdvises() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_advises.size();
}

void TestClock::FireDueLocked() {
    for (auto it = m_advises.begin(); it != m_advises.end();) {
        if (it->due > m_now) {
            ++it;
            continue;
        }
        SetEvent(it->handle);
        if (it->period > 0) {
            while (it->due <= m_now)
                it->due += it->period;
            ++it;
        } else {
            it = m_advises.erase(it);
        }
    }
}
