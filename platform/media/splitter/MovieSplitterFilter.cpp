#include "platform/media/splitter/MovieSplitterFilter.h"

#include <algorithm>
#include <new>
#include <string>

#include "platform/media/detector/DetectedMediaType.h"
#include "platform/media/splitter/MovieSplitterRegistration.h"
#include "platform/media/uuids.h"
#include "platform/sync/CAutoLock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

// "Video", "Audio"; "Video 2" for a second one of a kind.
std::u16string PinName(bool video, int count) {
    std::u16string name = video ? u"Video" : u"Audio";
    if (count > 1) {
        for (const char c : " " + std::to_string(count))
            name += static_cast<char16_t>(c);
    }
    return name;
}

}  // namespace

MovieSplitterFilter::MovieSplitterFilter(Inputs inputs)
    : CBaseFilter(
          inputs == Inputs::AnyStream ? "Movie Splitter (Other Formats)" : "Movie Splitter",
          &m_filter_lock,
          inputs == Inputs::AnyStream ? CLSID_MovieSplitterOtherFormats : CLSID_MovieSplitter),
      m_inputs(inputs),
      m_input(this, &m_filter_lock) {}

// The threads deliver through the output pins: they stop before anything goes.
MovieSplitterFilter::~MovieSplitterFilter() {
    StopStreaming();
}

CUnknown* MovieSplitterFilter::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) MovieSplitterFilter();
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

CUnknown* MovieSplitterFilter::CreateOtherFormatsInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* filter = new (std::nothrow) MovieSplitterFilter(Inputs::AnyStream);
    if (!filter && hr) *hr = E_OUTOFMEMORY;
    return filter;
}

std::span<const GUID* const> MovieSplitterFilter::KnownContainers() {
    static const GUID* const kKnown[] = {
        &MEDIASUBTYPE_MPEG1System,     &MEDIASUBTYPE_MPEG2_PROGRAM, &MEDIASUBTYPE_Avi,
        &MEDIASUBTYPE_QTMovie,         &MEDIASUBTYPE_TKV_MP4,       &MEDIASUBTYPE_TKV_Matroska,
        &MEDIASUBTYPE_MPEG2_TRANSPORT,
    };
    return kKnown;
}

bool MovieSplitterFilter::TakesStreamSubtype(const GUID& subtype) const {
    if (m_inputs == Inputs::AnyStream) return true;
    const auto known = KnownContainers();
    return std::any_of(known.begin(), known.end(),
                       [&](const GUID* container) { return *container == subtype; });
}

int MovieSplitterFilter::GetPinCount() {
    CAutoLock lock(&m_filter_lock);
    return 1 + static_cast<int>(m_outputs.size());
}

CBasePin* MovieSplitterFilter::GetPin(int index) {
    CAutoLock lock(&m_filter_lock);
    if (index == 0) return &m_input;
    if (index < 0 || static_cast<size_t>(index) > m_outputs.size()) return nullptr;
    return m_outputs[static_cast<size_t>(index) - 1].get();
}

HRESULT MovieSplitterFilter::OpenMovie(IAsyncReader* reader) {
    CAutoLock lock(&m_filter_lock);
    const HRESULT hr = m_demuxer.Open(reader);
    if (FAILED(hr)) return hr;
    const HRESULT made = MakeOutputPins();
    if (FAILED(made)) CloseMovie();
    return made;
}

HRESULT MovieSplitterFilter::MakeOutputPins() {
    const REFERENCE_TIME duration = m_demuxer.Duration();
    int videos = 0;
    int audios = 0;
    for (const int index : m_demuxer.PlayableStreams()) {
        const AVStream* stream = m_demuxer.Stream(index);
        ProbedStream probed;
        CMediaType type;
        if (!m_demuxer.Describe(index, &probed) || FAILED(FillDetectedMediaType(probed, &type))) {
            continue;
        }
        SplitterStream facts;
        facts.index = index;
        facts.video = probed.kind == ProbedStream::Kind::Video;
        facts.time_base_num = stream->time_base.num;
        facts.time_base_den = stream->time_base.den;
        facts.origin = m_demuxer.StartTime();
        const int count = facts.video ? ++videos : ++audios;
        auto pin = std::make_unique<MovieSplitterOutputPin>(
            this, &m_filter_lock, PinName(facts.video, count), facts, type, duration);
        if (!pin->OpenDecoder(stream)) continue;
        m_outputs.push_back(std::move(pin));
    }
    m_segment_start = 0;
    m_segment_stop = duration;
    m_seek_asked.clear();
    IncrementPinVersion();
    return m_outputs.empty() ? VFW_E_UNSUPPORTED_STREAM : S_OK;
}

void MovieSplitterFilter::CloseMovie() {
    CAutoLock lock(&m_filter_lock);
    StopStreaming();
    for (auto& pin : m_outputs) {
        // A connected output is let go on both sides, as its stream is gone.
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.GetAddressOf())) && peer) {
            peer->Disconnect();
            pin->Disconnect();
        }
        m_retired.push_back(std::move(pin));
    }
    m_outputs.clear();
    m_demuxer.Close();
    IncrementPinVersion();
}

MovieSplitterOutputPin* MovieSplitterFilter::PinForStream(int index) const {
    for (const auto& pin : m_outputs) {
        if (pin->StreamIndex() == index) return pin.get();
    }
    return nullptr;
}

HRESULT MovieSplitterFilter::Seek(MovieSplitterOutputPin* from, REFERENCE_TIME start,
                                  REFERENCE_TIME stop) {
    CAutoLock lock(&m_filter_lock);
    if (!m_demuxer.IsOpen()) return VFW_E_NOT_CONNECTED;
    // The other streams' copies of a seek already made.
    if (start == m_segment_start && stop == m_segment_stop && !m_seek_asked.count(from)) {
        m_seek_asked.insert(from);
        return S_OK;
    }
    m_seek_asked = {from};
    m_segment_start = start;
    m_segment_stop = stop;
    const bool streaming = m_streaming;
    if (streaming) {
        // Downstream first, so that a Receive blocked there lets the delivery threads go.
        for (auto& pin : m_outputs) {
            if (pin->IsConnected()) pin->DeliverBeginFlush();
        }
        StopStreaming();
        for (auto& pin : m_outputs) {
            if (pin->IsConnected()) pin->DeliverEndFlush();
        }
    }
    for (auto& pin : m_outputs)
        pin->SetSegment(start, stop);
    return streaming ? StartStreaming() : S_OK;
}

HRESULT MovieSplitterFilter::Activate() {
    CAutoLock lock(&m_filter_lock);
    if (!m_demuxer.IsOpen()) return S_OK;
    return StartStreaming();
}

HRESULT MovieSplitterFilter::Deactivate() {
    CAutoLock lock(&m_filter_lock);
    StopStreaming();
    return S_OK;
}

HRESULT MovieSplitterFilter::StartStreaming() {
    StopStreaming();
    if (!m_demuxer.Seek(m_segment_start)) return E_FAIL;
    m_streaming = true;
    for (auto& pin : m_outputs) {
        pin->SetSegment(m_segment_start, m_segment_stop);
        if (pin->IsConnected()) {
            pin->StartDelivery();
        } else {
            pin->Queue().Reset();
            pin->Queue().Close();
        }
    }
    if (EveryQueueClosed()) return S_OK;
    m_demux_thread = std::thread([this] { DemuxThread(); });
    return S_OK;
}

void MovieSplitterFilter::StopStreaming() {
    m_streaming = false;
    for (auto& pin : m_outputs)
        pin->Queue().Stop();
    if (m_demux_thread.joinable()) m_demux_thread.join();
    for (auto& pin : m_outputs)
        pin->StopDelivery();
}

bool MovieSplitterFilter::EveryQueueClosed() const {
    for (const auto& pin : m_outputs) {
        if (!pin->Queue().IsClosed()) return false;
    }
    return true;
}

void MovieSplitterFilter::DemuxThread() {
    AVPacket* packet = av_packet_alloc();
    while (packet && !EveryQueueClosed()) {
        const int read = m_demuxer.ReadPacket(packet);
        if (read == AVERROR(EAGAIN)) continue;
        if (read < 0) break;  // the end, or a file that cannot be read further
        MovieSplitterOutputPin* pin = PinForStream(packet->stream_index);
        if (!pin) {
            av_packet_unref(packet);
            continue;
        }
        if (!pin->Queue().Push(packet)) break;  // stopped
    }
    av_packet_free(&packet);
    for (auto& pin : m_outputs)
        pin->Queue().MarkEnd();
}
