// CBaseFilter: IBaseFilter for a filter writer. The base owns the state machine: Stop, Pause
// and Run run under the filter lock, call the pins' hooks (Active, Inactive, Run) on every
// connected pin and then the filter's own hooks, and record the new state only when all of
// them succeeded (a failed Pause from stopped takes back the pins it had made active). It also
// keeps the reference clock, the name and graph given by JoinFilterGraph, and the graph's
// event sink (NotifyEvent).
//
// A filter derives from it, supplies its pins through GetPinCount/GetPin, and overrides the
// hooks it needs:
//   stopped -> paused   pins' Active, then Activate()      (start threads here)
//   paused  -> running  pins' Run(start), then StartRunning(start)
//   running -> paused   StopRunning()
//   any     -> stopped  StopRunning() when running, pins' Inactive, then Deactivate()
//                       (pins first: decommitting allocators releases streaming threads)
//
// Threading: the state calls come from the graph's control thread, under the filter lock
// (the `lock` given to the constructor, shared with the pins). Streaming threads may read
// the state (IsStopped, IsActive), the clock (StreamTime) and call NotifyEvent without that
// lock. The graph pointer is not AddRef'ed: the graph holds the filter.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"
#include "platform/sync/CCritSec.h"

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter {
public:
    CBaseFilter(LPCSTR object_name, CCritSec* lock, REFCLSID clsid);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN
    // IBaseFilter, IMediaFilter, IPersist.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IPersist
    HRESULT GetClassID(CLSID* clsid) override;

    // IMediaFilter
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    HRESULT EnumPins(IEnumPins** pins) override;
    // Finds a pin by its name (which is also its identifier).
    HRESULT FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT QueryVendorInfo(LPWSTR* vendor_info) override;

    // The pins, by index from 0; null past the end. The pins stay owned by the filter.
    virtual int GetPinCount() = 0;
    virtual CBasePin* GetPin(int index) = 0;

    // Enumerators compare it to notice pins added or removed; bump it when that happens.
    int GetPinVersion() const { return m_pin_version.load(); }
    void IncrementPinVersion() { ++m_pin_version; }

    FILTER_STATE State() const { return m_state.load(); }
    bool IsStopped() const { return State() == State_Stopped; }
    bool IsActive() const { return State() != State_Stopped; }

    // The clock's time minus the run's start time; VFW_E_NO_CLOCK without a clock.
    HRESULT StreamTime(REFERENCE_TIME* stream_time);
    // The clock, AddRef'ed (null when none).
    ComPtr<IReferenceClock> Clock() const;
    // The reference time that stream time 0 maps to, as given to Run.
    REFERENCE_TIME StartTime() const { return m_start.load(); }

    // Passes an event to the graph; EC_COMPLETE gets this filter as its second parameter.
    // E_NOTIMPL when the filter is not in a graph that takes events.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

    IFilterGraph* GetFilterGraph() const { return m_graph; }
    std::u16string FilterName() const;
    CCritSec* FilterLock() const { return m_lock; }

protected:
    // State hooks, called under the filter lock after the pins' hooks succeeded.
    virtual HRESULT Activate() { return S_OK; }
    virtual HRESULT Deactivate() { return S_OK; }
    virtual HRESULT StartRunning(REFERENCE_TIME /*start*/) { return S_OK; }
    virtual HRESULT StopRunning() { return S_OK; }

    // Sets the state without running any hook, for filters that override the transitions.
    void SetState(FILTER_STATE state) { m_state = state; }
    void SetStartTime(REFERENCE_TIME start) { m_start = start; }

    // Calls Active / Inactive / Run on every connected pin; a failed Active takes back the
    // pins made active before it. The first failure is returned.
    HRESULT ActivatePins();
    HRESULT DeactivatePins();
    HRESULT RunPins(REFERENCE_TIME start);

    CCritSec* const m_lock;

private:
    const CLSID m_clsid;
    std::atomic<FILTER_STATE> m_state{State_Stopped};
    std::atomic<REFERENCE_TIME> m_start{0};
    std::atomic<int> m_pin_version{1};

    mutable std::mutex m_clock_mutex;  // guards m_clock: streaming threads read it
    ComPtr<IReferenceClock> m_clock;

    // Changed by JoinFilterGraph while stopped; read by streaming threads.
    IFilterGraph* m_graph = nullptr;
    std::atomic<IMediaEventSink*> m_sink{nullptr};
    mutable std::mutex m_name_mutex;
    std::u16string m_name;
};
