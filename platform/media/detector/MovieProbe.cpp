#include "platform/media/detector/MovieProbe.h"

#include <cerrno>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

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
    for (unsigned i = 0; i < input.context->nb_streams; ++i) {
        ProbedStream probed;
        if (Describe(input.context, input.context->streams[i], &probed)) streams->push_back(probed);
    }
    return streams->empty() ? Result::NotMedia : Result::Ok;
}
