#include "platform/media/base/CBaseRenderer.h"

#include <new>
#include <thread>

#include "platform/media/evcode.h"
#include "platform/sync/CAutoLock.h"

CBaseRenderer::CBaseRenderer(LPCSTR object_name, REFCLSID clsid, LPCWSTR pin_name)
    : CBaseFilter(object_name, &m_interface_lock, clsid),
      m_pin(std::make_unique<CRendererInputPin>(this, &m_interface_lock, pin_name)) {
    Ready();
}

CBaseRenderer::~CBaseRenderer() {
    // A renderer released without being stopped must not leave its clock advise behind.
    CAutoLock lock(&m_renderer_lock);
    CancelNotification();
    m_sample = nullptr;
}

HRESULT CBaseRenderer::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking)) {
        return GetInterface(static_cast<IMediaSeeking*>(this), object);
    }
    return CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

CBasePin* CBaseRenderer::GetPin(int index) {
    return index == 0 ? m_pin.get() : nullptr;
}

// ---- state ---------------------------------------------------------------------------------

HRESULT CBaseRenderer::Pause() {
    CAutoLock lock(&m_interface_lock);
    const FILTER_STATE old_state = State();
    if (old_state == State_Paused) return CompleteStateChange(old_state);
    const HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr)) return hr;
    return CompleteStateChange(old_state);
}

HRESULT CBaseRenderer::Run(REFERENCE_TIME start) {
    CAutoLock lock(&m_interface_lock);
    if (State() == State_Running) return S_OK;
    const HRESULT hr = CBaseFilter::Run(start);
    if (FAILED(hr)) return hr;
    Ready();
    // Nothing can arrive at an unconnected renderer: it is complete as soon as it runs.
    if (!m_pin->IsConnected()) NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

HRESULT CBaseRenderer::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    const bool complete = m_complete.Wait(milliseconds);
    *state = State();
    return complete ? S_OK : VFW_S_STATE_INTERMEDIATE;
}

HRESULT CBaseRenderer::CompleteStateChange(FILTER_STATE old_state) {
    if (!m_pin->IsConnected() || IsEndOfStream()) {
        Ready();
        return S_OK;
    }
    if (HaveCurrentSample() && old_state != State_Stopped) {
        Ready();
        return S_OK;
    }
    NotReady();
    return S_FALSE;
}

HRESULT CBaseRenderer::Activate() {
    ClearPendingSample();
    ResetEndOfStream();
    SourceThreadCanWait(true);
    return S_OK;
}

HRESULT CBaseRenderer::Deactivate() {
    ReleaseSourceThread();
    Ready();
    return S_OK;
}

HRESULT CBaseRenderer::StartRunning(REFERENCE_TIME /*start*/) {
    SourceThreadCanWait(true);
    CAutoLock lock(&m_renderer_lock);
    if (m_streaming) return S_OK;
    m_streaming = true;
    const HRESULT hr = OnStartStreaming();
    if (FAILED(hr)) {
        m_streaming = false;
        return hr;
    }
    if (!m_sample) {
        SendEndOfStream();  // an end of stream that came while paused is due now
    } else if (!ScheduleSample(m_sample.Get())) {
        m_render_event.Set();
    }
    return S_OK;
}

HRESULT CBaseRenderer::StopRunning() {
    CAutoLock lock(&m_renderer_lock);
    if (!m_streaming) return S_OK;
    m_streaming = false;
    CancelNotification();
    return OnStopStreaming();
}

// ---- samples -------------------------------------------------------------------------------

HRESULT CBaseRenderer::Receive(IMediaSample* sample) {
    HRESULT hr = PrepareReceive(sample);
    if (hr != S_OK) return hr == VFW_E_SAMPLE_REJECTED ? S_OK : hr;
    if (State() == State_Paused) {
        m_in_receive = false;
        {
            CAutoLock lock(&m_interface_lock);
            if (IsStopped()) return S_OK;
            m_in_receive = true;
            CAutoLock sample_lock(&m_renderer_lock);
            if (m_sample) OnReceiveFirstSample(m_sample.Get());
        }
        Ready();
    }
    hr = WaitForRenderTime();
    if (SUCCEEDED(hr)) {
        ComPtr<IMediaSample> pending;
        {
            CAutoLock sample_lock(&m_renderer_lock);
            pending = m_sample;
        }
        if (pending) hr = PrepareRender(pending.Get());
    }
    m_in_receive = false;
    if (FAILED(hr)) {
        // Stopped or flushed while waiting (or the renderer gave up on the sample): not an
        // error for the upstream filter, and the sample is not rendered late.
        ClearPendingSample();
        return S_OK;
    }
    return RenderPending();
}

HRESULT CBaseRenderer::PrepareReceive(IMediaSample* sample) {
    CAutoLock lock(&m_interface_lock);
    m_in_receive = true;
    CAutoLock sample_lock(&m_renderer_lock);
    HRESULT hr = m_pin->CheckReceive(sample);
    if (hr == S_OK && IsEndOfStream()) hr = VFW_E_SAMPLE_REJECTED_EOS;
    if (hr == S_OK && m_sample) hr = E_UNEXPECTED;  // one at a time from one upstream thread
    if (hr == S_OK && m_streaming && !ScheduleSample(sample)) hr = VFW_E_SAMPLE_REJECTED;
    if (hr != S_OK) {
        m_in_receive = false;
        return hr;
    }
    m_sample = sample;
    return S_OK;
}

HRESULT CBaseRenderer::WaitForRenderTime() {
    const HANDLE events[] = {m_thread_signal.Handle(), m_render_event.Handle()};
    // Both events are set by whoever ends the wait (clock, Run, Stop, flush): no time limit.
    const DWORD result = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (result == WAIT_OBJECT_0 + 1) return S_OK;
    return VFW_E_STATE_CHANGED;
}

HRESULT CBaseRenderer::RenderPending() {
    CAutoLock lock(&m_interface_lock);
    if (IsStopped()) return S_OK;
    CAutoLock sample_lock(&m_renderer_lock);
    if (!m_sample) return S_OK;  // flushed between the wait and here
    const HRESULT hr = DoRenderSample(m_sample.Get());
    m_sample = nullptr;
    CancelNotification();
    SendEndOfStream();
    return hr;
}

HRESULT CBaseRenderer::ShouldDrawSampleNow(IMediaSample* /*sample*/, REFERENCE_TIME* /*start*/,
                                           REFERENCE_TIME* /*stop*/) {
    return S_FALSE;
}

bool CBaseRenderer::ScheduleSample(IMediaSample* sample) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    const HRESULT timed = sample->GetTime(&start, &stop);
    const HRESULT decision = ShouldDrawSampleNow(sample, &start, &stop);
    if (FAILED(decision)) return false;
    const ComPtr<IReferenceClock> clock = Clock();
    if (decision == S_OK || FAILED(timed) || !clock) {
        m_render_event.Set();
        return true;
    }
    CancelNotification();
    DWORD_PTR cookie = 0;
    if (FAILED(clock->AdviseTime(StartTime(), start, m_render_event.AsHevent(), &cookie))) {
        m_render_event.Set();  // better late than never
        return true;
    }
    m_advise = cookie;
    m_advise_clock = clock;
    return true;
}

void CBaseRenderer::CancelNotification() {
    if (m_advise && m_advise_clock) m_advise_clock->Unadvise(m_advise);
    m_advise = 0;
    m_advise_clock = nullptr;
    m_render_event.Reset();
}

void CBaseRenderer::ClearPendingSample() {
    CAutoLock lock(&m_renderer_lock);
    m_sample = nullptr;
}

bool CBaseRenderer::HaveCurrentSample() {
    CAutoLock lock(&m_renderer_lock);
    return m_sample != nullptr;
}

// ---- end of stream and flushing ------------------------------------------------------------

HRESULT CBaseRenderer::EndOfStream() {
    CAutoLock lock(&m_renderer_lock);
    if (IsStopped()) return S_OK;
    m_eos = true;
    if (m_sample) return S_OK;  // sent once the held sample is rendered
    if (State() == State_Paused) Ready();
    SendEndOfStream();
    return S_OK;
}

void CBaseRenderer::SendEndOfStream() {
    if (!m_eos || m_eos_delivered || !m_streaming) return;
    OnEndOfStreamDue();
}

void CBaseRenderer::NotifyEndOfStream() {
    if (m_eos_delivered.exchange(true)) return;
    NotifyEvent(EC_COMPLETE, S_OK, 0);
}

void CBaseRenderer::ReleaseSourceThread() {
    SourceThreadCanWait(false);
    {
        CAutoLock lock(&m_renderer_lock);
        CancelNotification();
    }
    WaitForReceiveToComplete();
    ClearPendingSample();
    ResetEndOfStream();
}

void CBaseRenderer::ResetEndOfStream() {
    m_eos = false;
    m_eos_delivered = false;
}

HRESULT CBaseRenderer::BeginFlush() {
    if (State() == State_Paused) NotReady();
    ReleaseSourceThread();
    return S_OK;
}

HRESULT CBaseRenderer::EndFlush() {
    SourceThreadCanWait(true);
    return S_OK;
}

void CBaseRenderer::SourceThreadCanWait(bool can_wait) {
    if (can_wait) {
        m_thread_signal.Reset();
    } else {
        m_thread_signal.Set();
    }
}

void CBaseRenderer::WaitForReceiveToComplete() {
    // The upstream thread leaves its wait as soon as the thread signal is set, and clears the
    // flag before it takes any lock, so this ends however the caller's locks are held.
    while (m_in_receive.load())
        std::this_thread::yield();
}
