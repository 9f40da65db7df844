// A reference clock (IReferenceClock) whose time comes from a derived class's GetPrivateTime:
// the base keeps the time monotonic and runs the advise requests on a thread of its own. The
// system clock derives from it, and so does a renderer that offers its device's playback
// position as the graph's clock.
//
// Stand-alone, the clock counts its own references (it is made with one). Given an owner, it
// is part of that object: its IUnknown calls go to the owner, whose QueryInterface answers
// IID_IReferenceClock with this clock, and the owner's lifetime is the clock's.
//
// Order of use: construct; GetTime / AdviseTime / AdvisePeriodic / Unadvise from any thread;
// a derived class calls StopAdviseThread first thing in its destructor (the thread calls
// GetPrivateTime, which must not run on a half-destroyed object).
// Threading: any thread. GetPrivateTime is called without any lock of the clock held, so it
// may take its own lock (a filter's, a device's); TriggerThread may be called from anywhere,
// an audio callback included (it neither allocates nor waits).
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/media/clock/ClockAdviseList.h"
#include "platform/media/strmif.h"

class CBaseReferenceClock : public IReferenceClock {
public:
    explicit CBaseReferenceClock(IUnknown* owner = nullptr);
    ~CBaseReferenceClock() override;
    CBaseReferenceClock(const CBaseReferenceClock&) = delete;
    CBaseReferenceClock& operator=(const CBaseReferenceClock&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // S_FALSE when the time has not moved since the last call (the same value is given).
    HRESULT GetTime(REFERENCE_TIME* time) override;
    HRESULT AdviseTime(REFERENCE_TIME base_time, REFERENCE_TIME stream_time, HEVENT event,
                       DWORD_PTR* cookie) override;
    HRESULT AdvisePeriodic(REFERENCE_TIME start_time, REFERENCE_TIME period_time,
                           HSEMAPHORE semaphore, DWORD_PTR* cookie) override;
    // S_FALSE when the cookie names no pending advise.
    HRESULT Unadvise(DWORD_PTR cookie) override;

    // Makes the advise thread look at the time again: for a time source that jumped.
    void TriggerThread();
    size_t PendingAdvises() const;

protected:
    // The source's time in 100 ns units. It may stand still or jump; going back is hidden.
    virtual REFERENCE_TIME GetPrivateTime() = 0;
    // Ends the advise thread (pending advises stay, unfired). Idempotent.
    void StopAdviseThread();

private:
    // The longest the thread sleeps while advises wait: a source that does not run at the
    // speed of real time (a paused device) is looked at again this often.
    static constexpr REFERENCE_TIME kMaxSleep = 200'000;  // 20 ms

    REFERENCE_TIME Now();
    HRESULT AddAdvise(LONGLONG due, LONGLONG period, DWORD_PTR handle, DWORD_PTR* cookie);
    bool EnsureThreadLocked();
    void ThreadLoop();

    IUnknown* const m_owner;
    std::atomic<ULONG> m_references{1};

    std::mutex m_time_mutex;
    REFERENCE_TIME m_last_time = 0;  // guarded by m_time_mutex

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    // Guarded by m_mutex.
    ClockAdviseList m_advises;
    bool m_stopping = false;
    bool m_triggered = false;
    std::thread m_thread;
};
