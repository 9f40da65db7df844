// AudioRendererFilter: the stock "Default DirectSound Device" (CLSID_DSoundRender), the audio
// renderer on the default SDL output device. Samples are queued in a ring that the device
// drains; the device runs only while the filter runs, starting each run at the presentation
// time of the first queued sample on the graph's clock (silence fills any lead), so a pause
// and a run resume without a gap or a repeat. A flush empties the ring; the end of the stream
// gives EC_COMPLETE once the last queued sample has been played.
// It also offers the graph its clock (IReferenceClock, from the device's playback position),
// a volume and balance (IBasicAudio) and a property page for them (ISpecifyPropertyPages).
// Without a sound device it plays into a timer at the same pace, so a graph never waits on
// missing hardware.
// Order of use: connect, pause (opens the device), run / pause, stop; disconnecting closes
// the device.
// Threading: state calls on the control thread under the filter lock; Render and the end of
// stream on the upstream streaming thread, which may wait in Render until the device makes
// room, a flush or a stop.
#pragma once

#include <atomic>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/control.h"
#include "platform/media/ocidl.h"
#include "platform/media/filters/AudioPlayback.h"
#include "platform/media/filters/AudioRendererClock.h"
#include "platform/media/filters/AudioRendererInputPin.h"
#include "platform/media/filters/EndOfStreamWatcher.h"
#include "platform/media/filters/RendererSync.h"

class AudioRendererFilter : public CBaseFilter, public IBasicAudio, public ISpecifyPropertyPages {
public:
    AudioRendererFilter();
    ~AudioRendererFilter() override;

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    // IBaseFilter, IReferenceClock, IBasicAudio, ISpecifyPropertyPages.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &m_input : nullptr; }
    // VFW_S_STATE_INTERMEDIATE while paused with nothing queued and no end of stream.
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;

    // IBasicAudio
    HRESULT put_Volume(long volume) override;
    HRESULT get_Volume(long* volume) override;
    HRESULT put_Balance(long balance) override;
    HRESULT get_Balance(long* balance) override;

    // ISpecifyPropertyPages: the volume page (CLSID_AudioProperties), in task memory.
    HRESULT GetPages(CAUUID* pages) override;

    // ---- for the input pin ----
    HRESULT Render(IMediaSample* sample);
    void EndOfStreamReceived();
    void BeginFlushing();
    void EndFlushing();
    void CloseDevice();

    // Whether a real SDL device (not the stand-in timer) plays; for diagnostics and tests.
    bool HasSoundDevice() const { return m_playback.IsHardware(); }

protected:
    HRESULT Activate() override;
    HRESULT Deactivate() override;
    HRESULT StartRunning(REFERENCE_TIME start) override;
    HRESULT StopRunning() override;

private:
    static constexpr REFERENCE_TIME kNoTime = INT64_MIN;

    // Frames of silence before the first queued sample so that it plays at its time.
    int64_t LeadFrames(REFERENCE_TIME start);
    // Sends EC_COMPLETE when due; true once sent (the watcher's check).
    bool CompleteIfDue();

    CCritSec m_filter_lock;
    AudioPlayback m_playback;
    AudioRendererClock m_clock;  // reads m_playback: declared after it, so it goes first
    RendererSync m_sync;
    EndOfStreamWatcher m_watcher;
    // Stream time of the first sample queued since the last start or flush.
    std::atomic<REFERENCE_TIME> m_first_time{kNoTime};
    AudioRendererInputPin m_input;
};
