#include "platform/media/splitter/MovieDemuxer.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
}

#include "platform/media/detector/ContainerEnd.h"

namespace {

constexpr AVRational kMediaTimeBase{1, 10'000'000};
constexpr REFERENCE_TIME kSeekLead = 10'000'000;  // one second

bool HasDecoder(const AVStream* stream) {
    const AVCodecParameters* codec = stream->codecpar;
    if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
        if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) return false;
        if (codec->width <= 0 || codec->height <= 0) return false;
    } else if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
        if (codec->sample_rate <= 0 || codec->ch_layout.nb_channels <= 0) return false;
    } else {
        return false;
    }
    return avcodec_find_decoder(codec->codec_id) != nullptr;
}

}  // namespace

MovieDemuxer::MovieDemuxer() = default;

MovieDemuxer::~MovieDemuxer() {
    Close();
}

HRESULT MovieDemuxer::Open(IAsyncReader* reader) {
    // Damaged movies make FFmpeg chatty on stderr; the filter answers for them with results.
    av_log_set_level(AV_LOG_FATAL);
    Close();
    m_io = std::make_unique<AsyncReaderIo>(reader);
    if (!m_io->Open()) {
        m_io.reset();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    m_context = avformat_alloc_context();
    if (!m_context) return E_OUTOFMEMORY;
    m_context->pb = m_io->Context();
    m_context->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure avformat_open_input frees the context and clears the pointer.
    if (avformat_open_input(&m_context, nullptr, nullptr, nullptr) < 0) {
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    m_data_start = avio_tell(m_context->pb);
    if (avformat_find_stream_info(m_context, nullptr) < 0) {
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    if (!FindPlayableStreams()) {
        Close();
        return VFW_E_UNSUPPORTED_STREAM;
    }
    m_start_time = m_context->start_time == AV_NOPTS_VALUE ? 0 : m_context->start_time;
    m_duration = 0;
    if (m_context->duration != AV_NOPTS_VALUE && m_context->duration > 0) {
        m_duration = av_rescale_q(m_context->duration, AV_TIME_BASE_Q, kMediaTimeBase);
    }
    if (m_context->duration_estimation_method != AVFMT_DURATION_FROM_STREAM) {
        m_duration = std::max(m_duration, ScanEndTime());
        Seek(0);
    }
    return S_OK;
}

void MovieDemuxer::Close() {
    if (m_context) avformat_close_input(&m_context);
    m_io.reset();
    m_playable.clear();
    m_start_time = 0;
    m_duration = 0;
    m_data_start = -1;
}

bool MovieDemuxer::FindPlayableStreams() {
    for (unsigned i = 0; i < m_context->nb_streams; ++i) {
        AVStream* stream = m_context->streams[i];
        if (HasDecoder(stream)) {
            m_playable.push_back(static_cast<int>(i));
        } else {
            stream->discard = AVDISCARD_ALL;
        }
    }
    return !m_playable.empty();
}

const AVStream* MovieDemuxer::Stream(int index) const {
    if (!m_context || index < 0 || static_cast<unsigned>(index) >= m_context->nb_streams) {
        return nullptr;
    }
    return m_context->streams[index];
}

REFERENCE_TIME MovieDemuxer::Duration() const {
    if (!m_context) return 0;
    if (m_duration > 0) return m_duration;
    REFERENCE_TIME longest = 0;
    for (const int index : m_playable) {
        const AVStream* stream = m_context->streams[index];
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
            longest = std::max(longest,
                               av_rescale_q(stream->duration, stream->time_base, kMediaTimeBase));
        }
    }
    return longest;
}

bool MovieDemuxer::IsPlayable(int index) const {
    return std::find(m_playable.begin(), m_playable.end(), index) != m_playable.end();
}

REFERENCE_TIME MovieDemuxer::ScanEndTime() {
    const int64_t end =
        LastPacketEnd(m_context, m_start_time, [this](int index) { return IsPlayable(index); });
    return av_rescale_q(end, AV_TIME_BASE_Q, kMediaTimeBase);
}

REFERENCE_TIME MovieDemuxer::StartTime() const {
    return av_rescale_q(m_start_time, AV_TIME_BASE_Q, kMediaTimeBase);
}

bool MovieDemuxer::Describe(int index, ProbedStream* probed) const {
    const AVStream* stream = Stream(index);
    return stream && MovieProbe::Describe(m_context, stream, probed);
}

int MovieDemuxer::ReadPacket(AVPacket* packet) {
    if (!m_context) return AVERROR_EOF;
    return av_read_frame(m_context, packet);
}

bool MovieDemuxer::Seek(REFERENCE_TIME position) {
    if (!m_context) return false;
    // Streams without an index (MPEG program and transport streams) find a time by sampling
    // timestamps across the file, which can land past the first key frame of a stream that
    // starts a little after another; the start is the first byte of their data.
    const int flags = m_context->iformat->flags;
    if (position <= kSeekLead && (flags & AVFMT_TS_DISCONT) && !(flags & AVFMT_NO_BYTE_SEEK) &&
        m_data_start >= 0 && av_seek_frame(m_context, -1, m_data_start, AVSEEK_FLAG_BYTE) >= 0) {
        return true;
    }
    // Some demuxers land after the key frame before the target: start a little earlier; the
    // pins skip to the first key frame and drop what lies before the target.
    const int64_t target =
        m_start_time + av_rescale_q(std::max<REFERENCE_TIME>(position - kSeekLead, 0),
                                    kMediaTimeBase, AV_TIME_BASE_Q);
    if (av_seek_frame(m_context, -1, target, AVSEEK_FLAG_BACKWARD) >= 0) return true;
    // Nothing before the target: from the start (a byte seek where timestamps fail).
    return av_seek_frame(m_context, -1, m_start_time, AVSEEK_FLAG_BACKWARD) >= 0 ||
           av_seek_frame(m_context, -1, 0, AVSEEK_FLAG_BYTE) >= 0;
}
