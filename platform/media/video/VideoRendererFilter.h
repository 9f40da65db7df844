// VideoRendererFilter: the stock "Video Renderer" (CLSID_VideoRenderer). Its input pin
// "Input" takes MEDIATYPE_Video / MEDIASUBTYPE_RGB32 / FORMAT_VideoInfo; the base renderer
// waits for each frame's time on the graph's clock, and the frame is then drawn into the
// video window (a Qt widget, see VideoWindowControl) and logged (IVideoPresentationLog).
//
// Behaviour:
// - A frame that arrives later than one frame time (the format's AvgTimePerFrame, else the
//   sample's length) while running is dropped and counted (IQualProp), except the first
//   frame after a start, a pause or a seek, which is always shown.
// - Pausing shows the frame the pause cues at once; the last frame shown stays in the window
//   while paused, stopped and after the end of the stream (EC_COMPLETE once it was shown).
// - A sample too short for a whole picture is refused (E_INVALIDARG) and nothing is read.
//   A sample may carry a new RGB32 format; the window then takes the new picture size.
// - Without a QApplication there is no window; frames are still timed, drawn into the
//   picture GetCurrentImage returns, logged and counted.
// Interfaces: IBaseFilter, IMediaSeeking (passed upstream), IVideoWindow, IBasicVideo,
// IQualProp, IVideoPresentationLog.
// Order of use: connect, pause / run / stop; the window calls at any time after connecting.
// Threading: see CBaseRenderer. IVideoWindow and IBasicVideo on the user-interface thread;
// the streaming thread only copies pictures and queues repaints, never waiting for that
// thread, so a user-interface thread that stops the graph cannot deadlock with it.
#pragma once

#include <atomic>
#include <memory>

#include "platform/media/amvideo.h"
#include "platform/media/base/CBaseRenderer.h"
#include "platform/media/video/IVideoPresentationLog.h"
#include "platform/media/video/VideoPresentationLog.h"
#include "platform/media/video/VideoQualityStats.h"

class BasicVideoControl;
class VideoFrameStore;
class VideoWindowControl;

class VideoRendererFilter : public CBaseRenderer, public IQualProp, public IVideoPresentationLog {
public:
    // The log's length: about 7 minutes of 25 frames a second.
    static constexpr size_t kLogCapacity = 10000;

    VideoRendererFilter();
    ~VideoRendererFilter() override;

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // Besides the state change, the window is made and (AutoShow) shown.
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT BreakConnect() override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    void OnReceiveFirstSample(IMediaSample* sample) override;
    // Drops a frame that is too late (a failure); otherwise waits for its time (S_FALSE).
    HRESULT ShouldDrawSampleNow(IMediaSample* sample, REFERENCE_TIME* start,
                                REFERENCE_TIME* stop) override;

    // IQualProp
    HRESULT get_FramesDroppedInRenderer(int* frames) override;
    HRESULT get_FramesDrawn(int* frames) override;
    HRESULT get_AvgFrameRate(int* rate) override;
    HRESULT get_Jitter(int* jitter) override;
    HRESULT get_AvgSyncOffset(int* average) override;
    HRESULT get_DevSyncOffset(int* deviation) override;

    // IVideoPresentationLog
    HRESULT GetPresentations(ULONG max, VideoPresentation* records, ULONG* count) override;
    HRESULT Clear() override;

protected:
    HRESULT Activate() override;
    HRESULT StopRunning() override;

private:
    // Takes in a format carried by the sample; false when the sample does not hold a picture.
    bool AcceptSample(IMediaSample* sample);
    // One frame time in 100 ns, the limit of lateness.
    REFERENCE_TIME FrameTime(REFERENCE_TIME start, REFERENCE_TIME stop) const;
    void Draw(IMediaSample* sample, REFERENCE_TIME presented_at);
    // Forgets the frame drawn while paused; the next frame is shown however late.
    void RestartFrameSequence();

    std::shared_ptr<VideoFrameStore> m_store;
    std::unique_ptr<VideoWindowControl> m_window;
    std::unique_ptr<BasicVideoControl> m_basic_video;  // uses m_window: declared after it
    VideoPresentationLog m_log{kLogCapacity};
    VideoQualityStats m_stats;
    // Set from a start, pause or flush until a frame is scheduled: that frame is not dropped.
    std::atomic<bool> m_show_next{true};
    // The frame drawn while paused and not yet rendered; under m_renderer_lock.
    IMediaSample* m_prerolled = nullptr;
};
