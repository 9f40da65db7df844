// CBaseRenderer: a filter with one input pin that renders each sample at its time on the
// graph's clock. The base owns the clock wait, preroll and end of stream; a renderer fills in
// CheckMediaType ("can I take this type") and DoRenderSample ("render this sample").
//
// Behaviour:
// - Pause from stopped is complete only once a sample (or end of stream) has arrived: Pause
//   answers S_FALSE and GetState VFW_S_STATE_INTERMEDIATE until then. The first sample is
//   held (OnReceiveFirstSample) and its upstream thread waits.
// - Running, each sample waits until the clock reaches the run's start time plus the sample's
//   start time (AdviseTime on an event), then DoRenderSample runs. Without a clock or a time
//   stamp the sample is rendered at once; ShouldDrawSampleNow lets a renderer decide itself.
// - Pausing a running renderer keeps the waiting sample; running again renders it.
// - Stop and BeginFlush release a waiting thread at once and drop the held sample.
// - End of stream: EC_COMPLETE goes to the graph once the last sample has been rendered
//   (OnEndOfStreamDue, which a renderer with its own latency may defer and then call
//   NotifyEndOfStream). Running with an unconnected pin completes at once.
// - IMediaSeeking is passed upstream (CPosPassThru).
//
// Threading: state calls under the filter lock (m_interface_lock). Samples and end of stream
// arrive on the upstream thread; sample state is guarded by m_renderer_lock, taken after the
// filter lock. The upstream thread never waits while holding either lock.
#pragma once

#include <atomic>
#include <memory>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CAMEvent.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CPosPassThru.h"
#include "platform/media/base/CRendererInputPin.h"
#include "platform/sync/CCritSec.h"

class CBaseRenderer : public CBaseFilter, public CPosPassThru {
public:
    CBaseRenderer(LPCSTR object_name, REFCLSID clsid, LPCWSTR pin_name = u"In");
    ~CBaseRenderer() override;

    DECLARE_IUNKNOWN
    // The base filter's interfaces and IMediaSeeking.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    // VFW_S_STATE_INTERMEDIATE while a pause waits for its first sample.
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    CRendererInputPin* InputPin() const { return m_pin.get(); }

    // ---- called by the input pin ----
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();

    // ---- what a renderer supplies ----
    virtual HRESULT CheckMediaType(const CMediaType* type) = 0;
    // Runs with both locks held: it must not wait. A renderer that has to wait (for room in
    // a device buffer) does so in PrepareRender.
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;
    // Called when the sample's time has come, before DoRenderSample, without any lock. It may
    // wait, but must return once StopSignal() is set (a stop or a flush sets it).
    virtual HRESULT PrepareRender(IMediaSample* /*sample*/) { return S_OK; }

    // Optional hooks, called with the renderer's sample lock held unless said otherwise.
    virtual HRESULT SetMediaType(const CMediaType* /*type*/) { return S_OK; }
    virtual HRESULT CompleteConnect(IPin* /*receive_pin*/) { return S_OK; }
    virtual HRESULT BreakConnect() { return S_OK; }
    virtual HRESULT OnStartStreaming() { return S_OK; }
    virtual HRESULT OnStopStreaming() { return S_OK; }
    // A paused renderer got the sample it will hold (a video renderer shows it).
    virtual void OnReceiveFirstSample(IMediaSample* /*sample*/) {}
    // S_OK: render now; S_FALSE: wait for the sample's start time; a failure drops it.
    virtual HRESULT ShouldDrawSampleNow(IMediaSample* sample, REFERENCE_TIME* start,
                                        REFERENCE_TIME* stop);
    // The end of the stream is due (last sample rendered while running).
    virtual void OnEndOfStreamDue() { NotifyEndOfStream(); }

    // Sends EC_COMPLETE once per stream; safe from any thread.
    void NotifyEndOfStream();
    bool IsEndOfStream() const { return m_eos.load(); }
    bool IsStreaming() const { return m_streaming.load(); }
    bool HaveCurrentSample();
    // Set while the upstream thread must not wait (stopping, flushing); for the waits of
    // PrepareRender, together with the renderer's own events.
    HANDLE StopSignal() const { return m_thread_signal.Handle(); }

protected:
    HRESULT Activate() override;
    HRESULT Deactivate() override;
    HRESULT StartRunning(REFERENCE_TIME start) override;
    HRESULT StopRunning() override;

    CBasePin* PassThroughPin() override { return m_pin.get(); }

    CCritSec m_interface_lock;  // the filter lock
    CCritSec m_renderer_lock;   // the held sample and the end-of-stream flags

private:
    HRESULT PrepareReceive(IMediaSample* sample);
    HRESULT WaitForRenderTime();
    HRESULT RenderPending();
    // Under m_renderer_lock: arranges the render event for the sample; false drops it.
    bool ScheduleSample(IMediaSample* sample);
    void CancelNotification();
    void ClearPendingSample();
    void SendEndOfStream();
    // Stop and flush: the upstream thread may no longer wait; it is let go, and the held
    // sample and the end of stream are dropped.
    void ReleaseSourceThread();
    void ResetEndOfStream();
    // Whether the upstream thread may wait in Receive (false releases it).
    void SourceThreadCanWait(bool can_wait);
    void WaitForReceiveToComplete();
    HRESULT CompleteStateChange(FILTER_STATE old_state);
    void Ready() { m_complete.Set(); }
    void NotReady() { m_complete.Reset(); }

    std::unique_ptr<CRendererInputPin> m_pin;
    ComPtr<IMediaSample> m_sample;  // under m_renderer_lock
    DWORD_PTR m_advise = 0;         // under m_renderer_lock
    ComPtr<IReferenceClock> m_advise_clock;
    CAMEvent m_render_event{true};   // the sample's time has come
    CAMEvent m_thread_signal{true};  // set: the upstream thread must not wait
    CAMEvent m_complete{true};       // the state change is complete
    std::atomic<bool> m_in_receive{false};
    std::atomic<bool> m_streaming{false};
    std::atomic<bool> m_eos{false};
    std::atomic<bool> m_eos_delivered{false};
};
