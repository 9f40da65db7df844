// The graph's events: IMediaEventSink, where filters report (from any thread), and
// IMediaEvent / IMediaEventEx, where the application takes them. EC_COMPLETE gets the
// framework's default handling: a renderer's report is held back until every renderer counted
// when the graph started has reported, and then one EC_COMPLETE (first parameter: S_OK, or
// the first failure a renderer gave) reaches the application. Reports that come while the
// graph is stopped are dropped: they belong to a run that is over.
// Order of use: part of FilterGraph. The graph calls BeginRun when its filters leave the
// stopped state, RestartRun after a seek (the renderers will report again), EndRun on Stop.
// Threading: any thread. Its own lock, a leaf below the graph's: filters' streaming threads
// notify without ever waiting for the graph.
#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/media/control.h"
#include "platform/media/graph/MediaEventQueue.h"
#include "platform/media/strmif.h"

class GraphEvents : public IMediaEventEx, public IMediaEventSink {
public:
    explicit GraphEvents(IUnknown* owner);
    GraphEvents(const GraphEvents&) = delete;
    GraphEvents& operator=(const GraphEvents&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IMediaEventSink
    HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) override;

    // IMediaEvent
    HRESULT GetEventHandle(OAEVENT* event) override;
    HRESULT GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long milliseconds) override;
    // EC_COMPLETE, EC_USERABORT or EC_ERRORABORT in *code; E_ABORT (and 0) on time-out,
    // VFW_E_WRONG_STATE when the graph is not running.
    HRESULT WaitForCompletion(long milliseconds, long* code) override;
    // Only EC_COMPLETE has default handling; other codes give E_INVALIDARG.
    HRESULT CancelDefaultHandling(long code) override;
    HRESULT RestoreDefaultHandling(long code) override;
    HRESULT FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) override;

    // IMediaEventEx
    HRESULT SetNotifyWindow(OAHWND window, long message, LONG_PTR instance_data) override;
    HRESULT SetNotifyFlags(long no_notify_flags) override;
    HRESULT GetNotifyFlags(long* no_notify_flags) override;

    // For the graph.
    void BeginRun(const std::vector<IBaseFilter*>& renderers);
    void RestartRun();
    void EndRun();
    void SetRunning(bool running);

private:
    void CountCompletion(HRESULT result, LONG_PTR sender);

    IUnknown* const m_owner;
    MediaEventQueue m_queue;

    std::mutex m_mutex;
    std::condition_variable m_finished;
    // Guarded by m_mutex.
    bool m_active = false;   // between BeginRun and EndRun
    bool m_running = false;  // WaitForCompletion waits only then
    bool m_default_complete = true;
    std::vector<IBaseFilter*> m_renderers;  // identities only: never called
    std::vector<LONG_PTR> m_completed;      // senders counted so far
    size_t m_anonymous = 0;                 // reports without a known sender
    HRESULT m_first_failure = S_OK;
    long m_final_code = 0;  // set once the run completed or aborted
};
