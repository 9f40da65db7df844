#include "platform/media/detector/MovieProbe.h"

#include <algorithm>
#include <cerrno>

extern "C" {
#include <libavformat/avformat.h>
#include <libavcodec/avcodec.h>
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

#include "platform/media/detector/ContainerEnd.h"

namespace {

// Closes the input however Probe leaves.
struct InputCloser {
    AVFormatContext* context = nullptr;
    ~InputCloser() {
        if (context) avformat_close_input(&context);
    }
};

// The stream's own duration, else the file's.
double LengthSeconds(const AVFormatContext* context, const AVStream* stream) {
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        return static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    }
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0) {
        return static_cast<double>(context->duration) / AV_TIME_BASE;
    }
    return 0;
}

// A stream a pin would carry: video that is not a cover picture, or audio.
bool IsCarried(const AVStream* stream) {
    const AVMediaType type = stream->codecpar->codec_type;
    return (type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) ||
           type == AVMEDIA_TYPE_AUDIO;
}

// The length the splitter gives every pin when the container's duration is only an estimate
// (from time stamps or the bit rate): the estimate or the last packet's end, whichever is
// later. 0 when the streams' own durations hold.
double PlayedLengthSeconds(AVFormatContext* context) {
    if (context->duration_estimation_method == AVFMT_DURATION_FROM_STREAM) return 0;
    double length = 0;
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0) {
        length = static_cast<double>(context->duration) / AV_TIME_BASE;
    }
    const int64_t start = context->start_time == AV_NOPTS_VALUE ? 0 : context->start_time;
    const int64_t end = LastPacketEnd(
        context, start, [context](int index) { return IsCarried(context->streams[index]); });
    return std::max(length, static_cast<double>(end) / AV_TIME_BASE);
}

// The average rate the container or the decoder found; the base rate when that is missing.
AVRational FrameRate(const AVStream* stream) {
    if (stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0) {
        return stream->avg_frame_rate;
    }
    if (stream->r_frame_rate.num > 0 && stream->r_frame_rate.den > 0) return stream->r_frame_rate;
    return AVRational{0, 1};
}

}  // namespace

bool MovieProbe::Describe(const AVFormatContext* context, const AVStream* stream,
                          ProbedStream* probed) {
    const AVCodecParameters* codec = stream->codecpar;
    if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
        // A cover picture in an audio file is not a video stream.
        if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) return false;
        probed->kind = ProbedStream::Kind::Video;
        probed->width = codec->width;
        probed->height = codec->height;
        const AVRational rate = FrameRate(stream);
        probed->frame_rate_num = rate.num;
        probed->frame_rate_den = rate.den;
    } else if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
        probed->kind = ProbedStream::Kind::Audio;
        probed->sample_rate = codec->sample_rate;
        probed->channels = codec->ch_layout.nb_channels;
    } else {
        return false;
    }
    probed->length_seconds = LengthSeconds(context, stream);
    return true;
}

MovieProbe::Result MovieProbe::Probe(const std::string& path, std::vector<ProbedStream>* streams) {
    streams->clear();
    InputCloser input;
    const int opened = avformat_open_input(&input.context, path.c_str(), nullptr, nullptr);
    if (opened < 0) {
        return opened == AVERROR(ENOENT) || opened == AVERROR(EACCES) || opened == AVERROR(EISDIR)
                   ? Result::NotFound
                   : Result::NotMedia;
    }
    if (avformat_find_stream_info(input.context, nullptr) < 0) return Result::NotMedia;
    const double played = PlayedLengthSeconds(input.context);
    for (unsigned i = 0; i < input.context->nb_streams; ++i) {
        ProbedStream probed;
        if (!Describe(input.context, input.context->streams[i], &probed)) continue;
        if (played > 0) probed.length_seconds = played;
        streams->push_back(probed);
    }
    return streams->empty() ? Result::NotMedia : Result::Ok;
}
