#include "platform/media/filters/AudioRendererFilter.h"

#include <algorithm>
#include <new>

#include "platform/com/objbase.h"
#include "platform/media/evcode.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

namespace {

constexpr int64_t kUnits = 10000000;
// A lead longer than this is not a start time but a stream with a hole: play on.
constexpr REFERENCE_TIME kMaxLead = 2 * kUnits;

}  // namespace

AudioRendererFilter::AudioRendererFilter()
    : CBaseFilter("Default DirectSound Device", &m_filter_lock, CLSID_DSoundRender),
      m_clock(static_cast<IBaseFilter*>(this), &m_playback),
      m_input(this, &m_filter_lock) {}

AudioRendererFilter::~AudioRendererFilter() {
    m_watcher.Stop();
    m_playback.Close();
}

CUnknown* AudioRendererFilter::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) AudioRendererFilter();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

HRESULT AudioRendererFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IReferenceClock)) {
        return GetInterface(static_cast<IReferenceClock*>(&m_clock), object);
    }
    if (IsEqualIID(iid, IID_IBasicAudio)) {
        return GetInterface(static_cast<IBasicAudio*>(this), object);
    }
    if (IsEqualIID(iid, IID_ISpecifyPropertyPages)) {
        return GetInterface(static_cast<ISpecifyPropertyPages*>(this), object);
    }
    return CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT AudioRendererFilter::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = State();
    if (*state != State_Paused || !m_input.IsConnected()) return S_OK;
    return m_sync.WaitForCue(milliseconds) ? S_OK : VFW_S_STATE_INTERMEDIATE;
}

HRESULT AudioRendererFilter::put_Volume(long volume) {
    if (volume < -10000 || volume > 0) return E_INVALIDARG;
    m_playback.SetVolume(volume);
    return S_OK;
}

HRESULT AudioRendererFilter::get_Volume(long* volume) {
    if (!volume) return E_POINTER;
    *volume = m_playback.Volume();
    return S_OK;
}

HRESULT AudioRendererFilter::put_Balance(long balance) {
    if (balance < -10000 || balance > 10000) return E_INVALIDARG;
    m_playback.SetBalance(balance);
    return S_OK;
}

HRESULT AudioRendererFilter::get_Balance(long* balance) {
    if (!balance) return E_POINTER;
    *balance = m_playback.Balance();
    return S_OK;
}

HRESULT AudioRendererFilter::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_AudioProperties;
    return S_OK;
}

HRESULT AudioRendererFilter::Render(IMediaSample* sample) {
    if (m_sync.HasEndOfStream()) return VFW_E_SAMPLE_REJECTED_EOS;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data))) return E_POINTER;
    const long length = sample->GetActualDataLength();
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    if (SUCCEEDED(sample->GetTime(&start, &stop))) {
        REFERENCE_TIME unset = kNoTime;
        m_first_time.compare_exchange_strong(unset, start);
    }
    m_sync.SampleArrived();
    if (length <= 0) return S_OK;
    if (m_playback.Write(data, static_cast<size_t>(length))) return S_OK;
    return m_input.IsFlushing() ? S_FALSE : VFW_E_WRONG_STATE;
}

void AudioRendererFilter::EndOfStreamReceived() {
    if (m_sync.EndOfStream()) m_watcher.Arm();
}

void AudioRendererFilter::BeginFlushing() {
    m_sync.SetFlushing(true);
    m_watcher.Disarm();
    m_playback.CancelWrites();
    m_playback.Discard();
    m_first_time = kNoTime;
}

void AudioRendererFilter::EndFlushing() {
    m_playback.AllowWrites();
    m_sync.SetFlushing(false);
}

void AudioRendererFilter::CloseDevice() {
    m_playback.Close();
}

bool AudioRendererFilter::CompleteIfDue() {
    if (!m_sync.TakeCompletion(m_playback.IsDrained())) return !m_sync.HasEndOfStream();
    NotifyEvent(EC_COMPLETE, S_OK, 0);
    return true;
}

HRESULT AudioRendererFilter::Activate() {
    if (!m_input.IsConnected()) return S_OK;
    AudioDeviceFormat format;
    if (!AudioRendererInputPin::FormatOf(m_input.CurrentMediaType(), &format) ||
        !m_playback.Open(format)) {
        return VFW_E_UNSUPPORTED_AUDIO;
    }
    m_first_time = kNoTime;
    m_playback.AllowWrites();
    m_sync.Start();
    if (!m_watcher.Start([this] { return CompleteIfDue(); })) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT AudioRendererFilter::Deactivate() {
    m_sync.Stop();
    m_watcher.Stop();
    m_playback.CancelWrites();
    m_playback.Pause();
    m_playback.Discard();
    m_first_time = kNoTime;
    return S_OK;
}

int64_t AudioRendererFilter::LeadFrames(REFERENCE_TIME start) {
    const REFERENCE_TIME first = m_first_time.load();
    const ComPtr<IReferenceClock> clock = Clock();
    const int rate = m_playback.Format().rate;
    REFERENCE_TIME now = 0;
    if (first == kNoTime || !clock || rate <= 0 || FAILED(clock->GetTime(&now))) return 0;
    const int64_t played = m_playback.FramesPlayed();
    const REFERENCE_TIME head = first + played / rate * kUnits + played % rate * kUnits / rate;
    const REFERENCE_TIME lead = head - (now - start);
    if (lead <= 0 || lead > kMaxLead) return 0;
    return lead * rate / kUnits;
}

HRESULT AudioRendererFilter::StartRunning(REFERENCE_TIME start) {
    if (!m_input.IsConnected()) return S_OK;
    m_playback.Start(LeadFrames(start));
    m_sync.SetRunning(true);
    m_watcher.Wake();
    return S_OK;
}

HRESULT AudioRendererFilter::StopRunning() {
    m_playback.Pause();
    m_sync.SetRunning(false);
    return S_OK;
}
