#include "platform/media/video/VideoRendererFilter.h"

#include <new>

#include "platform/media/uuids.h"
#include "platform/media/video/BasicVideoControl.h"
#include "platform/media/video/VideoFrameStore.h"
#include "platform/media/video/VideoWindowControl.h"
#include "platform/sync/CAutoLock.h"

namespace {

// A frame of 25 frames a second, for streams that give no frame time at all.
constexpr REFERENCE_TIME kDefaultFrameTime = 400000;

size_t DataLength(IMediaSample* sample) {
    const long length = sample->GetActualDataLength();
    return length > 0 ? static_cast<size_t>(length) : 0;
}

}  // namespace

VideoRendererFilter::VideoRendererFilter()
    : CBaseRenderer("Video Renderer", CLSID_VideoRenderer, u"Input"),
      m_store(std::make_shared<VideoFrameStore>()),
      m_window(std::make_unique<VideoWindowControl>(static_cast<IBaseFilter*>(this), InputPin(),
                                                    m_store)),
      m_basic_video(std::make_unique<BasicVideoControl>(static_cast<IBaseFilter*>(this), InputPin(),
                                                        m_store, m_window.get())) {}

VideoRendererFilter::~VideoRendererFilter() = default;

CUnknown* VideoRendererFilter::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) VideoRendererFilter();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

HRESULT VideoRendererFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IVideoWindow)) {
        return GetInterface(static_cast<IVideoWindow*>(m_window.get()), object);
    }
    if (IsEqualIID(iid, IID_IBasicVideo)) {
        return GetInterface(static_cast<IBasicVideo*>(m_basic_video.get()), object);
    }
    if (IsEqualIID(iid, IID_IQualProp)) {
        return GetInterface(static_cast<IQualProp*>(this), object);
    }
    if (IsEqualIID(iid, IID_IVideoPresentationLog)) {
        return GetInterface(static_cast<IVideoPresentationLog*>(this), object);
    }
    return CBaseRenderer::NonDelegatingQueryInterface(iid, object);
}

// ---- state ---------------------------------------------------------------------------------

HRESULT VideoRendererFilter::Pause() {
    const HRESULT hr = CBaseRenderer::Pause();
    if (SUCCEEDED(hr) && InputPin()->IsConnected()) m_window->StartedStreaming();
    return hr;
}

HRESULT VideoRendererFilter::Run(REFERENCE_TIME start) {
    const HRESULT hr = CBaseRenderer::Run(start);
    if (SUCCEEDED(hr) && InputPin()->IsConnected()) m_window->StartedStreaming();
    return hr;
}

HRESULT VideoRendererFilter::Activate() {
    m_log.Clear();
    m_stats.Reset();
    RestartFrameSequence();
    return CBaseRenderer::Activate();
}

HRESULT VideoRendererFilter::StopRunning() {
    m_show_next = true;
    return CBaseRenderer::StopRunning();
}

HRESULT VideoRendererFilter::BeginFlush() {
    const HRESULT hr = CBaseRenderer::BeginFlush();
    RestartFrameSequence();
    return hr;
}

HRESULT VideoRendererFilter::EndFlush() {
    m_show_next = true;
    return CBaseRenderer::EndFlush();
}

void VideoRendererFilter::RestartFrameSequence() {
    CAutoLock lock(&m_renderer_lock);
    m_prerolled = nullptr;
    m_show_next = true;
}

// ---- connection ----------------------------------------------------------------------------

HRESULT VideoRendererFilter::CheckMediaType(const CMediaType* type) {
    if (!type) return E_POINTER;
    VideoFormat format;
    return VideoFormat::FromMediaType(*type, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoRendererFilter::SetMediaType(const CMediaType* type) {
    VideoFormat format;
    if (!type || !VideoFormat::FromMediaType(*type, &format)) return VFW_E_TYPE_NOT_ACCEPTED;
    m_store->SetFormat(format);
    m_window->SetVideoSize(format.width, format.height);
    return S_OK;
}

HRESULT VideoRendererFilter::BreakConnect() {
    m_store->Reset();
    return S_OK;
}

// ---- samples -------------------------------------------------------------------------------

HRESULT VideoRendererFilter::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (!AcceptSample(sample)) return E_INVALIDARG;
    return CBaseRenderer::Receive(sample);
}

bool VideoRendererFilter::AcceptSample(IMediaSample* sample) {
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed) {
        VideoFormat format;
        const bool valid = VideoFormat::FromMediaType(*changed, &format);
        DeleteMediaType(changed);
        // A type that is no picture at all is the base's to refuse (and report).
        if (!valid) return true;
        m_store->SetFormat(format);
        m_window->SetVideoSize(format.width, format.height);
    }
    BYTE* data = nullptr;
    return SUCCEEDED(sample->GetPointer(&data)) && data && m_store->Fits(DataLength(sample));
}

HRESULT VideoRendererFilter::ShouldDrawSampleNow(IMediaSample* sample, REFERENCE_TIME* start,
                                                 REFERENCE_TIME* stop) {
    if (m_show_next.exchange(false)) return S_FALSE;
    REFERENCE_TIME timed_start = 0;
    REFERENCE_TIME timed_stop = 0;
    REFERENCE_TIME now = 0;
    // Untimed, or no clock: the base shows it at once.
    if (FAILED(sample->GetTime(&timed_start, &timed_stop)) || FAILED(StreamTime(&now))) {
        return S_FALSE;
    }
    if (now - *start > FrameTime(*start, *stop)) {
        m_stats.FrameDropped();
        return VFW_E_SAMPLE_REJECTED;
    }
    return S_FALSE;
}

REFERENCE_TIME VideoRendererFilter::FrameTime(REFERENCE_TIME start, REFERENCE_TIME stop) const {
    const std::optional<VideoFormat> format = m_store->Format();
    if (format && format->avg_time_per_frame > 0) return format->avg_time_per_frame;
    return stop > start ? stop - start : kDefaultFrameTime;
}

void VideoRendererFilter::OnReceiveFirstSample(IMediaSample* sample) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    if (FAILED(sample->GetTime(&start, &stop))) start = 0;
    Draw(sample, start);  // while paused a frame counts as shown at its own time
    m_prerolled = sample;
}

HRESULT VideoRendererFilter::DoRenderSample(IMediaSample* sample) {
    if (sample == m_prerolled) {
        m_prerolled = nullptr;  // on screen since the pause
        return S_OK;
    }
    REFERENCE_TIME presented_at = 0;
    if (FAILED(StreamTime(&presented_at))) {
        // No clock: shown as it comes, at its own time as far as anyone can tell.
        REFERENCE_TIME stop = 0;
        if (FAILED(sample->GetTime(&presented_at, &stop))) presented_at = 0;
    }
    Draw(sample, presented_at);
    return S_OK;
}

void VideoRendererFilter::Draw(IMediaSample* sample, REFERENCE_TIME presented_at) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !m_store->Show(data, DataLength(sample))) {
        m_stats.FrameDropped();
        return;
    }
    REFERENCE_TIME start = presented_at;
    REFERENCE_TIME stop = 0;
    if (FAILED(sample->GetTime(&start, &stop))) start = presented_at;
    m_log.Add({start, presented_at});
    m_stats.FrameDrawn(start, presented_at);
}

// ---- IQualProp -----------------------------------------------------------------------------

HRESULT VideoRendererFilter::get_FramesDroppedInRenderer(int* frames) {
    if (!frames) return E_POINTER;
    *frames = m_stats.Dropped();
    return S_OK;
}

HRESULT VideoRendererFilter::get_FramesDrawn(int* frames) {
    if (!frames) return E_POINTER;
    *frames = m_stats.Drawn();
    return S_OK;
}

HRESULT VideoRendererFilter::get_AvgFrameRate(int* rate) {
    if (!rate) return E_POINTER;
    *rate = m_stats.AverageFrameRate();
    return S_OK;
}

HRESULT VideoRendererFilter::get_Jitter(int* jitter) {
    if (!jitter) return E_POINTER;
    *jitter = m_stats.Jitter();
    return S_OK;
}

HRESULT VideoRendererFilter::get_AvgSyncOffset(int* average) {
    if (!average) return E_POINTER;
    *average = m_stats.AverageSyncOffset();
    return S_OK;
}

HRESULT VideoRendererFilter::get_DevSyncOffset(int* deviation) {
    if (!deviation) return E_POINTER;
    *deviation = m_stats.SyncOffsetDeviation();
    return S_OK;
}

// ---- IVideoPresentationLog -----------------------------------------------------------------

HRESULT VideoRendererFilter::GetPresentations(ULONG max, VideoPresentation* records, ULONG* count) {
    if (!count || (max > 0 && !records)) return E_POINTER;
    *count = static_cast<ULONG>(max == 0 ? m_log.Count() : m_log.Copy(max, records));
    return S_OK;
}

HRESULT VideoRendererFilter::Clear() {
    m_log.Clear();
    return S_OK;
}
